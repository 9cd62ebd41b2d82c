// The Pirolet module's entry, called by mexFunction.
#pragma once

#include "host/mex_api.h"

namespace silhouette {

// meanDiam = Pirolet(poly); [meanDiam, hullPts] = Pirolet(poly).
void PiroletMain(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);

}  // namespace silhouette
