#include "geometry/hull_ring.h"

#include <gtest/gtest.h>

namespace silhouette {
namespace {

const GridPoint kGrid[8] = {{0, 0}, {4, 0}, {4, 4}, {0, 4},
                            {1, 1}, {2, 2}, {3, 3}, {5, 5}};

TEST(HullRing, RemoveCutsBothLinksAndRecycledPlacesAreReused) {
  HullRing ring(kGrid);
  ring.Clear(4);
  const int32_t a = ring.Create(0, 1), b = ring.Create(1, 2),
                c = ring.Create(2, 0);
  ring.Link(a, b);
  ring.Link(b, c);
  ring.Link(c, a);
  ring.Remove(b);
  EXPECT_EQ(ring[a].next, HullRing::kNone);
  EXPECT_EQ(ring[c].prev, HullRing::kNone);
  EXPECT_EQ(ring[b].prev, HullRing::kNone);
  EXPECT_EQ(ring[b].next, HullRing::kNone);
  EXPECT_EQ(ring[c].next, a);  // links not to b stay
  EXPECT_EQ(ring[b].from, 1);  // a removed edge keeps its ends
  ring.Recycle(b);
  const int32_t d = ring.Create(1, 7);
  EXPECT_EQ(d, b);
  EXPECT_EQ(ring[d].to, 7);
  EXPECT_EQ(ring[d].prev, HullRing::kNone);
  // The edge carries its ends' grid points.
  EXPECT_EQ(ring[d].fromPoint.x, 4);
  EXPECT_EQ(ring[d].toPoint.y, 5);
  const int32_t e = ring.Create(7, 2);
  EXPECT_NE(e, a);
  EXPECT_NE(e, c);
}

TEST(HullRing, RemoveLeavesLinksThatPointElsewhere) {
  HullRing ring(kGrid);
  ring.Clear(0);
  const int32_t a = ring.Create(0, 1), b = ring.Create(1, 2),
                c = ring.Create(2, 3);
  ring.Link(a, b);
  ring.Link(b, c);
  ring.Link(a, c);  // a now leads past b; b still names a as prev
  ring.Remove(b);
  EXPECT_EQ(ring[a].next, c);
  EXPECT_EQ(ring[c].prev, a);
}

}  // namespace
}  // namespace silhouette
