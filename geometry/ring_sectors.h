// Finds, for a point, the edge of a convex ring whose angular sector around
// an interior anchor holds the point's direction.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "geometry/grid_point.h"
#include "geometry/hull_ring.h"

namespace silhouette {

// The anchor is the centroid of three grid points with area (exact in
// thirds of grid units). For a convex ring that holds the anchor strictly
// inside, the ray from the anchor through a point outside the ring crosses
// the edge whose sector [from, to) holds the point's direction, and the
// point lies strictly to the right of that edge; a point inside or on the
// ring lies to the right of no edge. So the sector's edge is a visible
// edge whenever there is one.
//
// The search is exact: it walks the ring with integer cross products. A
// table of ring vertices by rough direction (in floating point) only says
// where the walk starts, so that it takes a step or two however the ring
// grows: the table keeps two to four buckets per ring vertex. A vertex
// that has left the ring leads on to the vertex that replaced it. The
// table is refilled from the ring at its next use
// once the ring has changed by a good part of its size since the last
// fill, or has outgrown it; in between, new vertices are found by the
// walk. Insertion itself never touches the table, so outlines in boundary
// order, which hardly ever use it, do not pay for it.
class RingSectors {
 public:
  // a, b, c are the corners, indices into `grid`; vertices are indices
  // below `count`.
  RingSectors(const GridPoint* grid, int32_t a, int32_t b, int32_t c,
              int32_t count);

  // Vertex v joins the ring with `leaving`, the edge that starts at it.
  // Every vertex of the ring must have been added.
  void Add(int32_t v, int32_t leaving) {
    leaving_[v] = leaving;
    successor_[v] = HullRing::kNone;
  }
  // The ring vertex v has a new leaving edge.
  void SetLeaving(int32_t v, int32_t leaving) { leaving_[v] = leaving; }
  // Vertex v left the ring; `successor`, a vertex that joined it at the
  // same time, took its place.
  void Drop(int32_t v, int32_t successor) {
    leaving_[v] = HullRing::kNone;
    successor_[v] = successor;
  }
  // Call after each insertion, with the number of edges on the ring.
  void Fit(int32_t ring_size) {
    if (++changes_ > ring_size / 2 + 16 ||
        (2 * static_cast<std::size_t>(ring_size) > vertexAt_.size() &&
         vertexAt_.size() < kMostBuckets)) {
      stale_ = true;
    }
  }

  // True when the sector of the ring edge from -> to holds point p's
  // direction (never for the anchor itself).
  bool InSector(GridPoint p, GridPoint from, GridPoint to) const {
    const Offset d = FromAnchor(p);
    return Cross(FromAnchor(from), d) >= 0 && Cross(FromAnchor(to), d) < 0;
  }

  // The edge found last, if it is still on the ring and its sector holds
  // point p's direction; else HullRing::kNone. Points in a dent share it.
  int32_t LastSector(const HullRing& ring, GridPoint p) const {
    if (last_ != HullRing::kNone && ring[last_].next != HullRing::kNone &&
        InSector(p, ring[last_].fromPoint, ring[last_].toPoint)) {
      return last_;
    }
    return HullRing::kNone;
  }

  // The edge whose sector holds point p's direction, found by walking
  // `ring` from a table entry (or from `start`, on the ring, if there is
  // none); HullRing::kNone when p is the anchor itself, or when the walk
  // takes more than `max_steps` (a ring that is not convex around the
  // anchor).
  int32_t EdgeToward(const HullRing& ring, GridPoint p, int32_t start,
                     int32_t max_steps);

 private:
  struct Offset {
    int64_t x, y;  // three times (point - anchor)
  };
  Offset FromAnchor(GridPoint p) const {
    return Offset{3 * static_cast<int64_t>(p.x) - anchorX3_,
                  3 * static_cast<int64_t>(p.y) - anchorY3_};
  }
  // Cross product of two offsets: |offsets| < 2^31 keeps it below 2^63.
  static int64_t Cross(const Offset& u, const Offset& v) {
    return u.x * v.y - u.y * v.x;
  }
  int32_t Bucket(const Offset& d) const;

  static constexpr std::size_t kMostBuckets = std::size_t{1} << 20;
  // Points the table's entries from bucket `first` to bucket `last` (of
  // the ends of a ring edge from v) at v.
  void Cover(int32_t v, int32_t first, int32_t last);
  // Refills the table from the ring, through edge e, with two to four
  // buckets per ring vertex.
  void Refill(const HullRing& ring, int32_t e, int32_t ring_size);

  int64_t anchorX3_;
  int64_t anchorY3_;
  std::vector<int32_t> vertexAt_;  // a vertex per bucket of directions
  double bucketsPerQuarter_;
  int32_t last_ = HullRing::kNone;  // the edge found last
  int32_t changes_ = 0;              // insertions since the last fill
  bool stale_ = true;                // refill before use
  // By vertex, set when it joins the ring (and read only after that).
  std::unique_ptr<int32_t[]> leaving_;    // kNone once it has left
  std::unique_ptr<int32_t[]> successor_;  // once it has left
};

}  // namespace silhouette
