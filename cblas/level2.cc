// Level 2 routines: a matrix and vectors.
//
// Each follows GSL's reference CBLAS step by step (see cblas_routines.h).
// A row-major matrix with a transpose is the column-major one without, and
// the other way round, so each routine has two loop orders and picks one
// from the pair (order, transpose). CblasConjTrans is CblasTrans for real
// matrices.
#include <cstddef>

#include "cblas/cblas_routines.h"

namespace {

using Index = std::ptrdiff_t;

Index Start(int n, int inc) {
  return inc > 0 ? 0 : static_cast<Index>(n - 1) * -static_cast<Index>(inc);
}

CBLAS_TRANSPOSE RealTranspose(CBLAS_TRANSPOSE trans) {
  return trans == CblasConjTrans ? CblasTrans : trans;
}

// Element (i, j) of a matrix stored by rows of lda numbers.
double At(const double* a, int lda, Index i, Index j) {
  return a[static_cast<Index>(lda) * i + j];
}

}  // namespace

extern "C" {

// y = alpha op(A) x + beta y. y is first scaled by beta (set to 0 when beta
// is 0, left alone when it is 1); nothing is done at all for an empty
// matrix or for alpha 0 with beta 1.
void SILHOUETTE_CBLAS(dgemv)(const enum CBLAS_ORDER order,
                             const enum CBLAS_TRANSPOSE TransA, const int M,
                             const int N, const double alpha, const double* A,
                             const int lda, const double* X, const int incX,
                             const double beta, double* Y, const int incY) {
  const CBLAS_TRANSPOSE trans = RealTranspose(TransA);
  if (M == 0 || N == 0) return;
  if (alpha == 0.0 && beta == 1.0) return;
  const int len_x = trans == CblasNoTrans ? N : M;
  const int len_y = trans == CblasNoTrans ? M : N;

  if (beta == 0.0) {
    Index iy = Start(len_y, incY);
    for (int i = 0; i < len_y; ++i) {
      Y[iy] = 0.0;
      iy += incY;
    }
  } else if (beta != 1.0) {
    Index iy = Start(len_y, incY);
    for (int i = 0; i < len_y; ++i) {
      Y[iy] *= beta;
      iy += incY;
    }
  }
  if (alpha == 0.0) return;

  if ((order == CblasRowMajor && trans == CblasNoTrans) ||
      (order == CblasColMajor && trans == CblasTrans)) {
    // Row i of the stored matrix with x, one dot product per element of y.
    Index iy = Start(len_y, incY);
    for (int i = 0; i < len_y; ++i) {
      double temp = 0.0;
      Index ix = Start(len_x, incX);
      for (int j = 0; j < len_x; ++j) {
        temp += X[ix] * At(A, lda, i, j);
        ix += incX;
      }
      Y[iy] += alpha * temp;
      iy += incY;
    }
  } else {
    // y gains alpha x_j times row j of the stored matrix; a zero product
    // alpha x_j adds nothing (not even an infinite or NaN row).
    Index ix = Start(len_x, incX);
    for (int j = 0; j < len_x; ++j) {
      const double temp = alpha * X[ix];
      if (temp != 0.0) {
        Index iy = Start(len_y, incY);
        for (int i = 0; i < len_y; ++i) {
          Y[iy] += temp * At(A, lda, j, i);
          iy += incY;
        }
      }
      ix += incX;
    }
  }
}

// A += alpha x y'.
void SILHOUETTE_CBLAS(dger)(const enum CBLAS_ORDER order, const int M,
                            const int N, const double alpha, const double* X,
                            const int incX, const double* Y, const int incY,
                            double* A, const int lda) {
  if (order == CblasRowMajor) {
    Index ix = Start(M, incX);
    for (int i = 0; i < M; ++i) {
      const double tmp = alpha * X[ix];
      Index jy = Start(N, incY);
      for (int j = 0; j < N; ++j) {
        A[static_cast<Index>(lda) * i + j] += Y[jy] * tmp;
        jy += incY;
      }
      ix += incX;
    }
  } else {
    Index jy = Start(N, incY);
    for (int j = 0; j < N; ++j) {
      const double tmp = alpha * Y[jy];
      Index ix = Start(M, incX);
      for (int i = 0; i < M; ++i) {
        A[i + static_cast<Index>(lda) * j] += X[ix] * tmp;
        ix += incX;
      }
      jy += incY;
    }
  }
}

// x = inverse(op(A)) x for a triangular A, by substitution: each element of
// x is its right-hand side minus the dot product with the elements already
// solved, divided by the diagonal element (not divided for a unit
// diagonal).
void SILHOUETTE_CBLAS(dtrsv)(const enum CBLAS_ORDER order,
                             const enum CBLAS_UPLO Uplo,
                             const enum CBLAS_TRANSPOSE TransA,
                             const enum CBLAS_DIAG Diag, const int N,
                             const double* A, const int lda, double* X,
                             const int incX) {
  const bool nonunit = Diag == CblasNonUnit;
  const CBLAS_TRANSPOSE trans = RealTranspose(TransA);
  if (N == 0) return;
  const bool no_trans = trans == CblasNoTrans;
  // Whether the stored rows are the rows of the matrix to solve with (and
  // not its columns), and whether that matrix, op(A), is upper triangular.
  const bool by_rows = (order == CblasRowMajor) == no_trans;
  const bool solve_upper = (Uplo == CblasUpper) == no_trans;
  // Element (i, j) of the matrix to solve with.
  auto a = [&](Index i, Index j) {
    return by_rows ? At(A, lda, i, j) : At(A, lda, j, i);
  };

  if (solve_upper) {
    // Back substitution, from the last element.
    Index ix = Start(N, incX) + static_cast<Index>(incX) * (N - 1);
    if (nonunit) X[ix] = X[ix] / a(N - 1, N - 1);
    ix -= incX;
    for (int i = N - 2; i >= 0; --i) {
      double tmp = X[ix];
      Index jx = ix + incX;
      for (int j = i + 1; j < N; ++j) {
        tmp -= a(i, j) * X[jx];
        jx += incX;
      }
      X[ix] = nonunit ? tmp / a(i, i) : tmp;
      ix -= incX;
    }
  } else {
    // Forward substitution, from the first element.
    Index ix = Start(N, incX);
    if (nonunit) X[ix] = X[ix] / a(0, 0);
    ix += incX;
    for (int i = 1; i < N; ++i) {
      double tmp = X[ix];
      Index jx = Start(N, incX);
      for (int j = 0; j < i; ++j) {
        tmp -= a(i, j) * X[jx];
        jx += incX;
      }
      X[ix] = nonunit ? tmp / a(i, i) : tmp;
      ix += incX;
    }
  }
}

}  // extern "C"
