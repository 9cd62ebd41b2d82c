// An exact pre-filter for incremental hull insertion: a small convex
// polygon that the hull built so far always contains.
#pragma once

#include <cstdint>
#include <vector>

#include "geometry/grid_point.h"

namespace silhouette {

// Points are inserted in index order into a ring that starts as a triangle
// of three of them and grows by every point that lies strictly outside it,
// so before point i the ring contains the triangle and every point with a
// smaller index. The inner hull is the convex hull of the triangle and of
// those `candidates` (any points, typically extreme ones) whose index is
// below the current one; a point inside or on it is inside or on the ring,
// where insertion would skip it.
class InnerHull {
 public:
  // `grid` must outlive the object. The corners a, b, c may be listed
  // among the candidates or not.
  InnerHull(const GridPoint* grid, int32_t a, int32_t b, int32_t c,
            std::vector<int32_t> candidates);

  // The first index at which the hull takes in another candidate;
  // INT32_MAX when none is left.
  int32_t NextChange() const { return nextChange_; }

  // Takes in every candidate with an index below i.
  void AdvanceTo(int32_t i);

  // True when p lies inside or on the hull (exact).
  bool Contains(GridPoint p) const {
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
  std::vector<int32_t> members_;     // corners and candidates taken in
  std::vector<int32_t> candidates_;  // by increasing index, not yet taken
  std::size_t taken_ = 0;
  int32_t nextChange_;
  std::vector<Line> lines_;
};

}  // namespace silhouette
