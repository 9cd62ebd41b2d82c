// The views of one set as the Python package hands them over, read into
// the core's View type.
#pragma once

#include <pybind11/pybind11.h>

#include <vector>

#include "camera/view.h"

namespace silhouette {
namespace python {

// Reads every item of `views`, a list of tuples (efl, u0, v0, kappa1, pose,
// boundary) with four Python floats, pose an aligned float64 array of shape
// (4, 4) (row-major: pose[r, c]) and boundary an aligned float64 array of
// shape (N, 2) with any strides, each row a point (u, v). The boundary is copied once,
// straight into the view. Needs the GIL.
//
// Raises TypeError for items of any other form and ValueError, with the
// module's texts naming views by one-based number, for a boundary without
// points ("boundary of view K is not a real double matrix of 2 columns and
// at least 1 row."), with 2^31 points or more ("boundary of view K has too
// many points.") or with a coordinate that is not finite ("boundary of
// view K has a coordinate that is not finite.").
std::vector<View> ReadViewList(const pybind11::list& views);

}  // namespace python
}  // namespace silhouette
