#include "geometry/testing/hull_fan.h"

#include <iterator>

#include "geometry/int128.h"

namespace silhouette {

HullFan::HullFan(const std::vector<int64_t>& grid, int32_t count, int32_t a,
                 int32_t b, int32_t c)
    : grid_(grid),
      anchorX3_(grid[2 * a] + grid[2 * b] + grid[2 * c]),
      anchorY3_(grid[2 * a + 1] + grid[2 * b + 1] + grid[2 * c + 1]),
      edges_(DirectionLess{this}),
      where_(count) {}

bool HullFan::DirectionLess::operator()(int32_t a, int32_t b) const {
  const Int128 ax = 3 * fan->grid_[2 * a] - fan->anchorX3_;
  const Int128 ay = 3 * fan->grid_[2 * a + 1] - fan->anchorY3_;
  const Int128 bx = 3 * fan->grid_[2 * b] - fan->anchorX3_;
  const Int128 by = 3 * fan->grid_[2 * b + 1] - fan->anchorY3_;
  // Directions in [0, pi) come first, then those in [pi, 2 pi).
  const bool a_lower = ay < Int128(0) || (ay == Int128(0) && ax < Int128(0));
  const bool b_lower = by < Int128(0) || (by == Int128(0) && bx < Int128(0));
  if (a_lower != b_lower) return b_lower;
  return ax * by - ay * bx > Int128(0);
}

void HullFan::Insert(int32_t vertex, HullEdge* leaving, int32_t previous) {
  // The vertex follows `previous` angularly, so the hint is exact unless
  // the directions wrap around between them.
  const Fan::iterator hint =
      previous >= 0 ? std::next(where_[previous]) : edges_.end();
  where_[vertex] = edges_.emplace_hint(hint, vertex, leaving);
}

void HullFan::Update(int32_t vertex, HullEdge* leaving) {
  where_[vertex]->second = leaving;
}

void HullFan::Erase(int32_t vertex) { edges_.erase(where_[vertex]); }

HullEdge* HullFan::EdgeToward(int32_t i) const {
  auto it = edges_.upper_bound(i);
  if (it == edges_.begin()) it = edges_.end();
  --it;
  return it->second;
}

}  // namespace silhouette
