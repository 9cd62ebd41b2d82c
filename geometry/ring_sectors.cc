#include "geometry/ring_sectors.h"

#include <cmath>

namespace silhouette {

RingSectors::RingSectors(const GridPoint* grid, int32_t a, int32_t b,
                         int32_t c, int32_t count)
    : anchorX3_(static_cast<int64_t>(grid[a].x) + grid[b].x + grid[c].x),
      anchorY3_(static_cast<int64_t>(grid[a].y) + grid[b].y + grid[c].y),
      leaving_(new int32_t[count]),
      successor_(new int32_t[count]) {
  vertexAt_.assign(64, HullRing::kNone);
  bucketsPerQuarter_ = 16;
}

void RingSectors::Refill(const HullRing& ring, int32_t edge,
                         int32_t ring_size) {
  const std::size_t size = static_cast<std::size_t>(ring_size);
  std::size_t buckets = vertexAt_.size();
  while (buckets < 4 * size && buckets < kMostBuckets) buckets *= 2;
  vertexAt_.assign(buckets, HullRing::kNone);
  bucketsPerQuarter_ = static_cast<double>(buckets) / 4;
  const int32_t first_bucket = Bucket(FromAnchor(ring[edge].fromPoint));
  int32_t bucket = first_bucket;
  int32_t e = edge;
  do {
    const int32_t next_bucket =
        ring[e].next == edge ? first_bucket
                             : Bucket(FromAnchor(ring[e].toPoint));
    Cover(ring[e].from, bucket, next_bucket);
    bucket = next_bucket;
    e = ring[e].next;
  } while (e != edge && e != HullRing::kNone);
  changes_ = 0;
  stale_ = false;
}

int32_t RingSectors::Bucket(const Offset& d) const {
  // A pseudo-angle in [0, 4) that grows with the direction's angle.
  const double dx = static_cast<double>(d.x), dy = static_cast<double>(d.y);
  const double sum = std::abs(dx) + std::abs(dy);
  if (!(sum > 0)) return 0;
  const double t = dy / sum;
  const double angle = dx < 0 ? 2 - t : (dy < 0 ? 4 + t : t);
  const int32_t n = static_cast<int32_t>(vertexAt_.size());  // a power of 2
  const int32_t k = static_cast<int32_t>(angle * bucketsPerQuarter_);
  return k < 0 ? 0 : (k >= n ? n - 1 : k);
}

void RingSectors::Cover(int32_t v, int32_t first, int32_t last) {
  const int32_t mask = static_cast<int32_t>(vertexAt_.size()) - 1;
  // A sector is less than half a turn; a longer span only comes from
  // directions that round across each other. A long span (the edge that
  // closes an outline in boundary order, from its newest vertex back to
  // its start) is filled only near its ends: the walk does the rest.
  const int32_t span = (last - first) & mask;
  if (span > mask / 2 + 2) return;
  constexpr int32_t kNearEnd = 32;
  vertexAt_[first] = v;
  for (int32_t k = 1; k < span; ++k) {
    if (k == kNearEnd && span - k > kNearEnd) k = span - kNearEnd;
    vertexAt_[(first + k) & mask] = v;
  }
}

int32_t RingSectors::EdgeToward(const HullRing& ring, GridPoint p,
                                int32_t start, int32_t max_steps) {
  const Offset d = FromAnchor(p);
  if (d.x == 0 && d.y == 0) return HullRing::kNone;
  if (stale_) Refill(ring, start, max_steps);
  const int32_t bucket = Bucket(d);
  int32_t v = vertexAt_[bucket];
  while (v != HullRing::kNone && leaving_[v] == HullRing::kNone) {
    v = successor_[v];
  }
  int32_t e = v == HullRing::kNone ? start : leaving_[v];
  for (int32_t step = 0; step <= max_steps; ++step) {
    const HullRing::Edge& edge = ring[e];
    if (Cross(FromAnchor(edge.fromPoint), d) < 0) {
      e = edge.prev;  // p comes before the sector: walk back
    } else if (Cross(FromAnchor(edge.toPoint), d) >= 0) {
      e = edge.next;  // p comes at or after the sector's end: walk on
    } else {
      vertexAt_[bucket] = edge.from;
      last_ = e;
      return e;
    }
    if (e == HullRing::kNone) return HullRing::kNone;
  }
  return HullRing::kNone;
}

}  // namespace silhouette
