// The Kestrim module's entry, called by mexFunction.
#pragma once

#include "host/mex_api.h"

namespace silhouette {

// [nearPts, farPts, viewNums] = Kestrim(viewVec).
//
// With other than one input the host error "Need 1 input arg(s):
// Thrandle( silset )" is raised before anything is allocated. Every other
// failure (a set that cannot be read, an exception of any type) is printed
// as "error: <text>" on a line of its own and the call returns normally
// without outputs. Outputs are created only in the slots the host provides:
// the first always, the second and third when nlhs asks for them. Their
// room is taken from the host (mxMalloc) before the computation, sized by
// the boundaries' points, and the output arrays are made once the
// computation has released its memory; running out of memory in the host
// is the host's error, and leaves nothing of ours behind even when the
// host ends the call without unwinding (MATLAB).
void KestrimMain(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);

}  // namespace silhouette
