// silhouette._core.pirolet: the mean caliper diameter of a point cloud.
#pragma once

#include <pybind11/pybind11.h>

namespace silhouette {
namespace python {

// Adds pirolet(points) to the module. points is a float64 array of shape
// (N, 2), C-contiguous and aligned, read in place: its rows, read as Vec2,
// are hulled without a copy. Raises ValueError "Need poly matrix with 2
// columns", "Need at least 3 points", "Need fewer than 2^31 points" and
// "Need poly with finite coordinates" before the computation, which runs
// without the GIL and raises RuntimeError "Could not compute the convex hull
// of poly" when the hull cannot be formed. Returns (mean diameter, hull
// vertices as an (n, 2) float64 array, counter-clockwise).
void BindPirolet(pybind11::module_& m);

}  // namespace python
}  // namespace silhouette
