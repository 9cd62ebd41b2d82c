// The CBLAS routines that GSL's BLAS wrappers (blas.o of libgsl.a) refer to
// but that nothing this project links ever calls. The wrappers come in as
// one object file, all of them, whatever GSL's code we link uses: here the
// QR and Householder steps of the lmsder solver, the step test and the
// vector and matrix functions (dasum, daxpy, dcopy, ddot, dgemv, dger,
// dnrm2, dscal, dswap, dtrsv, idamax, and scal, copy and swap of the
// other types, in level1.cc and level2.cc). These stubs exist so that a
// module leaves no cblas_* symbol undefined: an undefined one would bind
// to whatever BLAS the host has loaded.
//
// Each stops the process with a message naming itself, as GSL's reference
// CBLAS does for a call it cannot carry out: code that starts to use one of
// them fails in its first test instead of computing with a routine that
// does nothing. Computing routines live in level1.cc and level2.cc; moving
// one there needs its test against libgslcblas (cblas_test.cc).
#include <cstdio>
#include <cstdlib>

#include "cblas/cblas_routines.h"  // hidden, and gsl/gsl_cblas.h

namespace {

[[noreturn]] void Unprovided(const char* name) {
  std::fprintf(stderr,
               "%s: this BLAS routine is not built into the module; "
               "see cblas/unprovided.cc\n",
               name);
  std::abort();
}

}  // namespace

extern "C" {

void cblas_caxpy(const int, const void*, const void*, const int, void*,
                 const int) {
  Unprovided("cblas_caxpy");
}

void cblas_cdotc_sub(const int, const void*, const int, const void*, const int,
                     void*) {
  Unprovided("cblas_cdotc_sub");
}

void cblas_cdotu_sub(const int, const void*, const int, const void*, const int,
                     void*) {
  Unprovided("cblas_cdotu_sub");
}

void cblas_cgemm(const enum CBLAS_ORDER, const enum CBLAS_TRANSPOSE,
                 const enum CBLAS_TRANSPOSE, const int, const int, const int,
                 const void*, const void*, const int, const void*, const int,
                 const void*, void*, const int) {
  Unprovided("cblas_cgemm");
}

void cblas_cgemv(const enum CBLAS_ORDER, const enum CBLAS_TRANSPOSE, const int,
                 const int, const void*, const void*, const int, const void*,
                 const int, const void*, void*, const int) {
  Unprovided("cblas_cgemv");
}

void cblas_cgerc(const enum CBLAS_ORDER, const int, const int, const void*,
                 const void*, const int, const void*, const int, void*,
                 const int) {
  Unprovided("cblas_cgerc");
}

void cblas_cgeru(const enum CBLAS_ORDER, const int, const int, const void*,
                 const void*, const int, const void*, const int, void*,
                 const int) {
  Unprovided("cblas_cgeru");
}

void cblas_chemm(const enum CBLAS_ORDER, const enum CBLAS_SIDE,
                 const enum CBLAS_UPLO, const int, const int, const void*,
                 const void*, const int, const void*, const int, const void*,
                 void*, const int) {
  Unprovided("cblas_chemm");
}

void cblas_chemv(const enum CBLAS_ORDER, const enum CBLAS_UPLO, const int,
                 const void*, const void*, const int, const void*, const int,
                 const void*, void*, const int) {
  Unprovided("cblas_chemv");
}

void cblas_cher(const enum CBLAS_ORDER, const enum CBLAS_UPLO, const int,
                const float, const void*, const int, void*, const int) {
  Unprovided("cblas_cher");
}

void cblas_cher2(const enum CBLAS_ORDER, const enum CBLAS_UPLO, const int,
                 const void*, const void*, const int, const void*, const int,
                 void*, const int) {
  Unprovided("cblas_cher2");
}

void cblas_cher2k(const enum CBLAS_ORDER, const enum CBLAS_UPLO,
                  const enum CBLAS_TRANSPOSE, const int, const int, const void*,
                  const void*, const int, const void*, const int, const float,
                  void*, const int) {
  Unprovided("cblas_cher2k");
}

void cblas_cherk(const enum CBLAS_ORDER, const enum CBLAS_UPLO,
                 const enum CBLAS_TRANSPOSE, const int, const int, const float,
                 const void*, const int, const float, void*, const int) {
  Unprovided("cblas_cherk");
}

void cblas_csscal(const int, const float, void*, const int) {
  Unprovided("cblas_csscal");
}

void cblas_csymm(const enum CBLAS_ORDER, const enum CBLAS_SIDE,
                 const enum CBLAS_UPLO, const int, const int, const void*,
                 const void*, const int, const void*, const int, const void*,
                 void*, const int) {
  Unprovided("cblas_csymm");
}

void cblas_csyr2k(const enum CBLAS_ORDER, const enum CBLAS_UPLO,
                  const enum CBLAS_TRANSPOSE, const int, const int, const void*,
                  const void*, const int, const void*, const int, const void*,
                  void*, const int) {
  Unprovided("cblas_csyr2k");
}

void cblas_csyrk(const enum CBLAS_ORDER, const enum CBLAS_UPLO,
                 const enum CBLAS_TRANSPOSE, const int, const int, const void*,
                 const void*, const int, const void*, void*, const int) {
  Unprovided("cblas_csyrk");
}

void cblas_ctrmm(const enum CBLAS_ORDER, const enum CBLAS_SIDE,
                 const enum CBLAS_UPLO, const enum CBLAS_TRANSPOSE,
                 const enum CBLAS_DIAG, const int, const int, const void*,
                 const void*, const int, void*, const int) {
  Unprovided("cblas_ctrmm");
}

void cblas_ctrmv(const enum CBLAS_ORDER, const enum CBLAS_UPLO,
                 const enum CBLAS_TRANSPOSE, const enum CBLAS_DIAG, const int,
                 const void*, const int, void*, const int) {
  Unprovided("cblas_ctrmv");
}

void cblas_ctrsm(const enum CBLAS_ORDER, const enum CBLAS_SIDE,
                 const enum CBLAS_UPLO, const enum CBLAS_TRANSPOSE,
                 const enum CBLAS_DIAG, const int, const int, const void*,
                 const void*, const int, void*, const int) {
  Unprovided("cblas_ctrsm");
}

void cblas_ctrsv(const enum CBLAS_ORDER, const enum CBLAS_UPLO,
                 const enum CBLAS_TRANSPOSE, const enum CBLAS_DIAG, const int,
                 const void*, const int, void*, const int) {
  Unprovided("cblas_ctrsv");
}

void cblas_dgemm(const enum CBLAS_ORDER, const enum CBLAS_TRANSPOSE,
                 const enum CBLAS_TRANSPOSE, const int, const int, const int,
                 const double, const double*, const int, const double*,
                 const int, const double, double*, const int) {
  Unprovided("cblas_dgemm");
}

void cblas_drot(const int, double*, const int, double*, const int, const double,
                const double) {
  Unprovided("cblas_drot");
}

void cblas_drotg(double*, double*, double*, double*) {
  Unprovided("cblas_drotg");
}

void cblas_drotm(const int, double*, const int, double*, const int,
                 const double*) {
  Unprovided("cblas_drotm");
}

void cblas_drotmg(double*, double*, double*, const double, double*) {
  Unprovided("cblas_drotmg");
}

double cblas_dsdot(const int, const float*, const int, const float*,
                   const int) {
  Unprovided("cblas_dsdot");
}

void cblas_dsymm(const enum CBLAS_ORDER, const enum CBLAS_SIDE,
                 const enum CBLAS_UPLO, const int, const int, const double,
                 const double*, const int, const double*, const int,
                 const double, double*, const int) {
  Unprovided("cblas_dsymm");
}

void cblas_dsymv(const enum CBLAS_ORDER, const enum CBLAS_UPLO, const int,
                 const double, const double*, const int, const double*,
                 const int, const double, double*, const int) {
  Unprovided("cblas_dsymv");
}

void cblas_dsyr(const enum CBLAS_ORDER, const enum CBLAS_UPLO, const int,
                const double, const double*, const int, double*, const int) {
  Unprovided("cblas_dsyr");
}

void cblas_dsyr2(const enum CBLAS_ORDER, const enum CBLAS_UPLO, const int,
                 const double, const double*, const int, const double*,
                 const int, double*, const int) {
  Unprovided("cblas_dsyr2");
}

void cblas_dsyr2k(const enum CBLAS_ORDER, const enum CBLAS_UPLO,
                  const enum CBLAS_TRANSPOSE, const int, const int,
                  const double, const double*, const int, const double*,
                  const int, const double, double*, const int) {
  Unprovided("cblas_dsyr2k");
}

void cblas_dsyrk(const enum CBLAS_ORDER, const enum CBLAS_UPLO,
                 const enum CBLAS_TRANSPOSE, const int, const int, const double,
                 const double*, const int, const double, double*, const int) {
  Unprovided("cblas_dsyrk");
}

void cblas_dtrmm(const enum CBLAS_ORDER, const enum CBLAS_SIDE,
                 const enum CBLAS_UPLO, const enum CBLAS_TRANSPOSE,
                 const enum CBLAS_DIAG, const int, const int, const double,
                 const double*, const int, double*, const int) {
  Unprovided("cblas_dtrmm");
}

void cblas_dtrmv(const enum CBLAS_ORDER, const enum CBLAS_UPLO,
                 const enum CBLAS_TRANSPOSE, const enum CBLAS_DIAG, const int,
                 const double*, const int, double*, const int) {
  Unprovided("cblas_dtrmv");
}

void cblas_dtrsm(const enum CBLAS_ORDER, const enum CBLAS_SIDE,
                 const enum CBLAS_UPLO, const enum CBLAS_TRANSPOSE,
                 const enum CBLAS_DIAG, const int, const int, const double,
                 const double*, const int, double*, const int) {
  Unprovided("cblas_dtrsm");
}

double cblas_dzasum(const int, const void*, const int) {
  Unprovided("cblas_dzasum");
}

double cblas_dznrm2(const int, const void*, const int) {
  Unprovided("cblas_dznrm2");
}

CBLAS_INDEX cblas_icamax(const int, const void*, const int) {
  Unprovided("cblas_icamax");
}

CBLAS_INDEX cblas_isamax(const int, const float*, const int) {
  Unprovided("cblas_isamax");
}

CBLAS_INDEX cblas_izamax(const int, const void*, const int) {
  Unprovided("cblas_izamax");
}

float cblas_sasum(const int, const float*, const int) {
  Unprovided("cblas_sasum");
}

void cblas_saxpy(const int, const float, const float*, const int, float*,
                 const int) {
  Unprovided("cblas_saxpy");
}

float cblas_scasum(const int, const void*, const int) {
  Unprovided("cblas_scasum");
}

float cblas_scnrm2(const int, const void*, const int) {
  Unprovided("cblas_scnrm2");
}

float cblas_sdot(const int, const float*, const int, const float*, const int) {
  Unprovided("cblas_sdot");
}

float cblas_sdsdot(const int, const float, const float*, const int,
                   const float*, const int) {
  Unprovided("cblas_sdsdot");
}

void cblas_sgemm(const enum CBLAS_ORDER, const enum CBLAS_TRANSPOSE,
                 const enum CBLAS_TRANSPOSE, const int, const int, const int,
                 const float, const float*, const int, const float*, const int,
                 const float, float*, const int) {
  Unprovided("cblas_sgemm");
}

void cblas_sgemv(const enum CBLAS_ORDER, const enum CBLAS_TRANSPOSE, const int,
                 const int, const float, const float*, const int, const float*,
                 const int, const float, float*, const int) {
  Unprovided("cblas_sgemv");
}

void cblas_sger(const enum CBLAS_ORDER, const int, const int, const float,
                const float*, const int, const float*, const int, float*,
                const int) {
  Unprovided("cblas_sger");
}

float cblas_snrm2(const int, const float*, const int) {
  Unprovided("cblas_snrm2");
}

void cblas_srot(const int, float*, const int, float*, const int, const float,
                const float) {
  Unprovided("cblas_srot");
}

void cblas_srotg(float*, float*, float*, float*) { Unprovided("cblas_srotg"); }

void cblas_srotm(const int, float*, const int, float*, const int,
                 const float*) {
  Unprovided("cblas_srotm");
}

void cblas_srotmg(float*, float*, float*, const float, float*) {
  Unprovided("cblas_srotmg");
}

void cblas_ssymm(const enum CBLAS_ORDER, const enum CBLAS_SIDE,
                 const enum CBLAS_UPLO, const int, const int, const float,
                 const float*, const int, const float*, const int, const float,
                 float*, const int) {
  Unprovided("cblas_ssymm");
}

void cblas_ssymv(const enum CBLAS_ORDER, const enum CBLAS_UPLO, const int,
                 const float, const float*, const int, const float*, const int,
                 const float, float*, const int) {
  Unprovided("cblas_ssymv");
}

void cblas_ssyr(const enum CBLAS_ORDER, const enum CBLAS_UPLO, const int,
                const float, const float*, const int, float*, const int) {
  Unprovided("cblas_ssyr");
}

void cblas_ssyr2(const enum CBLAS_ORDER, const enum CBLAS_UPLO, const int,
                 const float, const float*, const int, const float*, const int,
                 float*, const int) {
  Unprovided("cblas_ssyr2");
}

void cblas_ssyr2k(const enum CBLAS_ORDER, const enum CBLAS_UPLO,
                  const enum CBLAS_TRANSPOSE, const int, const int, const float,
                  const float*, const int, const float*, const int, const float,
                  float*, const int) {
  Unprovided("cblas_ssyr2k");
}

void cblas_ssyrk(const enum CBLAS_ORDER, const enum CBLAS_UPLO,
                 const enum CBLAS_TRANSPOSE, const int, const int, const float,
                 const float*, const int, const float, float*, const int) {
  Unprovided("cblas_ssyrk");
}

void cblas_strmm(const enum CBLAS_ORDER, const enum CBLAS_SIDE,
                 const enum CBLAS_UPLO, const enum CBLAS_TRANSPOSE,
                 const enum CBLAS_DIAG, const int, const int, const float,
                 const float*, const int, float*, const int) {
  Unprovided("cblas_strmm");
}

void cblas_strmv(const enum CBLAS_ORDER, const enum CBLAS_UPLO,
                 const enum CBLAS_TRANSPOSE, const enum CBLAS_DIAG, const int,
                 const float*, const int, float*, const int) {
  Unprovided("cblas_strmv");
}

void cblas_strsm(const enum CBLAS_ORDER, const enum CBLAS_SIDE,
                 const enum CBLAS_UPLO, const enum CBLAS_TRANSPOSE,
                 const enum CBLAS_DIAG, const int, const int, const float,
                 const float*, const int, float*, const int) {
  Unprovided("cblas_strsm");
}

void cblas_strsv(const enum CBLAS_ORDER, const enum CBLAS_UPLO,
                 const enum CBLAS_TRANSPOSE, const enum CBLAS_DIAG, const int,
                 const float*, const int, float*, const int) {
  Unprovided("cblas_strsv");
}

void cblas_zaxpy(const int, const void*, const void*, const int, void*,
                 const int) {
  Unprovided("cblas_zaxpy");
}

void cblas_zdotc_sub(const int, const void*, const int, const void*, const int,
                     void*) {
  Unprovided("cblas_zdotc_sub");
}

void cblas_zdotu_sub(const int, const void*, const int, const void*, const int,
                     void*) {
  Unprovided("cblas_zdotu_sub");
}

void cblas_zdscal(const int, const double, void*, const int) {
  Unprovided("cblas_zdscal");
}

void cblas_zgemm(const enum CBLAS_ORDER, const enum CBLAS_TRANSPOSE,
                 const enum CBLAS_TRANSPOSE, const int, const int, const int,
                 const void*, const void*, const int, const void*, const int,
                 const void*, void*, const int) {
  Unprovided("cblas_zgemm");
}

void cblas_zgemv(const enum CBLAS_ORDER, const enum CBLAS_TRANSPOSE, const int,
                 const int, const void*, const void*, const int, const void*,
                 const int, const void*, void*, const int) {
  Unprovided("cblas_zgemv");
}

void cblas_zgerc(const enum CBLAS_ORDER, const int, const int, const void*,
                 const void*, const int, const void*, const int, void*,
                 const int) {
  Unprovided("cblas_zgerc");
}

void cblas_zgeru(const enum CBLAS_ORDER, const int, const int, const void*,
                 const void*, const int, const void*, const int, void*,
                 const int) {
  Unprovided("cblas_zgeru");
}

void cblas_zhemm(const enum CBLAS_ORDER, const enum CBLAS_SIDE,
                 const enum CBLAS_UPLO, const int, const int, const void*,
                 const void*, const int, const void*, const int, const void*,
                 void*, const int) {
  Unprovided("cblas_zhemm");
}

void cblas_zhemv(const enum CBLAS_ORDER, const enum CBLAS_UPLO, const int,
                 const void*, const void*, const int, const void*, const int,
                 const void*, void*, const int) {
  Unprovided("cblas_zhemv");
}

void cblas_zher(const enum CBLAS_ORDER, const enum CBLAS_UPLO, const int,
                const double, const void*, const int, void*, const int) {
  Unprovided("cblas_zher");
}

void cblas_zher2(const enum CBLAS_ORDER, const enum CBLAS_UPLO, const int,
                 const void*, const void*, const int, const void*, const int,
                 void*, const int) {
  Unprovided("cblas_zher2");
}

void cblas_zher2k(const enum CBLAS_ORDER, const enum CBLAS_UPLO,
                  const enum CBLAS_TRANSPOSE, const int, const int, const void*,
                  const void*, const int, const void*, const int, const double,
                  void*, const int) {
  Unprovided("cblas_zher2k");
}

void cblas_zherk(const enum CBLAS_ORDER, const enum CBLAS_UPLO,
                 const enum CBLAS_TRANSPOSE, const int, const int, const double,
                 const void*, const int, const double, void*, const int) {
  Unprovided("cblas_zherk");
}

void cblas_zsymm(const enum CBLAS_ORDER, const enum CBLAS_SIDE,
                 const enum CBLAS_UPLO, const int, const int, const void*,
                 const void*, const int, const void*, const int, const void*,
                 void*, const int) {
  Unprovided("cblas_zsymm");
}

void cblas_zsyr2k(const enum CBLAS_ORDER, const enum CBLAS_UPLO,
                  const enum CBLAS_TRANSPOSE, const int, const int, const void*,
                  const void*, const int, const void*, const int, const void*,
                  void*, const int) {
  Unprovided("cblas_zsyr2k");
}

void cblas_zsyrk(const enum CBLAS_ORDER, const enum CBLAS_UPLO,
                 const enum CBLAS_TRANSPOSE, const int, const int, const void*,
                 const void*, const int, const void*, void*, const int) {
  Unprovided("cblas_zsyrk");
}

void cblas_ztrmm(const enum CBLAS_ORDER, const enum CBLAS_SIDE,
                 const enum CBLAS_UPLO, const enum CBLAS_TRANSPOSE,
                 const enum CBLAS_DIAG, const int, const int, const void*,
                 const void*, const int, void*, const int) {
  Unprovided("cblas_ztrmm");
}

void cblas_ztrmv(const enum CBLAS_ORDER, const enum CBLAS_UPLO,
                 const enum CBLAS_TRANSPOSE, const enum CBLAS_DIAG, const int,
                 const void*, const int, void*, const int) {
  Unprovided("cblas_ztrmv");
}

void cblas_ztrsm(const enum CBLAS_ORDER, const enum CBLAS_SIDE,
                 const enum CBLAS_UPLO, const enum CBLAS_TRANSPOSE,
                 const enum CBLAS_DIAG, const int, const int, const void*,
                 const void*, const int, void*, const int) {
  Unprovided("cblas_ztrsm");
}

void cblas_ztrsv(const enum CBLAS_ORDER, const enum CBLAS_UPLO,
                 const enum CBLAS_TRANSPOSE, const enum CBLAS_DIAG, const int,
                 const void*, const int, void*, const int) {
  Unprovided("cblas_ztrsv");
}

}  // extern "C"
