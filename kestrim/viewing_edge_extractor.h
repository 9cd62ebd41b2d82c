// Viewing edges of a silhouette set: the stretch of each hull vertex's
// viewing ray whose image lies inside the silhouette hulls of all other
// views.
#pragma once

#include <cstdint>
#include <vector>

#include "camera/view_set.h"
#include "geometry/vec3.h"

namespace silhouette {

struct ViewingEdge {
  // World point at the smaller of the two signed distances along the ray.
  Vec3 near;
  // World point at the larger one.
  Vec3 far;
  // Zero-based number of the view whose hull vertex gave the ray.
  int32_t view;
};

// A stretch of a viewing ray as distances from the camera centre: empty, or
// [lower, upper]. The computation itself narrows a RayStretch; this type
// and IntersectInterval stay for code that combines stretches.
struct DepthInterval {
  bool empty = true;
  double lower = 0;
  double upper = 0;
};

// Narrows `acc` to its common part with `other`. Either empty makes `acc`
// empty. A larger lower bound of `other` is taken over; so is its upper
// bound unless it is >= acc's (a NaN upper bound is taken over). Unless the
// result has upper >= lower, it is empty: a NaN bound empties it, and
// touching intervals leave one of length 0.
void IntersectInterval(DepthInterval* acc, const DepthInterval& other);

// Computes the viewing edges of a view set. The edge of hull vertex u of
// view N is the set of points X(s) = C + s d, s >= 0, of its viewing ray
// (C camera N's centre, d the unit direction through the vertex) that lie
// strictly in front of every other camera and project into, or onto, that
// camera's silhouette hull; an empty set gives no edge. Against each other
// view j the ray is clipped in camera j's frame, where it is a + s b: by
// j's front half-space (a.z + s b.z > 0) and by the planes through camera
// j's centre and the hull edges (SilhouetteCone), each one signed linear
// condition in s. The epipolar hull index of the pair picks the two edges
// that the ray's image line crosses; where it cannot answer exactly (an
// epipole inside the hull, on or near it, at or near infinity, a hull of
// fewer than three vertices) the ray is clipped against every edge. So
// camera centres behind another camera's image plane are handled like any
// other.
//
// Where every camera centre lies in front of every other camera this gives
// the edges of the previous release (distances by the law of sines) within
// rounding; elsewhere that release was wrong.
//
// Cases and what they give:
//  - a set of no view or of one view: no edges (one view has nothing to
//    clip its rays against);
//  - a view whose pose has |det| <= 1e-8 (or a NaN entry): its inverse is
//    the zero matrix, so it gives no edges of its own; as a clipping view
//    it uses the first three rows of its pose as they are;
//  - two views whose camera centres coincide, and any camera with a NaN
//    parameter: the epipole of such a pair is not a number, the pair
//    leaves nothing of the ray, and the clipped view loses every edge (a
//    NaN camera's own rays find no hull either, so the set gives no edges);
//  - a camera centre in another camera's principal plane (an epipole at
//    infinity): clipped like any other, by every edge;
//  - a hull of one vertex is a point, of two a segment: a ray keeps only
//    the points that project onto it (in practice none, so the other views
//    lose their edges); a view without hull vertices leaves nothing;
//  - an epipole inside another view's hull (a camera centre that projects
//    inside the other silhouette, in front of it): the stretch in that view
//    starts at the camera centre (distance 0);
//  - a ray that enters another view's cone and never leaves it: that view
//    does not bound it, and with no view bounding it the far end is not
//    finite;
//  - rays through frontier points only graze the other silhouette: their
//    edges have length 0 or, by rounding, are missing.
class ViewingEdgeExtractor {
 public:
  // Appends the viewing edges of `viewSet` to `edges`: by view number
  // ascending, within a view in hull order; vertices whose stretch is empty
  // give no edge. The view set must stay alive and unchanged during the
  // call; nothing is thrown but std::bad_alloc.
  void ComputeViewingEdges(const ViewSet& viewSet);

  std::vector<ViewingEdge> edges;
};

}  // namespace silhouette
