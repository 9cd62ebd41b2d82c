// Mean caliper diameter (mean width over all directions) of a convex hull.
#pragma once

#include <cstdint>

#include "geometry/polygon2.h"

namespace silhouette {

// The width of the convex polygon P(k) = polygon[hull[k]], k = 0 .. n-1
// (counter-clockwise, as PlanarHull lists it), averaged over all
// directions, by a pair of rotating calipers over half a turn. For three or
// more vertices it equals the perimeter divided by pi up to rounding. A
// hull of two vertices is a segment of length L, whose mean width is
// 2 L / pi; a hull of one vertex (or none) has mean width 0.
double MeanCaliperDiameter(const Polygon2& polygon, const int32_t* hull,
                           int32_t n);

}  // namespace silhouette
