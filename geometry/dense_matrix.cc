#include "geometry/dense_matrix.h"

#include <utility>

namespace silhouette {

void DenseMatrix::Clear() {
  data_.reset();
  rowPtr_.reset();
  rows_ = cols_ = size_ = 0;
}

void DenseMatrix::Resize(int32_t rows, int32_t cols) {
  Clear();
  if (rows <= 0 || cols <= 0) return;
  const int64_t size = static_cast<int64_t>(rows) * cols;
  data_.reset(new double[size]());
  rowPtr_.reset(new double*[rows]);
  for (int32_t r = 0; r < rows; ++r) rowPtr_[r] = data_.get() + r * cols;
  rows_ = rows;
  cols_ = cols;
  size_ = static_cast<int32_t>(size);
}

DenseMatrix& DenseMatrix::operator=(const DenseMatrix& other) {
  if (this == &other) return *this;
  if (other.size_ <= 0) {
    Clear();
    return *this;
  }
  if (other.rows_ != rows_ || other.cols_ != cols_) {
    Resize(other.rows_, other.cols_);
  }
  for (int32_t r = 0; r < rows_; ++r) {
    for (int32_t c = 0; c < cols_; ++c) rowPtr_[r][c] = other.rowPtr_[r][c];
  }
  return *this;
}

void DenseMatrix::SwapRows(int32_t a, int32_t b) {
  std::swap(rowPtr_[a], rowPtr_[b]);
}

}  // namespace silhouette
