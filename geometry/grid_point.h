// A point on the hull's integer grid, and the exact side test on it.
#pragma once

#include <cmath>
#include <cstdint>

namespace silhouette {

struct GridPoint {
  int32_t x;
  int32_t y;
};

// The coordinate truncated toward zero, clamped to +-2^28, NaN as 0: no
// input reaches an undefined conversion.
inline int32_t ToGridCoordinate(double v) {
  constexpr double kLimit = 268435456.0;  // 2^28
  if (std::isnan(v)) return 0;
  if (v >= kLimit) return static_cast<int32_t>(kLimit);
  if (v <= -kLimit) return -static_cast<int32_t>(kLimit);
  return static_cast<int32_t>(v);
}

// +1 when p lies strictly to the right of the directed line a -> b (y axis
// up), 0 on it, -1 to the left. Coordinates within +-2^28 keep every
// difference within 2^29 and every product within 2^58: exact in 64 bits.
inline int32_t GridSide(GridPoint p, GridPoint a, GridPoint b) {
  const int64_t left = static_cast<int64_t>(b.y - a.y) * (p.x - a.x);
  const int64_t right = static_cast<int64_t>(p.y - a.y) * (b.x - a.x);
  return (left > right) - (left < right);
}

}  // namespace silhouette
