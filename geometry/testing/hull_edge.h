// A directed edge of the hull's circular, doubly linked edge ring.
#pragma once

#include <cstdint>
#include <deque>

#include "geometry/planar_predicates.h"

namespace silhouette {

struct HullEdge {
  HullEdge(int32_t from_index, int32_t to_index)
      : from(from_index), to(to_index) {}

  // The side of point i against this edge, cached for the last point asked.
  int32_t Side(int32_t i, const PlanarPredicates& predicates) {
    if (cachedPoint != i) {
      cachedPoint = i;
      cachedSide = predicates.SideOfLineByIndex(i, from, to);
    }
    return cachedSide;
  }

  int32_t from;
  int32_t to;
  HullEdge* prev = nullptr;
  HullEdge* next = nullptr;
  int32_t cachedSide = 0;
  int32_t cachedPoint = -1;
};

// Owns the edges of one ring. Edges keep their addresses until the pool is
// destroyed; removing an edge only unlinks it.
class HullEdgePool {
 public:
  HullEdge* Create(int32_t from, int32_t to) {
    edges_.emplace_back(from, to);
    return &edges_.back();
  }

  // Unlinks `edge`: its neighbours' links to it become empty.
  static void Remove(HullEdge* edge) {
    if (edge->prev != nullptr && edge->prev->next == edge) {
      edge->prev->next = nullptr;
    }
    if (edge->next != nullptr && edge->next->prev == edge) {
      edge->next->prev = nullptr;
    }
    edge->prev = nullptr;
    edge->next = nullptr;
  }

  // Links `a` -> `b`.
  static void Link(HullEdge* a, HullEdge* b) {
    a->next = b;
    b->prev = a;
  }

 private:
  std::deque<HullEdge> edges_;
};

}  // namespace silhouette
