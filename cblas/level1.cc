// Level 1 routines: one vector, or two of the same length.
//
// Each follows GSL's reference CBLAS step by step (see cblas_routines.h):
// a vector with a negative increment is walked from its far end, as BLAS
// defines, and the routines of one vector return at once for an increment
// <= 0.
#include <cmath>
#include <cstddef>

#include "cblas/cblas_routines.h"

namespace {

using Index = std::ptrdiff_t;

// Where the walk over n elements with increment inc starts.
Index Start(int n, int inc) {
  return inc > 0 ? 0 : static_cast<Index>(n - 1) * -static_cast<Index>(inc);
}

template <typename T>
void Copy(int n, const T* x, int incX, T* y, int incY, int parts) {
  Index ix = Start(n, incX);
  Index iy = Start(n, incY);
  for (int i = 0; i < n; ++i) {
    for (int p = 0; p < parts; ++p) y[parts * iy + p] = x[parts * ix + p];
    ix += incX;
    iy += incY;
  }
}

template <typename T>
void Swap(int n, T* x, int incX, T* y, int incY, int parts) {
  Index ix = Start(n, incX);
  Index iy = Start(n, incY);
  for (int i = 0; i < n; ++i) {
    for (int p = 0; p < parts; ++p) {
      const T tmp = x[parts * ix + p];
      x[parts * ix + p] = y[parts * iy + p];
      y[parts * iy + p] = tmp;
    }
    ix += incX;
    iy += incY;
  }
}

template <typename T>
void ScaleReal(int n, T alpha, T* x, int incX) {
  if (incX <= 0) return;
  Index ix = 0;
  for (int i = 0; i < n; ++i) {
    x[ix] *= alpha;
    ix += incX;
  }
}

// x = alpha x for interleaved complex numbers (real, imaginary).
template <typename T>
void ScaleComplex(int n, const void* alpha, void* x_data, int incX) {
  if (incX <= 0) return;
  const T alpha_real = static_cast<const T*>(alpha)[0];
  const T alpha_imag = static_cast<const T*>(alpha)[1];
  T* x = static_cast<T*>(x_data);
  Index ix = 0;
  for (int i = 0; i < n; ++i) {
    const T x_real = x[2 * ix];
    const T x_imag = x[2 * ix + 1];
    x[2 * ix] = x_real * alpha_real - x_imag * alpha_imag;
    x[2 * ix + 1] = x_real * alpha_imag + x_imag * alpha_real;
    ix += incX;
  }
}

}  // namespace

extern "C" {

double SILHOUETTE_CBLAS(ddot)(const int N, const double* X, const int incX,
                              const double* Y, const int incY) {
  double r = 0.0;
  Index ix = Start(N, incX);
  Index iy = Start(N, incY);
  for (int i = 0; i < N; ++i) {
    r += X[ix] * Y[iy];
    ix += incX;
    iy += incY;
  }
  return r;
}

// The scaled sum of squares: no square overflows or underflows on the way.
double SILHOUETTE_CBLAS(dnrm2)(const int N, const double* X, const int incX) {
  if (N <= 0 || incX <= 0) return 0;
  if (N == 1) return std::fabs(X[0]);
  double scale = 0.0;
  double ssq = 1.0;
  Index ix = 0;
  for (int i = 0; i < N; ++i) {
    const double x = X[ix];
    if (x != 0.0) {
      const double ax = std::fabs(x);
      if (scale < ax) {
        ssq = 1.0 + ssq * (scale / ax) * (scale / ax);
        scale = ax;
      } else {
        ssq += (ax / scale) * (ax / scale);
      }
    }
    ix += incX;
  }
  return scale * std::sqrt(ssq);
}

double SILHOUETTE_CBLAS(dasum)(const int N, const double* X, const int incX) {
  if (incX <= 0) return 0;
  double r = 0.0;
  Index ix = 0;
  for (int i = 0; i < N; ++i) {
    r += std::fabs(X[ix]);
    ix += incX;
  }
  return r;
}

// The first index of the largest |x|; a NaN is never the largest.
CBLAS_INDEX SILHOUETTE_CBLAS(idamax)(const int N, const double* X,
                                     const int incX) {
  if (incX <= 0) return 0;
  double max = 0.0;
  CBLAS_INDEX result = 0;
  Index ix = 0;
  for (int i = 0; i < N; ++i) {
    if (std::fabs(X[ix]) > max) {
      max = std::fabs(X[ix]);
      result = static_cast<CBLAS_INDEX>(i);
    }
    ix += incX;
  }
  return result;
}

// y += alpha x; nothing at all when alpha is 0 (an infinite or NaN x then
// leaves y as it is).
void SILHOUETTE_CBLAS(daxpy)(const int N, const double alpha, const double* X,
                             const int incX, double* Y, const int incY) {
  if (alpha == 0.0) return;
  Index ix = Start(N, incX);
  Index iy = Start(N, incY);
  for (int i = 0; i < N; ++i) {
    Y[iy] += alpha * X[ix];
    ix += incX;
    iy += incY;
  }
}

void SILHOUETTE_CBLAS(dscal)(const int N, const double alpha, double* X,
                             const int incX) {
  ScaleReal(N, alpha, X, incX);
}

void SILHOUETTE_CBLAS(dcopy)(const int N, const double* X, const int incX,
                             double* Y, const int incY) {
  Copy(N, X, incX, Y, incY, 1);
}

void SILHOUETTE_CBLAS(dswap)(const int N, double* X, const int incX, double* Y,
                             const int incY) {
  Swap(N, X, incX, Y, incY, 1);
}

void SILHOUETTE_CBLAS(sscal)(const int N, const float alpha, float* X,
                             const int incX) {
  ScaleReal(N, alpha, X, incX);
}

void SILHOUETTE_CBLAS(cscal)(const int N, const void* alpha, void* X,
                             const int incX) {
  ScaleComplex<float>(N, alpha, X, incX);
}

void SILHOUETTE_CBLAS(zscal)(const int N, const void* alpha, void* X,
                             const int incX) {
  ScaleComplex<double>(N, alpha, X, incX);
}

void SILHOUETTE_CBLAS(scopy)(const int N, const float* X, const int incX,
                             float* Y, const int incY) {
  Copy(N, X, incX, Y, incY, 1);
}

void SILHOUETTE_CBLAS(ccopy)(const int N, const void* X, const int incX,
                             void* Y, const int incY) {
  Copy(N, static_cast<const float*>(X), incX, static_cast<float*>(Y), incY, 2);
}

void SILHOUETTE_CBLAS(zcopy)(const int N, const void* X, const int incX,
                             void* Y, const int incY) {
  Copy(N, static_cast<const double*>(X), incX, static_cast<double*>(Y), incY,
       2);
}

void SILHOUETTE_CBLAS(sswap)(const int N, float* X, const int incX, float* Y,
                             const int incY) {
  Swap(N, X, incX, Y, incY, 1);
}

void SILHOUETTE_CBLAS(cswap)(const int N, void* X, const int incX, void* Y,
                             const int incY) {
  Swap(N, static_cast<float*>(X), incX, static_cast<float*>(Y), incY, 2);
}

void SILHOUETTE_CBLAS(zswap)(const int N, void* X, const int incX, void* Y,
                             const int incY) {
  Swap(N, static_cast<double*>(X), incX, static_cast<double*>(Y), incY, 2);
}

}  // extern "C"
