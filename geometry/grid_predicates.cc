#include "geometry/grid_predicates.h"

#include <cmath>

#include "geometry/grid_point.h"
#include "geometry/int128.h"

namespace silhouette {
namespace {

// Both sides are products of differences within 2^29: below 2^58.
int32_t Compare(int64_t left, int64_t right) {
  return left > right ? 1 : (left < right ? -1 : 0);
}

}  // namespace

int64_t GridPredicates::GridCoordinate(double v) {
  return ToGridCoordinate(v);
}

GridPredicates::GridPredicates(int32_t count, const Vec2* points)
    : PlanarPredicates(count, points),
      grid_(2 * static_cast<std::size_t>(count)) {
  for (int32_t i = 0; i < count; ++i) {
    grid_[2 * i] = GridCoordinate(points[i].x);
    grid_[2 * i + 1] = GridCoordinate(points[i].y);
  }
}

int32_t GridPredicates::SideOfLineByIndex(int32_t i, int32_t a,
                                          int32_t b) const {
  const int64_t* p = &grid_[2 * i];
  const int64_t* pa = &grid_[2 * a];
  const int64_t* pb = &grid_[2 * b];
  return Compare((pb[1] - pa[1]) * (p[0] - pa[0]),
                 (p[1] - pa[1]) * (pb[0] - pa[0]));
}

int32_t GridPredicates::SideOfLine(const Vec2& p, int32_t a, int32_t b) const {
  const Vec2& pa = points()[a];
  const Vec2& pb = points()[b];
  const int64_t px = GridCoordinate(p.x), py = GridCoordinate(p.y);
  const int64_t ax = GridCoordinate(pa.x), ay = GridCoordinate(pa.y);
  const int64_t bx = GridCoordinate(pb.x), by = GridCoordinate(pb.y);
  // Differences stay within 2^29, so the products fit in 64 bits.
  return Compare((by - ay) * (px - ax), (py - ay) * (bx - ax));
}

int32_t GridPredicates::SideOfCircle(const Vec2& p, int32_t a, int32_t b,
                                     int32_t c) const {
  const int64_t px = GridCoordinate(p.x), py = GridCoordinate(p.y);
  struct Row {
    Int128 x, y, lifted;
  };
  auto row = [px, py](const Vec2& q) {
    const int64_t qx = GridCoordinate(q.x), qy = GridCoordinate(q.y);
    return Row{qx - px, qy - py,
               Int128(qy - py) * Int128(qy + py) +
                   Int128(qx - px) * Int128(qx + px)};
  };
  const Row ra = row(points()[a]);
  const Row rb = row(points()[b]);
  const Row rc = row(points()[c]);
  // Every product stays below 2^120: exact in 128 bits.
  const Int128 d = ra.x * (rb.y * rc.lifted - rc.y * rb.lifted) +
                   rc.x * (ra.y * rb.lifted - rb.y * ra.lifted) +
                   rb.x * (rc.y * ra.lifted - ra.y * rc.lifted);
  const int sign = d.Sign();
  return sign > 0 ? -1 : (sign == 0 ? 0 : 1);
}

}  // namespace silhouette
