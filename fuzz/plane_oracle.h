// Plain, slow answers about points in the plane, in long double, for the
// oracles of the hull query targets: the directions in which a point sees a
// set of points, where a half-line crosses a polygon's edges, and which side
// of a ring a point is on beyond any rounding doubt.
#pragma once

#include <vector>

#include "fuzz/fuzz_input.h"
#include "geometry/vec2.h"

namespace silhouette {
namespace fuzz {

constexpr long double kOraclePi = 3.14159265358979323846264338327950288L;

// Counter-clockwise angle from direction `start` to the direction of p - e,
// in [0, 2 pi).
long double AngleFrom(long double start, const Vec2& e, const Vec2& p);

// The directions in which e sees `points`, when they all lie within less
// than a half turn by more than `margin` radians (e outside their convex
// hull by a margin): `start` is the most clockwise direction, `width` the
// counter-clockwise span from it to the most counter-clockwise one.
struct VisibleArc {
  bool valid = false;
  long double start = 0;
  long double width = 0;
};
VisibleArc ArcSeenFrom(const Vec2& e, const std::vector<Vec2>& points,
                       long double margin);

// +1 when e lies strictly left of every edge of the closed ring, -1 when
// strictly right of every edge, each by more than rounding could move it;
// 0 otherwise (on or near an edge, outside, or a ring of fewer than three).
int StrictlyInsideRing(const Vec2& e, const std::vector<Vec2>& ring);

// Whether the closed ring turns the same way at every vertex by more than a
// rounding, once vertices a rounding away from their predecessor are left
// out (a ring of one or two vertices counts as convex).
bool StrictlyConvexRing(const std::vector<Vec2>& ring);

// The distance from e to the closed ring's boundary (its vertices for a
// ring of one or two).
long double DistanceToRing(const Vec2& e, const std::vector<Vec2>& ring);

// The parameters t >= 0 at which e + t * r (r = q - e) meets the closed
// ring's edges, for edges that the half-line crosses at a sine of at least
// `min_sine`; `grazing` is set when an edge at a smaller sine lies closer to
// the line than `min_sine` times its length (it may touch the half-line
// anywhere).
std::vector<long double> RingCrossings(const Vec2& e, const Vec2& q,
                                       const std::vector<Vec2>& ring,
                                       long double min_sine, bool* grazing);

// A point for the queries: free numbers, a hull point, a point on the line
// of two hull points (inside or beyond them), one ulp off a hull point, or
// far away; chosen by the bytes.
Vec2 DecodeQueryPoint(FuzzInput* in, const std::vector<Vec2>& ring);

}  // namespace fuzz
}  // namespace silhouette
