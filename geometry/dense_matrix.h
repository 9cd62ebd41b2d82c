// A small dense matrix of doubles, row-major, reached through a row table.
#pragma once

#include <cstdint>
#include <memory>

namespace silhouette {

class DenseMatrix {
 public:
  DenseMatrix() = default;
  DenseMatrix(int32_t rows, int32_t cols) { Resize(rows, cols); }
  DenseMatrix(const DenseMatrix& other) { *this = other; }
  DenseMatrix& operator=(const DenseMatrix& other);

  // Drops the contents; a zero or negative count leaves the matrix empty,
  // otherwise every element is 0.0.
  void Resize(int32_t rows, int32_t cols);

  double* operator[](int32_t r) { return rowPtr_[r]; }
  const double* operator[](int32_t r) const { return rowPtr_[r]; }

  // Exchanges two rows by exchanging their row pointers.
  void SwapRows(int32_t a, int32_t b);

  int32_t rows() const { return rows_; }
  int32_t cols() const { return cols_; }
  int32_t size() const { return size_; }

 private:
  void Clear();

  int32_t rows_ = 0;
  int32_t cols_ = 0;
  int32_t size_ = 0;
  std::unique_ptr<double[]> data_;
  std::unique_ptr<double*[]> rowPtr_;
};

}  // namespace silhouette
