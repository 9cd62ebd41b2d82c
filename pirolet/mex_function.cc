// Pirolet: mean caliper diameter of a planar polygon.
#include "host/mex_api.h"
#include "pirolet/pirolet_entry.h"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  silhouette::PiroletMain(nlhs, plhs, nrhs, prhs);
}
