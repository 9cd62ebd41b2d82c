// silhouette._core.dovanel: the relative pose of two silhouette sets.
#pragma once

#include <pybind11/pybind11.h>

namespace silhouette {
namespace python {

// Adds dovanel(views_a, views_b, starts, mfe, tol, threads) to the module.
// The view lists are read as ReadViewList reads them; starts is an aligned,
// C-contiguous float64 array of shape (S, 7), read in place (row i is start
// i); mfe and tol go through ReadSolverSettings, whose failure raises
// ValueError with its text. threads must be 0 or more (ValueError). Both
// sets are prepared and the starts run without the GIL, by SolveDovanel;
// its failures (ErrorText) raise RuntimeError with their texts. Returns
// (rms, pose (7,), residuals (8 |A| |B|,)).
void BindDovanel(pybind11::module_& m);

}  // namespace python
}  // namespace silhouette
