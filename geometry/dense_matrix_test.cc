#include "geometry/dense_matrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "geometry/solve_linear_system.h"

namespace silhouette {
namespace {

DenseMatrix Matrix(int rows, int cols, const std::vector<double>& row_major) {
  DenseMatrix m(rows, cols);
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < cols; ++c) m[r][c] = row_major[r * cols + c];
  }
  return m;
}

TEST(DenseMatrix, ResizeAndCopy) {
  DenseMatrix m(2, 3);
  EXPECT_EQ(m.size(), 6);
  EXPECT_EQ(m[1][2], 0.0);
  m[1][2] = 5;
  DenseMatrix copy;
  copy = m;
  EXPECT_EQ(copy.rows(), 2);
  EXPECT_EQ(copy[1][2], 5);
  m.SwapRows(0, 1);
  EXPECT_EQ(m[0][2], 5);
  copy = m;  // same shape: elements copied through both row tables
  EXPECT_EQ(copy[0][2], 5);
  EXPECT_EQ(copy[1][2], 0);
  copy = DenseMatrix();
  EXPECT_EQ(copy.size(), 0);
  m.Resize(0, 4);
  EXPECT_EQ(m.rows(), 0);
  EXPECT_EQ(m.cols(), 0);
}

TEST(SolveLinearSystem, DiagonalAndPivotExchange) {
  std::vector<double> x;
  ASSERT_TRUE(SolveLinearSystem(Matrix(3, 3, {2, 0, 0, 0, 4, 0, 0, 0, 8}),
                                {2, 4, 8}, &x));
  EXPECT_EQ(x, (std::vector<double>{1, 1, 1}));
  ASSERT_TRUE(SolveLinearSystem(Matrix(2, 2, {0, 1, 1, 0}), {3, 5}, &x));
  EXPECT_EQ(x, (std::vector<double>{5, 3}));
}

TEST(SolveLinearSystem, SingularAndUnderfilledSystemsFail) {
  std::vector<double> x;
  EXPECT_FALSE(SolveLinearSystem(Matrix(2, 2, {1, 2, 2, 4}), {1, 2}, &x));
  EXPECT_FALSE(
      SolveLinearSystem(Matrix(2, 2, {0, 0, 0, std::nan("")}), {1, 2}, &x));
  EXPECT_FALSE(SolveLinearSystem(Matrix(2, 3, {1, 0, 0, 0, 1, 0}), {1, 2},
                                 &x));  // fewer rows than unknowns
  EXPECT_FALSE(SolveLinearSystem(Matrix(2, 2, {1, 0, 0, 1}), {1}, &x));
  EXPECT_FALSE(SolveLinearSystem(DenseMatrix(), {}, &x));
}

TEST(SolveLinearSystem, ExtraRowsAreIgnoredAndInputsUnchanged) {
  const DenseMatrix a = Matrix(4, 3, {1, 2, 0, 0, 1, 3, 2, 0, 1, 9, 9, 9});
  const std::vector<double> b = {5, 11, 5, 1000};
  std::vector<double> x;
  ASSERT_TRUE(SolveLinearSystem(a, b, &x));
  ASSERT_EQ(x.size(), 3u);
  EXPECT_NEAR(x[0], 1, 1e-14);
  EXPECT_NEAR(x[1], 2, 1e-14);
  EXPECT_NEAR(x[2], 3, 1e-14);
  EXPECT_EQ(a[0][1], 2);
  EXPECT_EQ(a[3][0], 9);
  EXPECT_EQ(b[3], 1000);
}

}  // namespace
}  // namespace silhouette
