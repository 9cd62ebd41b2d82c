// silhouette._core.kestrim: the viewing edges of a silhouette set.
#pragma once

#include <pybind11/pybind11.h>

namespace silhouette {
namespace python {

// Adds kestrim(views) to the module: views is a list as ReadViewList reads
// it. The set is prepared and its edges computed without the GIL; the
// core's failures (ErrorText) raise RuntimeError with their texts. Returns
// (near, far, view): float64 arrays of shape (E, 3) and an int64 array of
// shape (E,) holding zero-based view numbers.
void BindKestrim(pybind11::module_& m);

}  // namespace python
}  // namespace silhouette
