// An angular index of a convex edge ring's vertices around an interior
// anchor, for finding in logarithmic time the edge that a point could see.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "geometry/testing/hull_edge.h"

namespace silhouette {

// Orders points by the direction in which an anchor sees them, the anchor
// being the centroid of three corners with area (exact in thirds of grid
// units). For a convex ring that contains the anchor strictly inside, the
// ray from the anchor through a point outside the ring crosses exactly the
// edge leaving the vertex seen last before the point's direction, and the
// point lies strictly to the right of that edge; a point inside or on the
// ring lies to the right of no edge.
class HullFan {
 public:
  // `grid` holds the integer x, y of point i at 2i, 2i + 1 for `count`
  // points and must outlive the fan; a, b, c are the corners.
  HullFan(const std::vector<int64_t>& grid, int32_t count, int32_t a, int32_t b,
          int32_t c);

  // Adds ring vertex `vertex` with the edge that leaves it. `previous` is
  // the vertex before it on the ring, or -1; with it the insertion takes
  // constant time.
  void Insert(int32_t vertex, HullEdge* leaving, int32_t previous);
  // Records a new edge leaving a vertex of the ring.
  void Update(int32_t vertex, HullEdge* leaving);
  void Erase(int32_t vertex);

  // The edge leaving the vertex whose direction comes last at or before
  // point i's, cyclically. The fan must not be empty.
  HullEdge* EdgeToward(int32_t i) const;

 private:
  struct DirectionLess {
    const HullFan* fan;
    bool operator()(int32_t a, int32_t b) const;
  };
  using Fan = std::map<int32_t, HullEdge*, DirectionLess>;

  const std::vector<int64_t>& grid_;
  int64_t anchorX3_;  // three times the anchor
  int64_t anchorY3_;
  Fan edges_;
  std::vector<Fan::iterator> where_;  // valid for vertices of the ring
};

}  // namespace silhouette
