// Convex hull of an array of points, as counter-clockwise indices into it.
#pragma once

#include <cstdint>
#include <memory>

#include "geometry/grid_point.h"
#include "geometry/vec2.h"

namespace silhouette {

// Classifies the points as a point (dimension 0), a segment (dimension 1)
// or a polygon (dimension 2) with a tolerance, and for a polygon inserts the
// points one by one into a ring of edges, every side test made exactly on a
// 2^20 x 2^20 grid. The index list runs counter-clockwise (y axis up) and,
// after any insertion, starts at the vertex before the last point added.
// Points that provably lie inside the ring built so far are skipped without
// a search (see InsertGridPoints); the list does not depend on it.
//
// Inputs the classification cannot measure are refused: Compute() returns
// false with an empty list when there are no points, when a coordinate is
// not finite, or when the extent overflows. With a tolerance of 0, points
// that coincide are dimension 0 and points on one line dimension 1.
class PlanarHull {
 public:
  // `points` must outlive the hull.
  PlanarHull(int32_t count, const Vec2* points);
  ~PlanarHull();
  PlanarHull(const PlanarHull&) = delete;
  PlanarHull& operator=(const PlanarHull&) = delete;

  // Computes the hull; true on success. A tolerance below 0 or not a number
  // is taken as 0.
  bool Compute(double tolerance);

  int32_t NumVertices() const { return numVertices_; }

  // The index list. With `release` the caller takes it over (and frees it
  // with delete[]); otherwise the hull keeps it until it is destroyed or
  // recomputed.
  int32_t* VertexIndices(bool release);

  // Dimension 1 results: the first extreme point and the unit direction;
  // (0, 0) otherwise.
  Vec2 lineOrigin;
  Vec2 lineDirection;
  int32_t dimension;

 private:
  void FreeVertices();

  int32_t count_;
  const Vec2* points_;
  std::unique_ptr<GridPoint[]> grid_;  // kept for a later Compute
  int32_t numVertices_ = 0;
  int32_t* vertices_ = nullptr;
};

}  // namespace silhouette
