#include "geometry/solve_linear_system.h"

#include <cmath>
#include <cstdint>
#include <utility>

namespace silhouette {

bool SolveLinearSystem(const DenseMatrix& a, const std::vector<double>& b,
                       std::vector<double>* x) {
  const int32_t n = a.cols();
  if (n <= 0 || a.rows() < n || static_cast<int64_t>(b.size()) < n) {
    return false;
  }
  DenseMatrix w;
  w = a;
  x->assign(b.begin(), b.begin() + n);
  std::vector<double>& v = *x;
  std::vector<unsigned char> pivoted(n, 0);

  for (int32_t step = 0; step < n; ++step) {
    double big = 0;
    int32_t pivot_row = -1;
    int32_t pivot_col = -1;
    for (int32_t r = 0; r < n; ++r) {
      if (pivoted[r]) continue;
      for (int32_t c = 0; c < n; ++c) {
        if (pivoted[c]) continue;
        if (std::abs(w[r][c]) > big) {
          big = std::abs(w[r][c]);
          pivot_row = r;
          pivot_col = c;
        }
      }
    }
    if (pivot_row < 0) return false;

    pivoted[pivot_col] = 1;
    if (pivot_row != pivot_col) {
      w.SwapRows(pivot_row, pivot_col);
      std::swap(v[pivot_row], v[pivot_col]);
    }
    double* pivot = w[pivot_col];
    const double inv = 1.0 / pivot[pivot_col];
    pivot[pivot_col] = 1.0;
    for (int32_t c = 0; c < n; ++c) pivot[c] *= inv;
    v[pivot_col] *= inv;
    for (int32_t r = 0; r < n; ++r) {
      if (r == pivot_col) continue;
      const double f = w[r][pivot_col];
      w[r][pivot_col] = 0;
      for (int32_t c = 0; c < n; ++c) w[r][c] -= f * pivot[c];
      v[r] -= f * v[pivot_col];
    }
  }
  return true;
}

}  // namespace silhouette
