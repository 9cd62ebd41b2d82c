#include "pirolet/pirolet_entry.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <limits>
#include <new>
#include <type_traits>
#include <vector>

#include "geometry/planar_hull.h"
#include "geometry/polygon2.h"
#include "host/array_checks.h"
#include "pirolet/mean_caliper_diameter.h"

namespace silhouette {
namespace {

constexpr double kHullTolerance = 0.001;

struct PiroletResult {
  double meanDiam = 0;
  std::vector<double> hullColumns;  // 2 x n, column-major
};

// The host's column-major 2 x n data is an array of Vec2, element for
// element: the hull reads it where it is.
static_assert(sizeof(Vec2) == 2 * sizeof(double) &&
                  std::is_standard_layout<Vec2>::value,
              "Vec2 must be two doubles and nothing else");

// Hulls the polygon and measures it; false when the hull cannot be formed.
bool Measure(const double* data, int32_t n, PiroletResult* result) {
  const Vec2* points = reinterpret_cast<const Vec2*>(data);
  PlanarHull hull(n, points);
  if (!hull.Compute(kHullTolerance)) return false;
  const int32_t* indices = hull.VertexIndices(false);
  const int32_t count = hull.NumVertices();
  // The calipers see only the hull's vertices, in the same order: the same
  // numbers as over the whole polygon, without copying it.
  Polygon2 vertices(static_cast<std::size_t>(count));
  std::vector<int32_t> order(static_cast<std::size_t>(count));
  result->hullColumns.reserve(2 * static_cast<std::size_t>(count));
  for (int32_t k = 0; k < count; ++k) {
    vertices[k] = points[indices[k]];
    order[k] = k;
    result->hullColumns.push_back(vertices[k].x);
    result->hullColumns.push_back(vertices[k].y);
  }
  result->meanDiam = MeanCaliperDiameter(vertices, order.data(), count);
  return true;
}

}  // namespace

void PiroletMain(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  if (nrhs != 1) {
    mexErrMsgTxt("Need 1 input arg(s):  meanDiam = Pirolet( poly )");
    return;
  }
  const mxArray* poly = prhs[0];
  if (!host::IsRealDoubleMatrix(poly)) {
    mexErrMsgTxt("Need poly as a real, full double matrix");
    return;
  }
  if (mxGetM(poly) != 2) {
    mexErrMsgTxt("Need poly matrix with 2 rows");
    return;
  }
  if (mxGetN(poly) < 3) {
    mexErrMsgTxt("Need at least 3 points");
    return;
  }
  if (mxGetN(poly) >
      static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
    mexErrMsgTxt("Need fewer than 2^31 points");
    return;
  }
  const int32_t n = static_cast<int32_t>(mxGetN(poly));
  const double* data = mxGetPr(poly);
  for (std::size_t k = 0; k < 2 * static_cast<std::size_t>(n); ++k) {
    if (!std::isfinite(data[k])) {
      mexErrMsgTxt("Need poly with finite coordinates");
      return;
    }
  }

  // Host errors end the call without unwinding in MATLAB, so they are
  // raised only once nothing of ours owns memory: failures are turned into
  // a fixed-size message first.
  char failure[160] = "";
  {
    PiroletResult result;
    try {
      if (!Measure(data, n, &result)) {
        std::snprintf(failure, sizeof(failure),
                      "Could not compute the convex hull of poly");
      }
    } catch (const std::bad_alloc&) {
      std::snprintf(failure, sizeof(failure), "Out of memory");
    } catch (const std::exception& error) {
      std::snprintf(failure, sizeof(failure), "%s", error.what());
    }
    if (failure[0] == '\0') {
      plhs[0] = mxCreateDoubleMatrix(1, 1, mxREAL);
      *mxGetPr(plhs[0]) = result.meanDiam;
      // The host provides a second slot only when asked for two outputs.
      if (nlhs >= 2) {
        const std::size_t count = result.hullColumns.size() / 2;
        plhs[1] = mxCreateDoubleMatrix(2, count, mxREAL);
        double* out = mxGetPr(plhs[1]);
        for (std::size_t k = 0; k < result.hullColumns.size(); ++k) {
          out[k] = result.hullColumns[k];
        }
      }
    }
  }
  if (failure[0] != '\0') mexErrMsgTxt(failure);
}

}  // namespace silhouette
