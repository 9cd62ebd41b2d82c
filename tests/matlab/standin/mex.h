/* mex.h of the stand-in MATLAB folder that tests/matlab/standin_test.sh
 * builds: the MEX library of the embedded host (host/embedded_mex.cc),
 * with the array library's matrix.h (a copy of host/embedded_matrix.h).
 * It is this project's own file: it declares what the modules use, with
 * C linkage as the host's libraries export it.
 *
 * Every object compiled with it carries a local symbol that names the API
 * it was compiled for, standin_mex_api_<release>_<mexfile>, from the
 * macros MATLAB_DEFAULT_RELEASE ("unset" without it) and MATLAB_MEX_FILE
 * ("mexfile", or "no_mexfile"): nm shows whether the objects of a module
 * agree.
 */
#ifndef SILHOUETTE_STANDIN_MEX_H_
#define SILHOUETTE_STANDIN_MEX_H_

#include "matrix.h"

#if defined(MATLAB_DEFAULT_RELEASE)
#define SILHOUETTE_STANDIN_RELEASE MATLAB_DEFAULT_RELEASE
#else
#define SILHOUETTE_STANDIN_RELEASE unset
#endif
#if defined(MATLAB_MEX_FILE)
#define SILHOUETTE_STANDIN_MEX_FILE mexfile
#else
#define SILHOUETTE_STANDIN_MEX_FILE no_mexfile
#endif
#define SILHOUETTE_STANDIN_JOIN2(a, b) a##b
#define SILHOUETTE_STANDIN_JOIN(a, b) SILHOUETTE_STANDIN_JOIN2(a, b)

static const char SILHOUETTE_STANDIN_JOIN(
    SILHOUETTE_STANDIN_JOIN(
        SILHOUETTE_STANDIN_JOIN(standin_mex_api_, SILHOUETTE_STANDIN_RELEASE),
        _),
    SILHOUETTE_STANDIN_MEX_FILE)[] __attribute__((used)) = "";

/* matlab_add_mex defines it for the module's own sources. */
#ifndef DLL_EXPORT_SYM
#define DLL_EXPORT_SYM
#endif

#ifdef __cplusplus
extern "C" {
#endif

DLL_EXPORT_SYM void mexFunction(int nlhs, mxArray* plhs[], int nrhs,
                                const mxArray* prhs[]);

int mexPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
void mexErrMsgTxt(const char* text) __attribute__((noreturn));

#ifdef __cplusplus
}
#endif

#endif /* SILHOUETTE_STANDIN_MEX_H_ */
