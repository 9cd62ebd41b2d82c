#include "geometry/ring_sectors.h"

#include <cmath>

namespace silhouette {

RingSectors::RingSectors(const GridPoint* grid, int32_t a, int32_t b,
                         int32_t c, int32_t count)
    : grid_(grid),
      anchorX3_(static_cast<int64_t>(grid[a].x) + grid[b].x + grid[c].x),
      anchorY3_(static_cast<int64_t>(grid[a].y) + grid[b].y + grid[c].y),
      leaving_(new int32_t[count]),
      successor_(new int32_t[count]),
      bucket_(new int32_t[count]) {
  // About one bucket per four points, 64 to 2^16 of them.
  std::size_t buckets = 64;
  while (buckets < (1u << 16) && 4 * buckets < static_cast<std::size_t>(count))
    buckets *= 2;
  vertexAt_.assign(buckets, HullRing::kNone);
  bucketsPerQuarter_ = static_cast<double>(buckets) / 4;
}

int32_t RingSectors::Bucket(const Offset& d) const {
  // A pseudo-angle in [0, 4) that grows with the direction's angle.
  const double dx = static_cast<double>(d.x), dy = static_cast<double>(d.y);
  const double sum = std::abs(dx) + std::abs(dy);
  if (!(sum > 0)) return 0;
  const double t = dy / sum;
  const double angle = dx < 0 ? 2 - t : (dy < 0 ? 4 + t : t);
  const int32_t n = static_cast<int32_t>(vertexAt_.size());
  const int32_t k = static_cast<int32_t>(angle * bucketsPerQuarter_);
  return k < 0 ? 0 : (k >= n ? n - 1 : k);
}

void RingSectors::Add(int32_t v, int32_t leaving) {
  leaving_[v] = leaving;
  successor_[v] = HullRing::kNone;
  bucket_[v] = Bucket(FromAnchor(grid_[v]));
  vertexAt_[bucket_[v]] = v;
}

void RingSectors::Cover(int32_t v, int32_t w) {
  constexpr int32_t kNearEnd = 8;
  const int32_t n = static_cast<int32_t>(vertexAt_.size());
  const int32_t first = bucket_[v];
  // A sector is less than half a turn; a longer span only comes from
  // directions that round across each other.
  const int32_t span = ((bucket_[w] - first) % n + n) % n;
  if (span > n / 2 + 1) return;
  for (int32_t k = 0; k < span; ++k) {
    if (k == kNearEnd && span - k > kNearEnd) k = span - kNearEnd;
    vertexAt_[(first + k) % n] = v;
  }
}

int32_t RingSectors::EdgeToward(const HullRing& ring, GridPoint p,
                                int32_t start, int32_t max_steps) {
  const Offset d = FromAnchor(p);
  if (d.x == 0 && d.y == 0) return HullRing::kNone;
  const int32_t bucket = Bucket(d);
  int32_t v = vertexAt_[bucket];
  while (v != HullRing::kNone && leaving_[v] == HullRing::kNone) {
    v = successor_[v];
  }
  int32_t e = v == HullRing::kNone ? start : leaving_[v];
  for (int32_t step = 0; step <= max_steps; ++step) {
    const HullRing::Edge& edge = ring[e];
    if (Cross(FromAnchor(grid_[edge.from]), d) < 0) {
      e = edge.prev;  // p comes before the sector: walk back
    } else if (Cross(FromAnchor(grid_[edge.to]), d) >= 0) {
      e = edge.next;  // p comes at or after the sector's end: walk on
    } else {
      vertexAt_[bucket] = edge.from;
      return e;
    }
    if (e == HullRing::kNone) return HullRing::kNone;
  }
  return HullRing::kNone;
}

}  // namespace silhouette
