// Exact side tests on coordinates truncated to integers.
#pragma once

#include <cstdint>
#include <vector>

#include "geometry/planar_predicates.h"

namespace silhouette {

// Evaluates the line and circle tests exactly in integer arithmetic after
// truncating every coordinate toward zero. Meant for points on a grid of
// 2^20 units, where every intermediate fits easily. Coordinates beyond
// +-2^28 (and NaN, taken as 0) are clamped before the conversion, so no
// input reaches an undefined conversion or an overflow; the results are
// exact for the clamped points.
class GridPredicates : public PlanarPredicates {
 public:
  // Truncates the array's coordinates once; `points` must not change while
  // the object lives.
  GridPredicates(int32_t count, const Vec2* points);
  ~GridPredicates() override = default;

  int32_t SideOfLine(const Vec2& p, int32_t a, int32_t b) const override;
  // The same test as SideOfLine(points[i], a, b), on the stored integers.
  int32_t SideOfLineByIndex(int32_t i, int32_t a, int32_t b) const override;
  int32_t SideOfCircle(const Vec2& p, int32_t a, int32_t b,
                       int32_t c) const override;

  // The coordinate truncated toward zero, clamped to +-2^28, NaN as 0.
  static int64_t GridCoordinate(double v);

  // The truncated x, y of point i at 2i, 2i + 1.
  const std::vector<int64_t>& grid() const { return grid_; }

 private:
  std::vector<int64_t> grid_;  // x, y of point i at 2i, 2i + 1
};

}  // namespace silhouette
