#include "dovanel/tangent_points.h"

#include <cstdint>

namespace silhouette {

bool NegativeTurn(const Vec2& a, const Vec2& b) {
  const double p = a.y * b.y;
  if (p > 0) return b.x / b.y > a.x / a.y;
  if (p < 0) return b.x / b.y < a.x / a.y;
  // Otherwise (p is zero, or not a number) the signs decide.
  if (a.y == 0) return a.x > 0 ? b.y < 0 : b.y > 0;
  return b.x > 0 ? a.y > 0 : a.y < 0;
}

TangentPair TangentPoints(const View& view, const Vec2& e) {
  TangentPair pair{view.HullPoint(0), view.HullPoint(0)};
  const int32_t n = view.NumHullVertices();
  for (int32_t k = 1; k < n; ++k) {
    const Vec2 r = view.HullPoint(k);
    if (NegativeTurn(pair.first - e, r - e)) pair.first = r;
    if (NegativeTurn(r - e, pair.second - e)) pair.second = r;
  }
  return pair;
}

}  // namespace silhouette
