// The Dovanel module's entry, called by mexFunction.
#pragma once

#include "host/mex_api.h"

namespace silhouette {

// [rms, pose, residuals] = Dovanel(viewVecA, viewVecB, vecArray, [mfe; tol]).
//
// Argument errors end the call through mexErrMsgTxt before anything is
// built. Everything else runs inside one handler: a failure of any kind
// (an ErrorText, running out of memory, any other exception) is printed
// with mexPrintf("%s\n", text) once everything built has been released,
// and the call returns without creating outputs. Outputs are created only
// for the slots the host provides: plhs[0] always, plhs[1] when nlhs >= 2,
// plhs[2] when nlhs >= 3. The residuals' room is taken from the host
// (mxMalloc) before the computation, and the output arrays are made once
// the computation has released its memory; running out of memory in the
// host is the host's error, and leaves nothing of ours behind even when
// the host ends the call without unwinding (MATLAB).
void DovanelMain(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);

}  // namespace silhouette
