#include "kestrim/silhouette_cone.h"

namespace silhouette {

SilhouetteCone::SilhouetteCone(const View& view) {
  const int32_t n = view.NumHullVertices();
  empty_ = n == 0;
  if (n == 1) {
    const Vec2 p = view.NormalizedHullPoint(0);
    faces_ = {Vec3(1, 0, -p.x), Vec3(-1, 0, p.x), Vec3(0, 1, -p.y),
              Vec3(0, -1, p.y)};
  } else if (n == 2) {
    const Vec2 p = view.NormalizedHullPoint(0);
    const Vec2 q = view.NormalizedHullPoint(1);
    const Vec2 e = q - p;
    const Vec3 line(-e.y, e.x, e.y * p.x - e.x * p.y);
    faces_ = {line, -line, Vec3(e.x, e.y, -e.Dot(p)),
              Vec3(-e.x, -e.y, e.Dot(q))};
  } else if (n >= 3) {
    double area = 0;
    for (int32_t k = 0; k < n; ++k) {
      area += view.NormalizedHullPoint(k).Cross(
          view.NormalizedHullPoint((k + 1) % n));
    }
    const double sign = area > 0 ? 1 : -1;
    faces_.reserve(n);
    for (int32_t k = 0; k < n; ++k) {
      const Vec2 p = view.NormalizedHullPoint(k);
      const Vec2 e = view.NormalizedHullPoint((k + 1) % n) - p;
      // sign * cross(e, (x, y) - p) for the image point (x, y) = Y / Y.z,
      // times Y.z.
      faces_.push_back(
          Vec3(-e.y * sign, e.x * sign, (e.y * p.x - e.x * p.y) * sign));
    }
  }
}

void SilhouetteCone::ClipEveryFace(const Vec3& a, const Vec3& b,
                                   RayStretch* stretch) const {
  if (empty_) {
    stretch->empty = true;
    return;
  }
  NarrowRayStretchStrictly(a.z, b.z, stretch);
  for (const Vec3& face : faces_) {
    NarrowRayStretch(face.Dot(a), face.Dot(b), stretch);
  }
}

}  // namespace silhouette
