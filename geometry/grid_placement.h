// The pass of PlanarHull over every point: its place on the integer grid,
// and the point farthest from the line through the axis extremes.
#pragma once

#include <cstdint>

#include "geometry/grid_point.h"
#include "geometry/vec2.h"

namespace silhouette {

struct GridFrame {
  Vec2 minCorner;  // grid (0, 0)
  double scale;    // grid units per unit
  Vec2 origin;     // a point of the line
  Vec2 normal;     // the line's unit normal
  double unit;     // distances are taken of (p - origin) * unit
};

// The largest |normal . ((p - origin) * unit)| so far, the first point
// that gave it and the sign there. Points at no larger distance leave it
// as it is.
struct FarthestPoint {
  double distance;
  int32_t index;
  double sign;
};

// Sets grid[i] = (ToGridCoordinate((x - minCorner.x) * scale),
// ToGridCoordinate((y - minCorner.y) * scale)) for every point and updates
// `farthest` in index order. False when a coordinate is NaN (the grid is
// written all the same). Where the processor has SSE2 both coordinates go
// through one packed operation each; the numbers are PlaceOnGridPlain's,
// bit for bit.
bool PlaceOnGrid(const Vec2* points, int32_t count, const GridFrame& frame,
                 GridPoint* grid, FarthestPoint* farthest);

// The same one coordinate at a time.
bool PlaceOnGridPlain(const Vec2* points, int32_t count,
                      const GridFrame& frame, GridPoint* grid,
                      FarthestPoint* farthest);

}  // namespace silhouette
