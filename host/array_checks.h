// Checks on host arrays made before their data is read.
#pragma once

#include <cstddef>

#include "host/mex_api.h"

namespace silhouette {
namespace host {

// True for a real, full (not sparse) double array: the only kind whose
// mxGetPr() data holds mxGetNumberOfElements() doubles.
bool IsRealDoubleArray(const mxArray* array);

// A real, full double array of exactly two dimensions.
bool IsRealDoubleMatrix(const mxArray* array);

// True when none of the values is NaN or infinite. Where the processor
// has SSE2 two values are checked at once.
bool AllFinite(const double* values, std::size_t count);

// True for a struct array.
bool IsStructArray(const mxArray* array);

// The number of output slots the host provides when the caller asks for
// `nlhs` outputs: Octave and MATLAB both give room for one even when none
// is asked for (for `ans`).
inline int NumOutputSlots(int nlhs) { return nlhs > 1 ? nlhs : 1; }

}  // namespace host
}  // namespace silhouette
