#include "geometry/inner_hull.h"

namespace silhouette {

InnerHull::InnerHull(const GridPoint* grid, int32_t a, int32_t b, int32_t c)
    : grid_(grid), corners_{a, b, c} {
  lines_.reserve(11);
  for (int k = 0; k < 4; ++k) {
    high_[k] = INT64_MIN;
    low_[k] = INT64_MAX;
  }
  for (int32_t corner : corners_) Offer(corner);
}

void InnerHull::Rebuild() {
  stale_ = false;
  lines_.clear();
  // Monotone chain over the corners and the extreme points, strictly
  // convex, counter-clockwise; at most 11 points, sorted by insertion.
  constexpr int kMost = 11;
  GridPoint pts[kMost];
  int n = 0;
  auto add = [&](int32_t index) {
    const GridPoint p = grid_[index];
    int k = n;
    while (k > 0 && (pts[k - 1].x > p.x ||
                     (pts[k - 1].x == p.x && pts[k - 1].y > p.y))) {
      --k;
    }
    if (k > 0 && pts[k - 1].x == p.x && pts[k - 1].y == p.y) return;
    for (int j = n; j > k; --j) pts[j] = pts[j - 1];
    pts[k] = p;
    ++n;
  };
  for (int32_t corner : corners_) add(corner);
  for (int k = 0; k < 4; ++k) {
    add(highIndex_[k]);
    add(lowIndex_[k]);
  }
  // Left turn of o -> p -> q.
  auto turns_left = [](GridPoint o, GridPoint p, GridPoint q) {
    return GridSide(q, o, p) < 0;
  };
  GridPoint hull[2 * kMost];
  int k = 0;
  for (int i = 0; i < n; ++i) {
    while (k >= 2 && !turns_left(hull[k - 2], hull[k - 1], pts[i])) --k;
    hull[k++] = pts[i];
  }
  for (int i = n - 1, t = k + 1; i-- > 0;) {
    while (k >= t && !turns_left(hull[k - 2], hull[k - 1], pts[i])) --k;
    hull[k++] = pts[i];
  }
  const int size = k - 1;
  if (size < 3) return;
  for (int j = 0; j < size; ++j) {
    const GridPoint p = hull[j], q = hull[(j + 1) % size];
    // Left of or on p -> q: (q - p) x (x - p) >= 0.
    const int64_t a = -(static_cast<int64_t>(q.y) - p.y);
    const int64_t b = static_cast<int64_t>(q.x) - p.x;
    lines_.push_back(Line{a, b, -(a * p.x + b * p.y)});
  }
}

}  // namespace silhouette
