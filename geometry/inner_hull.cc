#include "geometry/inner_hull.h"

#include <algorithm>

namespace silhouette {

InnerHull::InnerHull(const GridPoint* grid, int32_t a, int32_t b, int32_t c)
    : grid_(grid), corners_{a, b, c} {
  for (int k = 0; k < 4; ++k) {
    high_[k] = INT64_MIN;
    low_[k] = INT64_MAX;
  }
  for (int32_t corner : corners_) Offer(corner);
}

void InnerHull::Rebuild() {
  stale_ = false;
  // Monotone chain over the corners and the extreme points, strictly
  // convex, counter-clockwise.
  std::vector<GridPoint> pts;
  for (int32_t k : corners_) pts.push_back(grid_[k]);
  for (int k = 0; k < 4; ++k) {
    pts.push_back(grid_[highIndex_[k]]);
    pts.push_back(grid_[lowIndex_[k]]);
  }
  std::sort(pts.begin(), pts.end(), [](GridPoint p, GridPoint q) {
    return p.x < q.x || (p.x == q.x && p.y < q.y);
  });
  pts.erase(std::unique(pts.begin(), pts.end(),
                        [](GridPoint p, GridPoint q) {
                          return p.x == q.x && p.y == q.y;
                        }),
            pts.end());
  lines_.clear();
  if (pts.size() < 3) return;
  // Left turn of o -> p -> q.
  auto turns_left = [](GridPoint o, GridPoint p, GridPoint q) {
    return GridSide(q, o, p) < 0;
  };
  std::vector<GridPoint> hull(2 * pts.size());
  std::size_t k = 0;
  for (std::size_t i = 0; i < pts.size(); ++i) {
    while (k >= 2 && !turns_left(hull[k - 2], hull[k - 1], pts[i])) --k;
    hull[k++] = pts[i];
  }
  for (std::size_t i = pts.size() - 1, t = k + 1; i-- > 0;) {
    while (k >= t && !turns_left(hull[k - 2], hull[k - 1], pts[i])) --k;
    hull[k++] = pts[i];
  }
  hull.resize(k - 1);
  if (hull.size() < 3) return;
  for (std::size_t j = 0; j < hull.size(); ++j) {
    const GridPoint p = hull[j], q = hull[(j + 1) % hull.size()];
    // Left of or on p -> q: (q - p) x (x - p) >= 0.
    const int64_t a = -(static_cast<int64_t>(q.y) - p.y);
    const int64_t b = static_cast<int64_t>(q.x) - p.x;
    lines_.push_back(Line{a, b, -(a * p.x + b * p.y)});
  }
}

}  // namespace silhouette
