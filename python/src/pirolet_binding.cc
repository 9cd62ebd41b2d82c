#include "pirolet_binding.h"

#include <pybind11/numpy.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <numeric>
#include <type_traits>
#include <vector>

#include "geometry/planar_hull.h"
#include "geometry/polygon2.h"
#include "geometry/vec2.h"
#include "pirolet/mean_caliper_diameter.h"

namespace py = pybind11;

namespace silhouette {
namespace python {
namespace {

constexpr double kHullTolerance = 0.001;

// A row (x, y) of a C-contiguous float64 array of two columns is exactly a
// Vec2.
static_assert(std::is_standard_layout<Vec2>::value &&
                  sizeof(Vec2) == 2 * sizeof(double) &&
                  alignof(Vec2) == alignof(double),
              "Vec2 must be laid out as two doubles");

using Points = py::array_t<double, py::array::c_style>;

struct Measured {
  bool ok = false;
  double meanDiam = 0;
  Polygon2 hull;  // the hull's vertices, counter-clockwise
};

Measured Measure(const Vec2* points, int32_t n) {
  Measured result;
  PlanarHull hull(n, points);
  if (!hull.Compute(kHullTolerance)) return result;
  const int32_t count = hull.NumVertices();
  const int32_t* indices = hull.VertexIndices(false);
  result.hull.reserve(static_cast<std::size_t>(count));
  for (int32_t k = 0; k < count; ++k) result.hull.push_back(points[indices[k]]);
  // The calipers read the hull's vertices alone, so measuring the copied
  // vertices in order gives the numbers of measuring them in the cloud.
  std::vector<int32_t> order(static_cast<std::size_t>(count));
  std::iota(order.begin(), order.end(), 0);
  result.meanDiam = MeanCaliperDiameter(result.hull, order.data(), count);
  result.ok = true;
  return result;
}

py::tuple Pirolet(const Points& points) {
  if (points.ndim() != 2 || points.shape(1) != 2) {
    throw py::value_error("Need poly matrix with 2 columns");
  }
  const py::ssize_t n = points.shape(0);
  if (n < 3) throw py::value_error("Need at least 3 points");
  if (n > std::numeric_limits<int32_t>::max()) {
    throw py::value_error("Need fewer than 2^31 points");
  }
  // NumPy may hand over an unaligned buffer (the package does not); such
  // one is copied byte by byte first.
  const void* data = points.data();
  Polygon2 aligned;
  const Vec2* rows = nullptr;
  if (reinterpret_cast<std::uintptr_t>(data) % alignof(Vec2) == 0) {
    rows = static_cast<const Vec2*>(data);
  } else {
    aligned.resize(static_cast<std::size_t>(n));
    std::memcpy(aligned.data(), data, aligned.size() * sizeof(Vec2));
    rows = aligned.data();
  }
  for (py::ssize_t k = 0; k < n; ++k) {
    if (!std::isfinite(rows[k].x) || !std::isfinite(rows[k].y)) {
      throw py::value_error("Need poly with finite coordinates");
    }
  }

  Measured result;
  {
    py::gil_scoped_release release;
    result = Measure(rows, static_cast<int32_t>(n));
  }
  if (!result.ok) {
    throw std::runtime_error("Could not compute the convex hull of poly");
  }
  const py::ssize_t count = static_cast<py::ssize_t>(result.hull.size());
  py::array_t<double> hull({count, py::ssize_t{2}});
  double* out = hull.mutable_data();
  for (py::ssize_t k = 0; k < count; ++k) {
    out[2 * k] = result.hull[k].x;
    out[2 * k + 1] = result.hull[k].y;
  }
  return py::make_tuple(result.meanDiam, hull);
}

}  // namespace

void BindPirolet(py::module_& m) {
  m.def("pirolet", &Pirolet, py::arg("points").noconvert(),
        "Mean caliper diameter and hull of a C-contiguous float64 (N, 2) "
        "array; see silhouette.pirolet.");
}

}  // namespace python
}  // namespace silhouette
