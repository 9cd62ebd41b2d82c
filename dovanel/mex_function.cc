// Dovanel: the rigid transform between two calibrated silhouette sets.
#include "dovanel/dovanel_entry.h"
#include "host/mex_api.h"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  silhouette::DovanelMain(nlhs, plhs, nrhs, prhs);
}
