// The cone of one view's silhouette hull: the camera-frame points that lie
// in front of the camera and project into, or onto, the hull.
#pragma once

#include <cstdint>
#include <vector>

#include "camera/view.h"
#include "geometry/mat3.h"
#include "geometry/vec3.h"
#include "kestrim/ray_stretch.h"

namespace silhouette {

// Each face is a plane through the camera centre, given in camera
// coordinates Y as f . Y >= 0 on the inside. For a hull of three or more
// vertices face k is the plane through hull edge k (from vertex k to vertex
// k + 1), in hull order, oriented by the sign of the hull's area in
// normalized coordinates (a negative focal length mirrors it). A hull of
// two vertices is a segment: its line, both ways, and one cap plane at
// each end. A hull of one vertex is a point: two planes both ways. Without
// a hull vertex the cone is empty.
class SilhouetteCone {
 public:
  SilhouetteCone() = default;
  explicit SilhouetteCone(const View& view);

  // Narrows `stretch` to the s with a + s b strictly in front of the camera
  // (z > 0) and inside every face: the plain clip, every face tested.
  void ClipEveryFace(const Vec3& a, const Vec3& b, RayStretch* stretch) const;

  // Narrows `stretch` by the front half-space and the faces `first` and
  // `second` alone: enough when the line of a + s b, seen from the
  // camera, crosses the hull through those two edges.
  void ClipTwoFaces(int32_t first, int32_t second, const Vec3& a,
                    const Vec3& b, RayStretch* stretch) const {
    NarrowRayStretchStrictly(a.z, b.z, stretch);
    NarrowRayStretch(faces_[first].Dot(a), faces_[first].Dot(b), stretch);
    NarrowRayStretch(faces_[second].Dot(a), faces_[second].Dot(b), stretch);
  }

  const std::vector<Vec3>& faces() const { return faces_; }
  bool IsEmpty() const { return empty_; }

 private:
  std::vector<Vec3> faces_;
  bool empty_ = true;
};

}  // namespace silhouette
