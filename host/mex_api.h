// The host's array and MEX libraries as the modules see them.
//
// The real hosts (GNU Octave, MATLAB) supply <mex.h>; the unit tests build
// against the embedded stand-in, which offers the same functions with the
// same names. Module code includes this header and nothing else of the host.
//
// The C++ libraries built without a host (SILHOUETTE_HOST_NONE) see only an
// opaque mxArray: the functions that take one are declared but not built
// there, and nothing of the host is included.
#pragma once

#if defined(SILHOUETTE_HOST_NONE)
struct mxArray;
#elif defined(SILHOUETTE_HOST_EMBEDDED)
#include "host/embedded_mex.h"
#else
#include <mex.h>
#endif
