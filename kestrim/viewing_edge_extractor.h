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
// [lower, upper].
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

// pi for x <= -1, 0 for x >= 1, acos(x) otherwise (NaN for NaN).
double AcosClamped(double x);

// Computes the viewing edges of a view set. Each view's hull (normalized
// camera coordinates) clips the rays of every other view: the ray of hull
// vertex u of view N is mapped into view j along its epipolar half-line,
// the half-line's two crossings with hull j give two distances along the
// ray (law of sines in the triangle of the two camera centres and the
// meeting point of the two rays), and the stretches of all other views are
// intersected. Divisions by zero depth pass non-finite numbers through; a
// distance that is not a number gives that view an empty stretch.
//
// The law of sines gives a negative distance for a crossing beyond the
// vanishing point of the ray's image (where the two rays meet behind camera
// N): the ray's forward part never reaches that crossing. So a view whose
// two distances are both negative gives an empty stretch (the ray does not
// reach its hull in front of camera N), and one with a single negative
// distance gives [the other, +infinity) (the ray enters the hull's cone and
// stays in it). An edge whose stretch no view bounds has a far end that is
// not finite. The distances assume each camera centre lies in front of the
// other cameras; for a centre behind another camera's image plane the
// stretches of that pair are not meaningful.
//
// Cases and what they give:
//  - a set of no view or of one view: no edges (one view has nothing to
//    clip its rays against);
//  - a view whose pose has |det| <= 1e-8: its inverse is the zero matrix,
//    so it gives no edges of its own; the others take its centre as the
//    origin;
//  - a view whose hull has fewer than two vertices, two views whose camera
//    centres coincide, and any camera with a NaN parameter: the epipolar
//    hull index of such a pair is unusable, the clipping view gives an
//    empty stretch, and the clipped view loses every edge (a NaN camera's
//    own rays find no hull either, so the set gives no edges);
//  - an epipole strictly inside another view's hull (a camera centre that
//    projects inside the other silhouette): the stretch in that view starts
//    at the camera centre (distance 0) and ends where the epipolar
//    half-line leaves the hull.
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
