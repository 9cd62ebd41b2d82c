// The hull vertices touched by the two tangents from an image point.
#pragma once

#include "camera/view.h"
#include "geometry/vec2.h"

namespace silhouette {

// True when b lies on the negative (clockwise) side of a, that is when
// a.x * b.y - a.y * b.x < 0, decided by comparing the slopes x / y of the
// two vectors when neither y is zero, and by the signs otherwise. For
// finite coordinates so small or large that the product of the y or a
// slope leaves the double range, the sign of the cross product, computed
// as mantissas and exponents, decides instead.
bool NegativeTurn(const Vec2& a, const Vec2& b);

// The two vertices of a tangent pair, in the order TangentPoints finds them.
struct TangentPair {
  Vec2 first;
  Vec2 second;
};

// One pass over the view's hull vertices in hull order, starting from
// HullPoint(0): `first` moves to every vertex that lies on the negative side
// of the current `first` as seen from e, `second` to every vertex on whose
// negative side the current `second` lies. For an e outside the hull these
// are the two vertices touched by the tangents from e, whichever way the
// hull is listed; for an e inside the hull they are not tangent points.
// The view must have at least one hull vertex.
TangentPair TangentPoints(const View& view, const Vec2& e);

}  // namespace silhouette
