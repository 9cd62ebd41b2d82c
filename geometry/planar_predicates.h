// Side tests of points against lines, triangles and circles, over an array
// of points the object refers to but does not own.
#pragma once

#include <cstdint>

#include "geometry/vec2.h"

namespace silhouette {

// Evaluates the tests in floating point. Results are -1, 0 or +1.
class PlanarPredicates {
 public:
  PlanarPredicates(int32_t count, const Vec2* points)
      : count_(count), points_(points) {}
  virtual ~PlanarPredicates() = default;

  // +1 when p lies to the right of the directed line points[a] ->
  // points[b] (y axis up), 0 on it, -1 to the left or when not a number.
  virtual int32_t SideOfLine(const Vec2& p, int32_t a, int32_t b) const;
  virtual int32_t SideOfLineByIndex(int32_t i, int32_t a, int32_t b) const;

  // For a counter-clockwise triangle: +1 strictly outside, -1 inside or on
  // an edge, 0 only when p and the three corners lie on one line.
  virtual int32_t SideOfTriangle(const Vec2& p, int32_t a, int32_t b,
                                 int32_t c) const;
  virtual int32_t SideOfTriangleByIndex(int32_t i, int32_t a, int32_t b,
                                        int32_t c) const;

  // For a counter-clockwise triangle: -1 inside its circumcircle, 0 on it,
  // +1 outside.
  virtual int32_t SideOfCircle(const Vec2& p, int32_t a, int32_t b,
                               int32_t c) const;
  virtual int32_t SideOfCircleByIndex(int32_t i, int32_t a, int32_t b,
                                      int32_t c) const;

  int32_t count() const { return count_; }
  const Vec2* points() const { return points_; }

 private:
  int32_t count_;
  const Vec2* points_;
};

}  // namespace silhouette
