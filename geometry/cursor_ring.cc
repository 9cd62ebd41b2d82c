#include "geometry/cursor_ring.h"

namespace silhouette {
namespace {

// Turning and searching allowed before Insert() stops, beyond an eighth of
// the points taken.
constexpr int64_t kAllowance = 64;

}  // namespace

CursorRing::CursorRing(const GridPoint* grid, int32_t count)
    : grid_(grid), count_(count) {
  uint64_t capacity = 4;
  while (capacity < static_cast<uint64_t>(count)) capacity *= 2;
  ring_.reset(new Vertex[capacity]);
  mask_ = static_cast<uint32_t>(capacity - 1);
}

void CursorRing::Start(int32_t a, int32_t b, int32_t c) {
  anchorX3_ = static_cast<int64_t>(grid_[a].x) + grid_[b].x + grid_[c].x;
  anchorY3_ = static_cast<int64_t>(grid_[a].y) + grid_[b].y + grid_[c].y;
  lo_ = 0;
  hi_ = 3;
  At(0) = Vertex{grid_[c], c};
  At(1) = Vertex{grid_[a], a};
  At(2) = Vertex{grid_[b], b};
}

void CursorRing::List(std::vector<int32_t>* list) const {
  list->clear();
  list->reserve(static_cast<std::size_t>(Size()));
  list->push_back(At(hi_ - 2).index);
  list->push_back(At(hi_ - 1).index);
  for (uint32_t k = lo_; k != hi_ - 2; ++k) list->push_back(At(k).index);
}

uint32_t CursorRing::Search(const Offset& d) const {
  // Angles are measured from the first vertex's direction r, in two
  // halves: [0, pi) and [pi, 2 pi); within a half, the cross product
  // orders them.
  const Offset r = FromAnchor(At(lo_).p);
  auto half = [&r](const Offset& u) {
    const int64_t c = Cross(r, u);
    return c > 0 || (c == 0 && r.x * u.x + r.y * u.y > 0) ? 0 : 1;
  };
  const int d_half = half(d);
  uint32_t low = 0, high = hi_ - lo_;
  while (high - low > 1) {
    const uint32_t mid = low + (high - low) / 2;
    const Offset v = FromAnchor(At(lo_ + mid).p);
    const int v_half = half(v);
    if (v_half < d_half || (v_half == d_half && Cross(v, d) >= 0)) {
      low = mid;
    } else {
      high = mid;
    }
  }
  return lo_ + low;
}

void CursorRing::TurnTo(uint32_t position) {
  const uint32_t after = hi_ - 1 - position;
  const uint32_t before = position - lo_ + 1;
  if (after <= before) {
    for (uint32_t k = 0; k < after; ++k) {
      --hi_;
      --lo_;
      At(lo_) = At(hi_);
    }
  } else {
    for (uint32_t k = 0; k < before; ++k) {
      At(hi_) = At(lo_);
      ++hi_;
      ++lo_;
    }
  }
}

bool CursorRing::InsertAtEnd(int32_t i, GridPoint p, bool head_hidden) {
  // Walk back from the closing edge, then on: each visible edge takes the
  // vertex it shares with the run of visible edges along.
  if (!head_hidden) {
    while (Size() >= 2 && Sees(p, At(hi_ - 2).p, At(hi_ - 1).p)) --hi_;
  }
  while (Size() >= 2 && Sees(p, At(lo_).p, At(lo_ + 1).p)) ++lo_;
  At(hi_) = Vertex{p, i};
  ++hi_;
  return Size() >= 3;
}

int32_t CursorRing::Insert(int32_t first, bool bounded) {
  int64_t work = 0;
  // The ends of the edge made last (a -> b) and of the closing edge
  // (b -> c), kept at hand: most points are tested against them only.
  GridPoint a = At(hi_ - 2).p, b = At(hi_ - 1).p, c = At(lo_).p;
  const GridPoint* const grid = grid_;
  const int32_t count = count_;
  for (int32_t i = first; i < count; ++i) {
    const GridPoint p = grid[i];
    if (Sees(p, a, b)) {
      // The edge made last sees p. Its end b stays only when the closing
      // edge does not see p; it then follows p, at the array's start.
      const Vertex end = At(hi_ - 1);
      const bool closing_sees = Sees(p, b, c);
      --hi_;
      while (Size() >= 2 && Sees(p, At(hi_ - 2).p, At(hi_ - 1).p)) --hi_;
      if (closing_sees) {
        while (Size() >= 2 && Sees(p, At(lo_).p, At(lo_ + 1).p)) ++lo_;
      } else {
        --lo_;
        At(lo_) = end;
      }
      At(hi_) = Vertex{p, i};
      ++hi_;
      if (Size() < 3) return kBroken;
      a = At(hi_ - 2).p;
      b = p;
      c = At(lo_).p;
      continue;
    }
    if (Sees(p, b, c)) {
      if (!InsertAtEnd(i, p, true)) return kBroken;
      a = b;
      b = p;
      c = At(lo_).p;
      continue;
    }
    // Neither edge sees p: in the sector of either, it is inside or on
    // the ring (points just behind the front of an outline lie there).
    const Offset d = FromAnchor(p);
    if (Cross(FromAnchor(b), d) < 0 ? Cross(FromAnchor(a), d) >= 0
                                    : Cross(FromAnchor(c), d) < 0) {
      continue;
    }
    if (d.x == 0 && d.y == 0) continue;  // the anchor, strictly inside
    const int64_t allowed = kAllowance + i / 8;
    if (bounded && work >= allowed) return i;
    ++work;
    const uint32_t from = Search(d);
    const uint32_t to = from + 1 == hi_ ? lo_ : from + 1;
    if (!InSector(d, At(from).p, At(to).p)) return kBroken;
    if (!Sees(p, At(from).p, At(to).p)) continue;
    const uint32_t after = hi_ - 1 - from;
    const uint32_t before = from - lo_ + 1;
    const int64_t moves = after < before ? after : before;
    if (bounded && work + moves > allowed) return i;
    work += moves;
    TurnTo(from);
    if (!InsertAtEnd(i, p, false)) return kBroken;
    a = At(hi_ - 2).p;
    b = p;
    c = At(lo_).p;
  }
  return count;
}

}  // namespace silhouette
