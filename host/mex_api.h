// The host's array and MEX libraries as the modules see them.
//
// The real hosts (GNU Octave, MATLAB) supply <mex.h>; the unit tests build
// against the embedded stand-in, which offers the same functions with the
// same names. Module code includes this header and nothing else of the host.
#pragma once

#if defined(SILHOUETTE_HOST_EMBEDDED)
#include "host/embedded_mex.h"
#else
#include <mex.h>
#endif
