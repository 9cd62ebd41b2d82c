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
};

}  // namespace silhouette
