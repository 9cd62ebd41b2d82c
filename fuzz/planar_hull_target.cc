// PlanarHull and MeanCaliperDiameter against an exact oracle: every input
// point lies inside or on the hull by an exact test on the hull's grid, the
// ring turns counter-clockwise, its vertices are input points, and the mean
// caliper diameter of three or more vertices is the perimeter over pi.
//
// That oracle holds at the tolerance the modules use (0.001) and above.
// Below it (0 included, which only C++ callers can pass) the hull keeps the
// previous hull's answers byte for byte, and those break it on sets flat
// or tiny within the roundings (see docs/fuzzing.md, open findings): there
// the target checks what every tolerance promises, that the call is
// memory-safe, its indices lie in range and a second computation repeats
// the first.
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "fuzz/fuzz_scene.h"
#include "fuzz/fuzz_targets.h"
#include "geometry/planar_hull.h"
#include "geometry/polygon2.h"
#include "pirolet/mean_caliper_diameter.h"

namespace silhouette {
namespace fuzz {
namespace {

constexpr long double kPi = 3.14159265358979323846264338327950288L;
constexpr double kGridSize = 1048576.0;  // the hull's grid, 2^20 units
// The modules' tolerance: from here up the full oracle applies.
constexpr double kModuleTolerance = 0.001;

struct Extent {
  bool finite = false;
  Vec2 min = Vec2(0, 0);
  double range[2] = {0, 0};
  double extent = 0;  // the larger range
  int axis = 0;       // its axis (x on a tie)
};

Extent MeasureExtent(const Polygon2& points) {
  Extent e;
  Vec2 lo = points[0], hi = points[0];
  for (const Vec2& p : points) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return e;
    lo = Vec2(std::fmin(lo.x, p.x), std::fmin(lo.y, p.y));
    hi = Vec2(std::fmax(hi.x, p.x), std::fmax(hi.y, p.y));
  }
  e.min = lo;
  e.range[0] = hi.x - lo.x;
  e.range[1] = hi.y - lo.y;
  e.finite = std::isfinite(e.range[0]) && std::isfinite(e.range[1]);
  e.axis = e.range[1] > e.range[0] ? 1 : 0;
  e.extent = e.range[e.axis];
  return e;
}

// The point on the hull's grid: its offset from the minimum corner in units
// of extent / 2^20, truncated (for an extent so small that 2^20 / extent
// overflows, offset and extent are first scaled by a power of two).
void GridPoint(const Vec2& p, const Extent& e, __int128 g[2]) {
  int shift = 0;
  double scale = kGridSize / e.extent;
  if (!std::isfinite(scale)) {
    std::frexp(e.extent, &shift);
    shift = -shift;
    scale = kGridSize / std::ldexp(e.extent, shift);
  }
  g[0] = static_cast<int64_t>(std::ldexp(p.x - e.min.x, shift) * scale);
  g[1] = static_cast<int64_t>(std::ldexp(p.y - e.min.y, shift) * scale);
}

__int128 Orient(const __int128 a[2], const __int128 b[2], const __int128 c[2]) {
  return (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]);
}

long double Distance(const Vec2& a, const Vec2& b) {
  const long double dx = static_cast<long double>(b.x) - a.x;
  const long double dy = static_cast<long double>(b.y) - a.y;
  return std::sqrt(dx * dx + dy * dy);
}

std::string CheckPolygon(const Polygon2& points, const Extent& e,
                         const int32_t* ring, int32_t h) {
  if (h < 3) return "polygon hull of fewer than 3 vertices";
  const std::size_t n = points.size();
  std::vector<__int128> grid(2 * n);
  for (std::size_t i = 0; i < n; ++i) GridPoint(points[i], e, &grid[2 * i]);
  auto g = [&](int32_t i) { return &grid[2 * static_cast<std::size_t>(i)]; };
  __int128 twice_area = 0;
  for (int32_t k = 0; k < h; ++k) {
    const int32_t a = ring[k], b = ring[(k + 1) % h], c = ring[(k + 2) % h];
    twice_area += g(a)[0] * g(b)[1] - g(b)[0] * g(a)[1];
    if (Orient(g(a), g(b), g(c)) < 0) return "ring turns clockwise";
    for (std::size_t i = 0; i < n; ++i) {
      if (Orient(g(a), g(b), g(static_cast<int32_t>(i))) < 0) {
        return "point " + std::to_string(i) + " outside the hull";
      }
    }
  }
  if (twice_area < 0) return "ring clockwise";
  if (twice_area == 0) {
    // Thinner than a grid unit: flat on the grid, counter-clockwise in the
    // points' own coordinates.
    // (Measured relative to the first vertex, with a bound for the
    // roundings of extended precision.)
    long double real_area = 0, doubt = 0;
    const Vec2& o = points[ring[0]];
    for (int32_t k = 1; k + 1 < h; ++k) {
      const Vec2& a = points[ring[k]];
      const Vec2& b = points[ring[k + 1]];
      const long double left = (static_cast<long double>(a.x) - o.x) *
                               (static_cast<long double>(b.y) - o.y);
      const long double right = (static_cast<long double>(b.x) - o.x) *
                                (static_cast<long double>(a.y) - o.y);
      real_area += left - right;
      doubt += 16 * std::numeric_limits<long double>::epsilon() *
               (std::fabs(left) + std::fabs(right));
    }
    if (real_area < -doubt) return "flat ring clockwise";
  }
  return "";
}

std::string CheckCalipers(const Polygon2& points, const Extent& e,
                          const int32_t* ring, int32_t h) {
  const double mean = MeanCaliperDiameter(points, ring, h);
  if (h == 1) return mean == 0 ? "" : "point hull has a mean diameter";
  long double perimeter = 0;
  for (int32_t k = 0; k < h; ++k) {
    perimeter += Distance(points[ring[k]], points[ring[(k + 1) % h]]);
  }
  const long double expected = perimeter / kPi;
  if (expected > 1e307L) return std::isnan(mean) ? "mean diameter NaN" : "";
  if (!std::isfinite(mean)) return "mean diameter not finite";
  const long double got = mean;
  // Rounding, and for a polygon the sub-grid detours the calipers drop:
  // each shortens the perimeter by at most a few grid units.
  // (Denormal results carry fewer digits: an absolute slack covers them.)
  long double slack = 1e-9L * expected + 1e-320L;
  if (h >= 3) slack += 16.0L * h * (e.extent / kGridSize) / kPi;
  if (got > expected + 1e-9L * expected + 1e-320L || got < expected - slack) {
    return "mean diameter is not the perimeter over pi";
  }
  return "";
}

// The full oracle on a computed hull of finite points.
std::string CheckHull(PlanarHull& hull, const Polygon2& points,
                      const Extent& e, double tol) {
  const int32_t h = hull.NumVertices();
  const int32_t* ring = hull.VertexIndices(false);
  for (int32_t k = 0; k < h; ++k) {
    for (int32_t j = 0; j < k; ++j) {
      if (ring[j] == ring[k]) return "vertex repeated";
    }
  }
  if (hull.dimension != 0 && !(e.extent >= tol && e.extent > 0)) {
    return "points within the tolerance not taken as one point";
  }
  std::string finding;
  switch (hull.dimension) {
    case 0:
      if (h != 1 || ring[0] != 0) return "point hull is not point 0";
      if (e.extent >= tol && e.extent != 0) return "wide points as one point";
      break;
    case 1: {
      if (h != 2) return "segment hull without two vertices";
      const Vec2 a = points[ring[0]], b = points[ring[1]];
      const double lo = e.axis == 0 ? a.x : a.y, hi = e.axis == 0 ? b.x : b.y;
      const double span = e.axis == 0 ? e.min.x : e.min.y;
      if (lo != span || hi - lo != e.extent) return "segment ends not extreme";
      const long double length = Distance(a, b);
      for (const Vec2& p : points) {
        const long double cross =
            (static_cast<long double>(b.x) - a.x) * (p.y - a.y) -
            (static_cast<long double>(b.y) - a.y) * (p.x - a.x);
        if (std::fabs(cross) / length > e.extent * (tol + 1e-9L) + 1e-300L) {
          return "point far from the segment hull";
        }
      }
      break;
    }
    case 2:
      finding = CheckPolygon(points, e, ring, h);
      break;
    default:
      return "dimension out of range";
  }
  if (!finding.empty()) return finding;
  return CheckCalipers(points, e, ring, h);
}


}  // namespace

std::string PlanarHullTarget(const uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  const uint8_t t = in.Byte();
  const double tolerance = t == 0 ? 1e-3 : (t == 1 ? 0.0 : in.Number());
  const std::vector<double> xy = DecodePlanarPoints(&in, 1024);
  const Polygon2 points = PolygonFromColumns(xy.data(), xy.size() / 2);
  const int32_t count = static_cast<int32_t>(points.size());

  PlanarHull hull(count, points.data());
  const bool computed = hull.Compute(tolerance);
  const Extent e = count > 0 ? MeasureExtent(points) : Extent();
  if (computed != e.finite) {
    return computed ? "hull of unmeasurable points" : "hull refused";
  }
  if (!computed) return hull.NumVertices() == 0 ? "" : "refused with vertices";

  const int32_t h = hull.NumVertices();
  const int32_t* ring = hull.VertexIndices(false);
  for (int32_t k = 0; k < h; ++k) {
    if (ring[k] < 0 || ring[k] >= count) return "vertex index out of range";
  }
  const double tol = tolerance >= 0 ? tolerance : 0;
  const std::string finding = tol >= kModuleTolerance
                                  ? CheckHull(hull, points, e, tol)
                                  : "";
  if (!finding.empty()) return finding;

  // A second computation of the same hull gives the same ring, and a ring
  // taken over by the caller is the caller's to free.
  const std::vector<int32_t> first(ring, ring + h);
  if (!hull.Compute(tolerance)) return "second computation refused";
  const int32_t h2 = hull.NumVertices();
  int32_t* again = hull.VertexIndices(true);
  const std::vector<int32_t> second(again, again + h2);
  const bool same = hull.NumVertices() == 0 && first == second;
  delete[] again;
  return same ? "" : "second computation differs";
}

}  // namespace fuzz
}  // namespace silhouette
