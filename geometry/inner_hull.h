// An exact pre-filter for incremental hull insertion: a small convex
// polygon that the hull built so far always contains.
#pragma once

#include <cstdint>
#include <vector>

#include "geometry/grid_point.h"

namespace silhouette {

// Points are inserted in index order into a ring that starts as a triangle
// of three of them and grows by every point that lies strictly outside it,
// so the ring always contains the triangle and every point inserted so
// far. The inner hull is the convex hull of the triangle and of the points
// offered to it (inserted ones) that lie farthest in eight directions
// (along the axes and the diagonals); a point inside or on it is inside or
// on the ring, where insertion would skip it.
class InnerHull {
 public:
  // `grid` must outlive the object; a, b, c are the triangle's corners.
  InnerHull(const GridPoint* grid, int32_t a, int32_t b, int32_t c);

  // Point i is on or inside the ring from now on.
  void Offer(int32_t i) {
    const GridPoint p = grid_[i];
    const int64_t value[4] = {p.x, p.y, static_cast<int64_t>(p.x) + p.y,
                              static_cast<int64_t>(p.x) - p.y};
    for (int k = 0; k < 4; ++k) {
      if (value[k] > high_[k]) {
        high_[k] = value[k];
        highIndex_[k] = i;
        stale_ = true;
      }
      if (value[k] < low_[k]) {
        low_[k] = value[k];
        lowIndex_[k] = i;
        stale_ = true;
      }
    }
  }

  // True when p lies inside or on the hull (exact).
  bool Contains(GridPoint p) {
    if (stale_) Rebuild();
    for (const Line& line : lines_) {
      if (line.a * p.x + line.b * p.y + line.c < 0) return false;
    }
    return !lines_.empty();
  }

 private:
  // Inside or on: a x + b y + c >= 0. |a|, |b| <= 2^29 and |c| <= 2^58
  // for coordinates within +-2^28, so the sum stays below 2^60.
  struct Line {
    int64_t a, b, c;
  };
  void Rebuild();

  const GridPoint* grid_;
  int32_t corners_[3];
  // By direction x, y, x + y, x - y: the largest and smallest values seen
  // and the points that gave them first.
  int64_t high_[4], low_[4];
  int32_t highIndex_[4], lowIndex_[4];
  bool stale_ = true;
  std::vector<Line> lines_;
};

}  // namespace silhouette
