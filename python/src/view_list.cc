#include "view_list.h"

#include <pybind11/numpy.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace py = pybind11;

namespace silhouette {
namespace python {
namespace {

// Any layout, but float64 in the machine's byte order: other arrays are
// refused rather than converted here.
using AnyLayout = py::array_t<double, 0>;

std::string ViewLabel(std::size_t i) { return "view " + std::to_string(i + 1); }

// Aligned as well: the elements are read as doubles.
AnyLayout FloatArray(const py::handle& item, const char* what) {
  if (!AnyLayout::check_(item)) {
    throw py::type_error(std::string(what) + " is not a float64 array");
  }
  AnyLayout array = py::reinterpret_borrow<AnyLayout>(item);
  if ((array.flags() & py::detail::npy_api::NPY_ARRAY_ALIGNED_) == 0) {
    throw py::type_error(std::string(what) + " is not an aligned array");
  }
  return array;
}

Camera ReadCamera(const py::tuple& item) {
  Camera camera;
  camera.efl = item[0].cast<double>();
  camera.u0 = item[1].cast<double>();
  camera.v0 = item[2].cast<double>();
  camera.kappa1 = item[3].cast<double>();
  const AnyLayout pose = FloatArray(item[4], "pose");
  if (pose.ndim() != 2 || pose.shape(0) != 4 || pose.shape(1) != 4) {
    throw py::value_error("pose in camera is not a real double 4 x 4 matrix.");
  }
  const auto p = pose.unchecked<2>();
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) camera.pose[r][c] = p(r, c);
  }
  return camera;
}

Polygon2 ReadBoundary(const py::handle& item, std::size_t i) {
  const AnyLayout boundary = FloatArray(item, "boundary");
  if (boundary.ndim() != 2 || boundary.shape(1) != 2 ||
      boundary.shape(0) < 1) {
    throw py::value_error("boundary of " + ViewLabel(i) +
                          " is not a real double matrix of 2 columns and at "
                          "least 1 row.");
  }
  if (boundary.shape(0) > std::numeric_limits<int32_t>::max()) {
    throw py::value_error("boundary of " + ViewLabel(i) +
                          " has too many points.");
  }
  const auto b = boundary.unchecked<2>();
  Polygon2 polygon;
  polygon.reserve(static_cast<std::size_t>(b.shape(0)));
  for (py::ssize_t k = 0; k < b.shape(0); ++k) {
    const Vec2 p(b(k, 0), b(k, 1));
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
      throw py::value_error("boundary of " + ViewLabel(i) +
                            " has a coordinate that is not finite.");
    }
    polygon.push_back(p);
  }
  return polygon;
}

}  // namespace

std::vector<View> ReadViewList(const py::list& views) {
  std::vector<View> out(views.size());
  for (std::size_t i = 0; i < out.size(); ++i) {
    const py::handle item = views[i];
    if (!py::isinstance<py::tuple>(item) || py::len(item) != 6) {
      throw py::type_error("a view is not a tuple (efl, u0, v0, kappa1, "
                           "pose, boundary)");
    }
    const py::tuple fields = py::reinterpret_borrow<py::tuple>(item);
    out[i].boundary = ReadBoundary(fields[5], i);
    out[i].camera = ReadCamera(fields);
  }
  return out;
}

}  // namespace python
}  // namespace silhouette
