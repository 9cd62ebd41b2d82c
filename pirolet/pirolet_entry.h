// The Pirolet module's entry, called by mexFunction.
#pragma once

#include "host/mex_api.h"

namespace silhouette {

// meanDiam = Pirolet(poly); [meanDiam, hullPts] = Pirolet(poly).
// Host errors are raised only while nothing of ours holds memory: the
// hull's room (2 x N) is taken from the host before the hull is computed,
// and the outputs are made once the computation has released its memory.
void PiroletMain(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);

}  // namespace silhouette
