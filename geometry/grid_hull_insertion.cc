#include "geometry/grid_hull_insertion.h"

#include "geometry/cursor_ring.h"
#include "geometry/hull_ring.h"
#include "geometry/inner_hull.h"
#include "geometry/ring_sectors.h"

namespace silhouette {
namespace {

constexpr int32_t kNone = HullRing::kNone;

// The array ring hands its ring over when it stops at this point or later.
constexpr int32_t kFewestToHandOver = 256;

enum class Outcome { kDone, kBroken, kNotConvex };

struct StartTriangle {
  int32_t first, second, third;
};

StartTriangle MakeTriangle(HullRing* ring, int32_t i0, int32_t i1,
                           int32_t i_far, bool ccw) {
  StartTriangle t;
  t.first = ccw ? ring->Create(i0, i1) : ring->Create(i0, i_far);
  t.second = ccw ? ring->Create(i1, i_far) : ring->Create(i_far, i1);
  t.third = ccw ? ring->Create(i_far, i0) : ring->Create(i1, i0);
  ring->Link(t.first, t.second);
  ring->Link(t.second, t.third);
  ring->Link(t.third, t.first);
  return t;
}

// The ring's vertices from head on; false when a link is missing or the
// ring has more edges than points.
bool ListRing(const HullRing& ring, int32_t head, int32_t count,
              std::vector<int32_t>* list) {
  list->clear();
  int32_t e = head;
  do {
    list->push_back(ring[e].from);
    e = ring[e].next;
    if (e == kNone || static_cast<int32_t>(list->size()) > count) {
      list->clear();
      return false;
    }
  } while (e != head);
  return true;
}

class Inserter {
 public:
  Inserter(const GridPoint* grid, int32_t count)
      : grid_(grid), count_(count), ring_(grid) {}

  int32_t Side(int32_t i, int32_t e) const {
    return GridSide(grid_[i], ring_[e].fromPoint, ring_[e].toPoint);
  }

  // Replaces the edges that point i sees, starting from `visible`, by two
  // edges through i; the new edge into i becomes head_. Removed edges are
  // kept in removed_. `hidden` is an edge already known not to see i (or
  // kNone): the walk back stops there without a test. False when a link
  // is missing.
  bool Insert(int32_t i, int32_t visible, int32_t hidden) {
    const GridPoint p = grid_[i];
    int32_t before = ring_[visible].prev;
    int32_t after = ring_[visible].next;
    if (before == kNone || after == kNone) return false;
    removed_.assign(1, visible);
    ring_.Remove(visible);
    while (before != hidden &&
           GridSide(p, ring_[before].fromPoint, ring_[before].toPoint) > 0) {
      const int32_t previous = ring_[before].prev;
      if (previous == kNone) return false;
      removed_.push_back(before);
      ring_.Remove(before);
      before = previous;
    }
    while (GridSide(p, ring_[after].fromPoint, ring_[after].toPoint) > 0) {
      const int32_t following = ring_[after].next;
      if (following == kNone) return false;
      removed_.push_back(after);
      ring_.Remove(after);
      after = following;
    }
    const int32_t to_new = ring_.Create(ring_[before].to, i);
    const int32_t from_new = ring_.Create(i, ring_[after].from);
    ring_.Link(before, to_new);
    ring_.Link(to_new, from_new);
    ring_.Link(from_new, after);
    head_ = to_new;
    return true;
  }

  // Every search from the edge made last, edge by edge.
  Outcome WalkEveryPoint(int32_t i0, int32_t i1, int32_t i_far, bool ccw) {
    ring_.Clear(64);
    head_ = MakeTriangle(&ring_, i0, i1, i_far, ccw).first;
    for (int32_t i = 0; i < count_; ++i) {
      int32_t visible = head_;
      bool inside = false;
      while (Side(i, visible) <= 0) {
        visible = ring_[visible].next;
        if (visible == kNone) return Outcome::kBroken;
        if (visible == head_) {
          inside = true;
          break;
        }
      }
      if (inside) continue;
      if (!Insert(i, visible, kNone)) return Outcome::kBroken;
    }
    return Outcome::kDone;
  }

  // The shortcuts, for a start triangle i0, i1, i_far with area, from a
  // ring that holds it (counter-clockwise from the start of the edge made
  // last), with points `first` .. count - 1 still to insert.
  Outcome SearchConvex(const std::vector<int32_t>& start, int32_t first,
                       int32_t i0, int32_t i1, int32_t i_far) {
    const std::size_t n = start.size();
    // Outlines in boundary order keep long runs of vertices for a while.
    const std::size_t room = count_ < 65536 ? count_ : 65536;
    ring_.Clear((n > room ? n : room) + 3);
    for (std::size_t k = 0; k < n; ++k) {
      ring_.Create(start[k], start[k + 1 < n ? k + 1 : 0]);
    }
    for (std::size_t k = 0; k < n; ++k) {
      ring_.Link(static_cast<int32_t>(k),
                 static_cast<int32_t>(k + 1 < n ? k + 1 : 0));
    }
    head_ = 0;
    RingSectors sectors(grid_, i0, i1, i_far, count_);
    for (std::size_t k = 0; k < n; ++k) {
      sectors.Add(start[k], static_cast<int32_t>(k));
    }
    // The ring holds its vertices from now on.
    InnerHull inner(grid_, i0, i1, i_far);
    for (int32_t v : start) inner.Offer(v);
    int32_t ring_size = static_cast<int32_t>(n);
    // Whether the inner hull settled the last point that it was asked
    // about: then it is asked before the edge after the last one made
    // (clouds), else after it (outlines in boundary order).
    bool inner_first = true;
    // The ends of the last edge made and of the one after it, kept at hand:
    // most points are tested against them only.
    GridPoint head_from = ring_[head_].fromPoint;
    GridPoint head_to = ring_[head_].toPoint;
    GridPoint next_to = ring_[ring_[head_].next].toPoint;
    for (int32_t i = first; i < count_; ++i) {
      const GridPoint p = grid_[i];
      int32_t visible = head_;
      if (GridSide(p, head_from, head_to) <= 0) {
        bool asked = false;
        if (inner_first) {
          if (inner.Contains(p)) continue;
          asked = true;
          inner_first = false;
        }
        visible = ring_[head_].next;
        if (GridSide(p, head_to, next_to) <= 0) {
          // A point in the sector of either edge is inside or on the
          // ring, since neither edge sees it; points just behind the front
          // of an outline in boundary order lie there.
          if (sectors.InSector(p, head_from, head_to) ||
              sectors.InSector(p, head_to, next_to)) {
            continue;
          }
          visible = sectors.LastSector(ring_, p);
          if (visible == kNone && !asked) {
            inner_first = inner.Contains(p);
            if (inner_first) continue;
          }
          if (visible == kNone) {
            visible = sectors.EdgeToward(ring_, p, head_, ring_size);
          }
          if (visible == kNone) {
            // Only the anchor itself has no sector; anything else means
            // the ring is not what the shortcuts assume.
            const bool at_anchor =
                3 * static_cast<int64_t>(p.x) ==
                    static_cast<int64_t>(grid_[i0].x) + grid_[i1].x +
                        grid_[i_far].x &&
                3 * static_cast<int64_t>(p.y) ==
                    static_cast<int64_t>(grid_[i0].y) + grid_[i1].y +
                        grid_[i_far].y;
            if (at_anchor) continue;
            return Outcome::kNotConvex;
          }
          if (Side(i, visible) <= 0) continue;
        }
      }
      // Unless the last edge made is the visible one, it does not see i.
      if (!Insert(i, visible, visible == head_ ? kNone : head_)) {
        return Outcome::kNotConvex;
      }
      inner.Offer(i);
      ring_size += 2 - static_cast<int32_t>(removed_.size());
      // The removed edges started at the new edge's start and at the
      // vertices that left the ring.
      const int32_t to_new = head_, from_new = ring_[head_].next;
      const int32_t kept = ring_[to_new].from;
      head_from = ring_[to_new].fromPoint;
      head_to = p;
      next_to = ring_[from_new].toPoint;
      for (int32_t e : removed_) {
        if (ring_[e].from != kept) sectors.Drop(ring_[e].from, i);
        ring_.Recycle(e);
      }
      sectors.SetLeaving(kept, to_new);
      sectors.Add(i, from_new);
      sectors.Fit(ring_size);
    }
    return Outcome::kDone;
  }

  bool List(std::vector<int32_t>* list) const {
    return ListRing(ring_, head_, count_, list);
  }

 private:
  const GridPoint* grid_;
  int32_t count_;
  HullRing ring_;
  int32_t head_ = kNone;
  std::vector<int32_t> removed_;
};

}  // namespace

bool InsertGridPoints(const GridPoint* grid, int32_t count, int32_t i0,
                      int32_t i1, int32_t i_far, bool ccw,
                      std::vector<int32_t>* list) {
  list->clear();
  Inserter inserter(grid, count);
  Outcome outcome = Outcome::kNotConvex;
  if (GridSide(grid[i_far], grid[i0], grid[i1]) != 0) {
    // The triangle in the ring's order, the edge a -> b made last.
    const int32_t a = i0, b = ccw ? i1 : i_far, c = ccw ? i_far : i1;
    std::vector<int32_t> start = {a, b, c};
    int32_t next = 0;
    // Boundary order first, on a triangle that turns left on the grid too.
    // The linked ring takes over from where that stops, or from the start
    // if it found the ring broken or stopped within the first points: its
    // sector table then grows with the ring from the triangle on, which
    // suits clouds best, for a few hundred points' work lost at most.
    if (GridSide(grid[c], grid[a], grid[b]) < 0) {
      CursorRing cursor(grid, count);
      cursor.Start(a, b, c);
      const int32_t stop = cursor.Insert(0, true);
      if (stop == count) {
        cursor.List(list);
        return true;
      }
      if (stop != CursorRing::kBroken && stop >= kFewestToHandOver) {
        cursor.List(&start);
        next = stop;
      }
    }
    outcome = inserter.SearchConvex(start, next, i0, i1, i_far);
  }
  if (outcome == Outcome::kNotConvex) {
    outcome = inserter.WalkEveryPoint(i0, i1, i_far, ccw);
  }
  if (outcome != Outcome::kDone) return false;
  return inserter.List(list);
}

}  // namespace silhouette
