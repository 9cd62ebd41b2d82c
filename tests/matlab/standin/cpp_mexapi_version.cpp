// The version source of the stand-in MATLAB folder (tests/matlab/), which
// matlab_add_mex compiles into every module: it exports
// mexfilerequiredapiversion, which tells the host which MEX API the
// module's own sources were compiled for. The stand-in's values: the
// release as a number (2017b is 20172, 2018a 20181, no release 0) and the
// API, 1 for the separate complex one and 2 for the interleaved one.
#include "mex.h"

#define SILHOUETTE_STANDIN_R2017b 20172
#define SILHOUETTE_STANDIN_R2018a 20181
#define SILHOUETTE_STANDIN_unset 0
#define SILHOUETTE_STANDIN_CODE2(release) SILHOUETTE_STANDIN_##release
#define SILHOUETTE_STANDIN_CODE(release) SILHOUETTE_STANDIN_CODE2(release)

extern "C" __attribute__((visibility("default"))) void
mexfilerequiredapiversion(unsigned int* built_by_release,
                          unsigned int* target_api) {
  *built_by_release = SILHOUETTE_STANDIN_CODE(SILHOUETTE_STANDIN_RELEASE);
  *target_api = *built_by_release >= 20181 ? 2 : 1;
}
