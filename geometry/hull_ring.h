// The directed edges of a hull's circular, doubly linked ring, held in one
// block and linked by position.
#pragma once

#include <cstdint>
#include <vector>

#include "geometry/grid_point.h"

namespace silhouette {

// Each edge carries its ends' grid points, so that a side test against it
// reads one edge and the point.
class HullRing {
 public:
  static constexpr int32_t kNone = -1;

  struct Edge {
    int32_t from;
    int32_t to;
    int32_t prev;
    int32_t next;
    GridPoint fromPoint;  // grid[from]
    GridPoint toPoint;    // grid[to]
  };

  // `grid` holds the points the edges join; it must outlive the ring.
  explicit HullRing(const GridPoint* grid) : grid_(grid) {}

  // Forgets every edge; room for `expected` edges is kept or made.
  void Clear(std::size_t expected);

  // A new unlinked edge; it takes the place of a recycled one if any.
  int32_t Create(int32_t from, int32_t to) {
    if (!spare_.empty()) {
      const int32_t e = spare_.back();
      spare_.pop_back();
      edges_[e] = Edge{from, to, kNone, kNone, grid_[from], grid_[to]};
      return e;
    }
    edges_.push_back(Edge{from, to, kNone, kNone, grid_[from], grid_[to]});
    return static_cast<int32_t>(edges_.size() - 1);
  }

  // Unlinks edge e: its neighbours' links to it become kNone, and so do
  // its own.
  void Remove(int32_t e) {
    Edge& edge = edges_[e];
    if (edge.prev != kNone && edges_[edge.prev].next == e) {
      edges_[edge.prev].next = kNone;
    }
    if (edge.next != kNone && edges_[edge.next].prev == e) {
      edges_[edge.next].prev = kNone;
    }
    edge.prev = kNone;
    edge.next = kNone;
  }

  // Lets a removed edge's place be taken by a later Create. Until then it
  // keeps its ends.
  void Recycle(int32_t e) { spare_.push_back(e); }

  // Links a -> b.
  void Link(int32_t a, int32_t b) {
    edges_[a].next = b;
    edges_[b].prev = a;
  }

  const Edge& operator[](int32_t e) const { return edges_[e]; }

 private:
  const GridPoint* grid_;
  std::vector<Edge> edges_;
  std::vector<int32_t> spare_;
};

}  // namespace silhouette
