// Kestrim: viewing edges of a silhouette set.
#include "host/mex_api.h"
#include "kestrim/kestrim_entry.h"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  silhouette::KestrimMain(nlhs, plhs, nrhs, prhs);
}
