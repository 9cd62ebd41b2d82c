#include "geometry/planar_predicates.h"

namespace silhouette {
namespace {

int32_t SignOf(double d) { return d > 0 ? 1 : (d == 0 ? 0 : -1); }

}  // namespace

int32_t PlanarPredicates::SideOfLine(const Vec2& p, int32_t a,
                                     int32_t b) const {
  const Vec2& pa = points_[a];
  const Vec2& pb = points_[b];
  return SignOf((pb.y - pa.y) * (p.x - pa.x) - (p.y - pa.y) * (pb.x - pa.x));
}

int32_t PlanarPredicates::SideOfLineByIndex(int32_t i, int32_t a,
                                            int32_t b) const {
  return SideOfLine(points_[i], a, b);
}

int32_t PlanarPredicates::SideOfTriangle(const Vec2& p, int32_t a, int32_t b,
                                         int32_t c) const {
  const int32_t s1 = SideOfLine(p, b, c);
  if (s1 > 0) return 1;
  const int32_t s2 = SideOfLine(p, a, c);
  if (s2 < 0) return 1;
  const int32_t s3 = SideOfLine(p, a, b);
  if (s3 > 0) return 1;
  return (s1 == 0 && s2 == 0 && s3 == 0) ? 0 : -1;
}

int32_t PlanarPredicates::SideOfTriangleByIndex(int32_t i, int32_t a, int32_t b,
                                                int32_t c) const {
  return SideOfTriangle(points_[i], a, b, c);
}

int32_t PlanarPredicates::SideOfCircle(const Vec2& p, int32_t a, int32_t b,
                                       int32_t c) const {
  const Vec2& qa = points_[a];
  const Vec2& qb = points_[b];
  const Vec2& qc = points_[c];
  auto lifted = [&p](const Vec2& q) {
    return (q.y - p.y) * (q.y + p.y) + (q.x - p.x) * (q.x + p.x);
  };
  const double a2 = qa.y - p.y, a3 = lifted(qa);
  const double b2 = qb.y - p.y, b3 = lifted(qb);
  const double c2 = qc.y - p.y, c3 = lifted(qc);
  const double d = (qa.x - p.x) * (b2 * c3 - c2 * b3) +
                   (qc.x - p.x) * (a2 * b3 - b2 * a3) +
                   (qb.x - p.x) * (c2 * a3 - a2 * c3);
  return d > 0 ? -1 : (d == 0 ? 0 : 1);
}

int32_t PlanarPredicates::SideOfCircleByIndex(int32_t i, int32_t a, int32_t b,
                                              int32_t c) const {
  return SideOfCircle(points_[i], a, b, c);
}

}  // namespace silhouette
