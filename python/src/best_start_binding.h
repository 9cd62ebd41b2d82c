// silhouette._core.best_index: Dovanel's rule for the best of several
// results.
#pragma once

#include <pybind11/pybind11.h>

namespace silhouette {
namespace python {

// Adds best_index(rms_values) to the module: the position of the best of a
// non-empty sequence of RMS values by the rule of Dovanel's multi-start
// search (BestStart): the smallest wins, on ties the earlier, and NaN never
// wins over a number (when every value is NaN, the first). Raises
// ValueError for an empty sequence.
void BindBestStart(pybind11::module_& m);

}  // namespace python
}  // namespace silhouette
