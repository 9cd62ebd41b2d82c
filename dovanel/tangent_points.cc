#include "dovanel/tangent_points.h"

#include <cmath>
#include <cstdint>

namespace silhouette {

namespace {

// x * y as m * 2^e with |m| in [0.5, 1), or m = 0, for finite x and y: no
// overflow or underflow whatever their size.
struct ScaledProduct {
  double m;
  int e;
};

ScaledProduct Product(double x, double y) {
  int ex = 0, ey = 0, ep = 0;
  const double mx = std::frexp(x, &ex);
  const double my = std::frexp(y, &ey);
  const double m = std::frexp(mx * my, &ep);
  return ScaledProduct{m, ex + ey + ep};
}

// The sign of x1 * y1 - x2 * y2 for finite numbers, exact but for the
// rounding of the two products' digits.
int ProductDifferenceSign(double x1, double y1, double x2, double y2) {
  const ScaledProduct p = Product(x1, y1);
  const ScaledProduct q = Product(x2, y2);
  const int sp = p.m > 0 ? 1 : (p.m < 0 ? -1 : 0);
  const int sq = q.m > 0 ? 1 : (q.m < 0 ? -1 : 0);
  if (sp != sq) return sp > sq ? 1 : -1;
  if (sp == 0) return 0;
  // Same sign: the larger magnitude decides, exponent first.
  int larger = 0;
  if (p.e != q.e) {
    larger = p.e > q.e ? 1 : -1;
  } else if (std::abs(p.m) != std::abs(q.m)) {
    larger = std::abs(p.m) > std::abs(q.m) ? 1 : -1;
  }
  return sp * larger;
}

bool AllFinite(const Vec2& a, const Vec2& b) {
  return std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(b.x) &&
         std::isfinite(b.y);
}

}  // namespace

bool NegativeTurn(const Vec2& a, const Vec2& b) {
  // With finite coordinates the slopes and the product of the y can still
  // leave the double range (a y near 1e-300, say): both slopes overflow to
  // one infinity and compare equal whatever their order, or the product
  // underflows to 0. The sign of the cross product, taken without leaving
  // the range, decides those; everything else is decided as it always was.
  const double p = a.y * b.y;
  if (p > 0 || p < 0) {
    const double slope_a = a.x / a.y;
    const double slope_b = b.x / b.y;
    if (slope_b != slope_a || std::isfinite(slope_a) || !AllFinite(a, b)) {
      return p > 0 ? slope_b > slope_a : slope_b < slope_a;
    }
  } else if (!(a.y != 0 && b.y != 0 && AllFinite(a, b))) {
    // p is zero because a y is, or not a number: the signs decide.
    if (a.y == 0) return a.x > 0 ? b.y < 0 : b.y > 0;
    return b.x > 0 ? a.y > 0 : a.y < 0;
  }
  return ProductDifferenceSign(a.x, b.y, a.y, b.x) < 0;
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
