#include "geometry/ring_sectors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace silhouette {
namespace {

// A convex ring: the strictly convex ones of k points on a circle of
// radius 1000 around (2000, 2000), truncated to the grid, as points 0 ..
// size - 1, counter-clockwise.
struct Ring {
  std::vector<GridPoint> grid;
  HullRing ring{nullptr};
  std::vector<int32_t> edges;  // edge leaving vertex v
};

Ring MakeRing(int count) {
  Ring r;
  for (int v = 0; v < count; ++v) {
    const double a = 2 * M_PI * v / count;
    const GridPoint p{static_cast<int32_t>(2000 + 1000 * std::cos(a)),
                      static_cast<int32_t>(2000 + 1000 * std::sin(a))};
    // Drop vertices that do not turn left (truncation dents the circle).
    while (r.grid.size() >= 2 &&
           GridSide(p, r.grid[r.grid.size() - 2], r.grid.back()) >= 0) {
      r.grid.pop_back();
    }
    r.grid.push_back(p);
  }
  while (r.grid.size() >= 3 &&
         GridSide(r.grid[0], r.grid[r.grid.size() - 2], r.grid.back()) >= 0) {
    r.grid.pop_back();
  }
  const int k = static_cast<int>(r.grid.size());
  r.ring = HullRing(r.grid.data());
  r.ring.Clear(k);
  for (int v = 0; v < k; ++v) r.edges.push_back(r.ring.Create(v, (v + 1) % k));
  for (int v = 0; v < k; ++v) r.ring.Link(r.edges[v], r.edges[(v + 1) % k]);
  return r;
}

// True when p lies strictly to the right of some edge of the ring.
bool Outside(const Ring& r, GridPoint p) {
  for (int32_t e : r.edges) {
    if (GridSide(p, r.grid[r.ring[e].from], r.grid[r.ring[e].to]) > 0) {
      return true;
    }
  }
  return false;
}

TEST(RingSectors, NamesAVisibleEdgeExactlyForPointsOutside) {
  for (int count : {3, 5, 64, 700}) {
    Ring r = MakeRing(count);
    const int k = static_cast<int>(r.grid.size());
    ASSERT_GE(k, 3);
    std::mt19937 rng(count);
    std::uniform_int_distribution<int32_t> near(500, 3500);
    std::vector<GridPoint> queries;
    for (int q = 0; q < 3000; ++q) queries.push_back(GridPoint{near(rng), near(rng)});
    for (const GridPoint& v : r.grid) queries.push_back(v);  // the vertices
    // The corners are three vertices spread around the ring.
    const int32_t total = static_cast<int32_t>(r.grid.size());
    RingSectors sectors(r.grid.data(), 0, k / 3, 2 * k / 3, total);
    // Every vertex is added, some twice; buckets without a vertex start
    // the walk at edge 0, and the walk does the rest.
    for (int v = 0; v < k; ++v) sectors.Add(v, r.edges[v]);
    for (int v = 0; v < k; v += 7) sectors.Add(v, r.edges[v]);
    for (const GridPoint& p : queries) {
      const int32_t e = sectors.EdgeToward(r.ring, p, r.edges[0], k);
      if (e == HullRing::kNone) {
        ADD_FAILURE() << "no sector for (" << p.x << ", " << p.y << ")";
        continue;
      }
      const bool sees =
          GridSide(p, r.grid[r.ring[e].from], r.grid[r.ring[e].to]) > 0;
      ASSERT_EQ(sees, Outside(r, p))
          << k << " vertices, (" << p.x << ", " << p.y << ")";
    }
  }
}

TEST(RingSectors, DroppedVerticesLeadToTheirSuccessors) {
  Ring r = MakeRing(12);
  RingSectors sectors(r.grid.data(), 0, 4, 8, 12);
  for (int v = 0; v < 12; ++v) sectors.Add(v, r.edges[v]);
  // Vertex 3 leaves: edge 2 -> 4 replaces edges 2 -> 3 and 3 -> 4.
  const int32_t bridge = r.ring.Create(2, 4);
  r.ring.Remove(r.edges[2]);
  r.ring.Remove(r.edges[3]);
  r.ring.Link(r.edges[1], bridge);
  r.ring.Link(bridge, r.edges[4]);
  sectors.SetLeaving(2, bridge);
  sectors.Drop(3, 2);
  // Just outside the old vertex 3: beyond the bridge.
  const GridPoint p = r.grid[3];
  const int32_t e = sectors.EdgeToward(r.ring, p, r.edges[0], 12);
  EXPECT_EQ(e, bridge);
  EXPECT_EQ(GridSide(p, r.grid[2], r.grid[4]), 1);
}

TEST(RingSectors, TheAnchorAndBrokenRingsHaveNoSector) {
  Ring r = MakeRing(3);
  RingSectors sectors(r.grid.data(), 0, 1, 2, 3);
  for (int v = 0; v < 3; ++v) sectors.Add(v, r.edges[v]);
  const GridPoint g0 = r.grid[0], g1 = r.grid[1], g2 = r.grid[2];
  if ((g0.x + g1.x + g2.x) % 3 == 0 && (g0.y + g1.y + g2.y) % 3 == 0) {
    const GridPoint anchor{(g0.x + g1.x + g2.x) / 3, (g0.y + g1.y + g2.y) / 3};
    EXPECT_EQ(sectors.EdgeToward(r.ring, anchor, r.edges[0], 3),
              HullRing::kNone);
  }
  // A ring whose links are cut cannot be walked round.
  r.ring.Remove(r.edges[1]);
  const GridPoint beyond{static_cast<int32_t>(2 * g1.x - 2000),
                         static_cast<int32_t>(2 * g1.y - 2000)};
  const int32_t e = sectors.EdgeToward(r.ring, beyond, r.edges[2], 3);
  EXPECT_TRUE(e == HullRing::kNone || e == r.edges[0] || e == r.edges[2]);
}

}  // namespace
}  // namespace silhouette
