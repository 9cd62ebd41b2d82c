// Incremental hull insertion for points that mostly arrive in boundary
// order: the ring held in one circular array, with the last point inserted
// at its top.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "geometry/grid_point.h"

namespace silhouette {

// The same insertion as InsertGridPoints, for a start triangle with area:
// points 0 .. count - 1 are taken in order, and a point strictly to the
// right of some edges of the ring replaces the run of those edges by two
// edges through it. The ring stays convex around the triangle's centroid
// (the anchor), so its vertices keep their order by angle around it.
//
// The ring's vertices sit in a circular array in counter-clockwise order,
// ending with the last point inserted: the edge made last (into that
// point) ends the array, and the edge after it (out of that point) closes
// it. A point in boundary order sees one of those two edges, or lies in
// the angular sector of one of them and is then inside or on the ring;
// either way it is settled at the array's ends, with no search and no
// linking. Any other point is placed by a binary search by angle; if it
// lies outside, the array is turned until its visible edge closes it,
// which moves the vertices in between from one end to the other.
//
// Turning and searching cost work that outlines in boundary order hardly
// ever need. Insert() may stop before a point when that work, counted in
// moved vertices and searches, grows past a small allowance plus an eighth
// of the points taken so far: clouds and shuffled outlines are better
// served by a linked ring, which can continue from List() at that point.
class CursorRing {
 public:
  // `grid` must outlive the object; vertices are indices below `count`.
  CursorRing(const GridPoint* grid, int32_t count);

  // The start triangle, counter-clockwise a -> b -> c, with a -> b as the
  // edge made last. It must have area on the grid.
  void Start(int32_t a, int32_t b, int32_t c);

  // Inserts points `first` .. count - 1; with `bounded`, stops early once
  // the turning and searching grow past the allowance. Returns the index
  // of the first point not taken (count when every point was), or kBroken
  // when the ring turns out not to be convex around the anchor (never for
  // a triangle with area); the ring is then unusable.
  static constexpr int32_t kBroken = -1;
  int32_t Insert(int32_t first, bool bounded);

  // The ring's vertices from the start of the edge made last,
  // counter-clockwise.
  void List(std::vector<int32_t>* list) const;

  int32_t Size() const { return static_cast<int32_t>(hi_ - lo_); }

 private:
  struct Vertex {
    GridPoint p;
    int32_t index;
  };
  struct Offset {
    int64_t x, y;  // three times (point - anchor)
  };

  Vertex& At(uint32_t position) { return ring_[position & mask_]; }
  const Vertex& At(uint32_t position) const { return ring_[position & mask_]; }
  Offset FromAnchor(GridPoint p) const {
    return Offset{3 * static_cast<int64_t>(p.x) - anchorX3_,
                  3 * static_cast<int64_t>(p.y) - anchorY3_};
  }
  // True when p lies strictly to the right of from -> to: the edge sees p.
  // The same test as GridSide(p, from, to) > 0.
  static bool Sees(GridPoint p, GridPoint from, GridPoint to) {
    return static_cast<int64_t>(to.y - from.y) * (p.x - from.x) >
           static_cast<int64_t>(p.y - from.y) * (to.x - from.x);
  }
  // |offsets| < 2^31 keeps every product below 2^62.
  static int64_t Cross(const Offset& u, const Offset& v) {
    return u.x * v.y - u.y * v.x;
  }
  bool InSector(const Offset& d, GridPoint from, GridPoint to) const {
    return Cross(FromAnchor(from), d) >= 0 && Cross(FromAnchor(to), d) < 0;
  }

  // The position of the vertex whose sector holds direction d (not zero):
  // the last vertex, from lo_ on, whose angle from the first one is at
  // most d's.
  uint32_t Search(const Offset& d) const;
  // Moves vertices between the ends until the vertex at `position` is the
  // last one.
  void TurnTo(uint32_t position);
  // Inserts point i, which sees the closing edge; `head_hidden` when the
  // edge made last is known not to see it. False when the ring would fall
  // below three vertices.
  bool InsertAtEnd(int32_t i, GridPoint p, bool head_hidden);

  const GridPoint* grid_;
  int32_t count_;
  std::unique_ptr<Vertex[]> ring_;
  uint32_t mask_;
  uint32_t lo_ = 0;  // first vertex; positions wrap by mask_
  uint32_t hi_ = 0;  // one past the last
  int64_t anchorX3_ = 0;
  int64_t anchorY3_ = 0;
};

}  // namespace silhouette
