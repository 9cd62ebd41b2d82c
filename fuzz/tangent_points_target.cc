// TangentPoints against a plain scan: seen from a point outside the hull,
// `first` is the most clockwise hull vertex and `second` the most
// counter-clockwise one, up to the rounding of the slope comparisons.
#include <cmath>
#include <string>
#include <vector>

#include "dovanel/tangent_points.h"
#include "fuzz/fuzz_targets.h"
#include "fuzz/hull_view.h"
#include "fuzz/plane_oracle.h"

namespace silhouette {
namespace fuzz {
namespace {

// Directions closer than this to the end of the visible arc are ties: the
// slope comparison rounds each slope to a relative 2^-53.
constexpr long double kAngleDoubt = 1e-13L;

bool IsHullPoint(const Vec2& p, const std::vector<Vec2>& ring) {
  for (const Vec2& v : ring) {
    if (v.x == p.x && v.y == p.y) return true;
  }
  return false;
}

}  // namespace

std::string TangentPointsTarget(const uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  View view;
  if (!DecodeHullView(&in, &view)) return "";
  const std::vector<Vec2> ring = HullRing(view);
  const Vec2 e = DecodeQueryPoint(&in, ring);

  const TangentPair pair = TangentPoints(view, e);
  if (!IsHullPoint(pair.first, ring) || !IsHullPoint(pair.second, ring)) {
    return "tangent point is not a hull vertex";
  }
  // Directions the doubles cannot hold (a difference that overflows) are
  // out of the function's reach.
  for (const Vec2& p : ring) {
    const Vec2 d = p - e;
    if (!std::isfinite(d.x) || !std::isfinite(d.y)) return "";
  }
  const VisibleArc arc = ArcSeenFrom(e, ring, 1e-9L);
  if (!arc.valid) return "";
  // Angles from the arc's start, a hair below a full turn taken as 0.
  auto from_start = [&](const Vec2& p) {
    const long double a = AngleFrom(arc.start, e, p);
    return a > 2 * kOraclePi - kAngleDoubt ? 0.0L : a;
  };
  if (from_start(pair.first) > kAngleDoubt) {
    return "first is not the most clockwise vertex";
  }
  if (from_start(pair.second) < arc.width - kAngleDoubt) {
    return "second is not the most counter-clockwise vertex";
  }
  return "";
}

}  // namespace fuzz
}  // namespace silhouette
