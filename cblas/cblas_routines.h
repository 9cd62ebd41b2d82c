// The CBLAS routines this project builds itself, for GSL linked statically
// into a module (see cmake/SilhouetteGsl.cmake).
//
// They compute exactly what GSL's reference CBLAS (libgslcblas) computes:
// the same operations in the same order, so results are identical bit for
// bit. Arguments are not checked: GSL's gsl_blas_* wrappers check the
// lengths before they call a routine.
//
// Built normally they carry the standard names (cblas_ddot, ...) and are
// hidden, whatever the compiler's default visibility, so that they never
// leave the module they are linked into (every build of the modules
// compiles these files: CMake, build_mex.m, the Octave package). The unit
// test compiles the same sources once more with SILHOUETTE_CBLAS_RENAMED,
// which gives every routine the prefix "silhouette_" instead, so that it
// can call both these and libgslcblas's in one program.
#pragma once

#if defined(SILHOUETTE_CBLAS_RENAMED)
#define SILHOUETTE_CBLAS(name) silhouette_cblas_##name
#else
#define SILHOUETTE_CBLAS(name) cblas_##name
#if defined(__GNUC__)
#pragma GCC visibility push(hidden)
#define SILHOUETTE_CBLAS_HIDDEN
#endif
#endif

#include <gsl/gsl_cblas.h>

extern "C" {

// Level 1, double.
double SILHOUETTE_CBLAS(ddot)(const int N, const double* X, const int incX,
                              const double* Y, const int incY);
double SILHOUETTE_CBLAS(dnrm2)(const int N, const double* X, const int incX);
double SILHOUETTE_CBLAS(dasum)(const int N, const double* X, const int incX);
CBLAS_INDEX SILHOUETTE_CBLAS(idamax)(const int N, const double* X,
                                     const int incX);
void SILHOUETTE_CBLAS(daxpy)(const int N, const double alpha, const double* X,
                             const int incX, double* Y, const int incY);
void SILHOUETTE_CBLAS(dscal)(const int N, const double alpha, double* X,
                             const int incX);
void SILHOUETTE_CBLAS(dcopy)(const int N, const double* X, const int incX,
                             double* Y, const int incY);
void SILHOUETTE_CBLAS(dswap)(const int N, double* X, const int incX, double* Y,
                             const int incY);

// Level 1, float and complex: reached through GSL's vector and matrix
// functions of those types (scale, copy, swap).
void SILHOUETTE_CBLAS(sscal)(const int N, const float alpha, float* X,
                             const int incX);
void SILHOUETTE_CBLAS(cscal)(const int N, const void* alpha, void* X,
                             const int incX);
void SILHOUETTE_CBLAS(zscal)(const int N, const void* alpha, void* X,
                             const int incX);
void SILHOUETTE_CBLAS(scopy)(const int N, const float* X, const int incX,
                             float* Y, const int incY);
void SILHOUETTE_CBLAS(ccopy)(const int N, const void* X, const int incX,
                             void* Y, const int incY);
void SILHOUETTE_CBLAS(zcopy)(const int N, const void* X, const int incX,
                             void* Y, const int incY);
void SILHOUETTE_CBLAS(sswap)(const int N, float* X, const int incX, float* Y,
                             const int incY);
void SILHOUETTE_CBLAS(cswap)(const int N, void* X, const int incX, void* Y,
                             const int incY);
void SILHOUETTE_CBLAS(zswap)(const int N, void* X, const int incX, void* Y,
                             const int incY);

// Level 2, double.
void SILHOUETTE_CBLAS(dgemv)(const enum CBLAS_ORDER order,
                             const enum CBLAS_TRANSPOSE TransA, const int M,
                             const int N, const double alpha, const double* A,
                             const int lda, const double* X, const int incX,
                             const double beta, double* Y, const int incY);
void SILHOUETTE_CBLAS(dger)(const enum CBLAS_ORDER order, const int M,
                            const int N, const double alpha, const double* X,
                            const int incX, const double* Y, const int incY,
                            double* A, const int lda);
void SILHOUETTE_CBLAS(dtrsv)(const enum CBLAS_ORDER order,
                             const enum CBLAS_UPLO Uplo,
                             const enum CBLAS_TRANSPOSE TransA,
                             const enum CBLAS_DIAG Diag, const int N,
                             const double* A, const int lda, double* X,
                             const int incX);

}  // extern "C"

#if defined(SILHOUETTE_CBLAS_HIDDEN)
#pragma GCC visibility pop
#endif
