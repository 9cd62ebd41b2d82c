// The reference point of a view set: the world point whose images best
// match the centroids of the silhouette hulls.
#pragma once

#include <vector>

#include "camera/view.h"
#include "geometry/vec2.h"
#include "geometry/vec3.h"

namespace silhouette {

// The centroid of the polygon of the view's hull vertices in hull order
// (image pixels), right for either orientation. A hull of fewer than three
// vertices, or of zero area, has no area to weigh: its centroid is the mean
// of its vertices (the point, or the middle of the segment).
Vec2 HullCentroid(const View& view);

// The last stage of reading a view set. For two or more views: estimates
// the reference point linearly from the first three equations (both of view
// 0 and the x equation of view 1; "Failed to solve linear system." when
// they are singular), refines it with the triangulation model (50
// iterations at most, relative tolerance 1e-4; "Cannot form matrix K with
// nonzero kappa1" when a camera has distortion), scales every view's
// normalized boundary by the point's depth in that view and builds each
// view's 100-bin direction index. A single view cannot place a point in
// depth: its boundary is scaled by a depth of 1 (kept in normalized
// coordinates) and indexed, and nothing is solved.
void PrepareReferencePoint(std::vector<View>* views);

}  // namespace silhouette
