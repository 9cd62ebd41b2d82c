// PlanarHull and MeanCaliperDiameter against the literal versions they
// replaced (ReferencePlanarHull, ReferenceMeanCaliperDiameter), at the
// tolerance the modules use (0.001): the same success, dimension, line
// fields and index list, and the same mean caliper diameter, bit for bit.
//
// The literal hull squares its line's length, which overflows on extents
// above about 1e154, and its tolerance is absolute, so no scaled copy
// stands in for it there: sets of a finite extent above 2^500 are not
// compared (the planar_hull target's exact oracle covers them).
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_scene.h"
#include "fuzz/fuzz_targets.h"
#include "geometry/planar_hull.h"
#include "geometry/polygon2.h"
#include "geometry/testing/reference_planar_hull.h"
#include "pirolet/mean_caliper_diameter.h"
#include "pirolet/testing/reference_mean_caliper_diameter.h"

namespace silhouette {
namespace fuzz {
namespace {

constexpr double kModuleTolerance = 0.001;

bool SameBits(const Vec2& a, const Vec2& b) {
  return std::memcmp(&a.x, &b.x, sizeof a.x) == 0 &&
         std::memcmp(&a.y, &b.y, sizeof a.y) == 0;
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The larger side of the bounding box; infinite when a coordinate or the
// range is not finite.
double Extent(const Polygon2& points) {
  if (points.empty()) return 0;
  Vec2 lo = points[0], hi = points[0];
  for (const Vec2& p : points) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return HUGE_VAL;
    lo = Vec2(std::fmin(lo.x, p.x), std::fmin(lo.y, p.y));
    hi = Vec2(std::fmax(hi.x, p.x), std::fmax(hi.y, p.y));
  }
  return std::fmax(hi.x - lo.x, hi.y - lo.y);
}

}  // namespace

std::string HullReferenceTarget(const uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  const std::vector<double> xy = DecodePlanarPoints(&in, 256);
  const Polygon2 points = PolygonFromColumns(xy.data(), xy.size() / 2);
  const int32_t n = static_cast<int32_t>(points.size());
  const double extent = Extent(points);
  if (std::isfinite(extent) && extent > 0x1p500) return "";

  PlanarHull fast(n, points.data());
  ReferencePlanarHull plain(n, points.data());
  const bool fast_ok = fast.Compute(kModuleTolerance);
  const bool plain_ok = plain.Compute(kModuleTolerance);
  if (fast_ok != plain_ok) return "success differs";
  if (fast.dimension != plain.dimension) return "dimension differs";
  if (!SameBits(fast.lineOrigin, plain.lineOrigin) ||
      !SameBits(fast.lineDirection, plain.lineDirection)) {
    return "line differs";
  }
  const int32_t* a = fast.VertexIndices(false);
  const int32_t* b = plain.VertexIndices(false);
  const std::vector<int32_t> fast_list(a, a + fast.NumVertices());
  const std::vector<int32_t> plain_list(b, b + plain.NumVertices());
  if (fast_list != plain_list) return "index lists differ";
  if (!fast_ok) return "";

  // The diameter as Pirolet measures it: over the hull's vertices.
  const double current = MeanCaliperDiameter(points, fast_list.data(),
                                             fast.NumVertices());
  const double literal = ReferenceMeanCaliperDiameter(
      points, fast_list.data(), fast.NumVertices());
  if (!SameBits(current, literal)) return "mean caliper diameter differs";
  return "";
}

}  // namespace fuzz
}  // namespace silhouette
