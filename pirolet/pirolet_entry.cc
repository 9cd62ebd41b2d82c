#include "pirolet/pirolet_entry.h"

#include <cstddef>
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
#include "host/output_buffer.h"
#include "pirolet/mean_caliper_diameter.h"

namespace silhouette {
namespace {

constexpr double kHullTolerance = 0.001;

// The host's column-major 2 x n data is an array of Vec2, element for
// element: the hull reads it where it is.
static_assert(sizeof(Vec2) == 2 * sizeof(double) &&
                  std::is_standard_layout<Vec2>::value,
              "Vec2 must be two doubles and nothing else");

// Hulls the polygon of n points and measures it; false when the hull
// cannot be formed. The hull's vertices go to hull_columns (2 x count,
// column-major, room for n columns) unless it is null.
bool Measure(const double* data, int32_t n, double* mean_diam,
             double* hull_columns, std::size_t* count) {
  const Vec2* points = reinterpret_cast<const Vec2*>(data);
  PlanarHull hull(n, points);
  if (!hull.Compute(kHullTolerance)) return false;
  const int32_t* indices = hull.VertexIndices(false);
  const int32_t vertices = hull.NumVertices();
  // The calipers see only the hull's vertices, in the same order: the same
  // numbers as over the whole polygon, without copying it.
  Polygon2 ring(static_cast<std::size_t>(vertices));
  std::vector<int32_t> order(static_cast<std::size_t>(vertices));
  for (int32_t k = 0; k < vertices; ++k) {
    ring[k] = points[indices[k]];
    order[k] = k;
    if (hull_columns != nullptr) {
      hull_columns[2 * k] = ring[k].x;
      hull_columns[2 * k + 1] = ring[k].y;
    }
  }
  *mean_diam = MeanCaliperDiameter(ring, order.data(), vertices);
  *count = static_cast<std::size_t>(vertices);
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
  if (!host::AllFinite(data, 2 * static_cast<std::size_t>(n))) {
    mexErrMsgTxt("Need poly with finite coordinates");
    return;
  }

  // Host errors, running out of memory in the host included, end the call
  // without unwinding in MATLAB, so the host is called only while nothing
  // of ours owns memory: the room for the hull (at most n vertices) is
  // taken from the host first, failures are turned into a fixed-size
  // message, and the outputs are made once the computation has released
  // everything (see host::OutputBuffer). The host provides a second output
  // slot only when asked for two outputs.
  host::OutputBuffer hull_out(nlhs >= 2 ? 2 * static_cast<std::size_t>(n)
                                        : 0);
  double mean_diam = 0;
  std::size_t count = 0;
  char failure[160] = "";
  try {
    if (!Measure(data, n, &mean_diam, hull_out.data(), &count)) {
      std::snprintf(failure, sizeof(failure),
                    "Could not compute the convex hull of poly");
    }
  } catch (const std::bad_alloc&) {
    std::snprintf(failure, sizeof(failure), "Out of memory");
  } catch (const std::exception& error) {
    std::snprintf(failure, sizeof(failure), "%s", error.what());
  }
  if (failure[0] != '\0') mexErrMsgTxt(failure);

  mxArray* mean_out = mxCreateDoubleScalar(mean_diam);
  if (nlhs >= 2) plhs[1] = hull_out.Release(2, count);
  plhs[0] = mean_out;
}

}  // namespace silhouette
