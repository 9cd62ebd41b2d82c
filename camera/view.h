// One calibrated silhouette: a camera, its boundary and what is prepared
// from them.
#pragma once

#include <cstdint>
#include <vector>

#include "camera/camera.h"
#include "geometry/polygon2.h"
#include "geometry/vec2.h"

namespace silhouette {

struct View {
  // boundary[hull[k]], image pixels. k is not checked.
  Vec2 HullPoint(int32_t k) const { return boundary[hull[k]]; }
  // normalizedBoundary[hull[k]], normalized camera coordinates.
  Vec2 NormalizedHullPoint(int32_t k) const {
    return normalizedBoundary[hull[k]];
  }
  int32_t NumHullVertices() const { return static_cast<int32_t>(hull.size()); }

  // Replaces `directionBins` with an index of `binCount` equal bins over the
  // half turn of line directions: bin i lists, in increasing order, the
  // hull positions of the vertices whose two hull edges (over
  // `scaledBoundary`) enclose a direction in bin i. A hull of one or two
  // vertices touches the support lines of every direction with every
  // vertex, so every bin lists all of them; so does a hull with an edge
  // without a direction (coincident ends or a coordinate that is not
  // finite, as with a reference depth of 0), since a line of any direction
  // may then touch any vertex.
  void BuildDirectionBins(int32_t binCount);

  Camera camera;
  // Silhouette boundary in image pixels, closing edge implied.
  Polygon2 boundary;
  // Indices into `boundary` of the convex hull vertices, counter-clockwise.
  std::vector<int32_t> hull;
  // camera.ImageToNormalized of every boundary vertex.
  std::vector<Vec2> normalizedBoundary;
  // Bounding box of vertex 0 and the hull vertices, image pixels.
  Vec2 boxMin = Vec2::kZero;
  Vec2 boxMax = Vec2::kZero;
  // normalizedBoundary scaled by the depth of the view set's reference
  // point in this camera.
  std::vector<Vec2> scaledBoundary;
  // Hull positions by line direction (see BuildDirectionBins).
  std::vector<std::vector<int32_t>> directionBins;
};

}  // namespace silhouette
