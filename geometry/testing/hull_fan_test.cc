#include "geometry/testing/hull_fan.h"

#include <gtest/gtest.h>

#include <vector>

namespace silhouette {
namespace {

// The square (0,0) (8,0) (8,8) (0,8) as a counter-clockwise ring, and some
// query points, all on the integer grid.
class HullFanTest : public ::testing::Test {
 protected:
  HullFanTest()
      : grid_({0, 0, 8, 0, 8, 8, 0, 8,  // ring vertices 0..3
               4, -3,                   // 4: below edge 0 -> 1
               11, 4,                   // 5: right of edge 1 -> 2
               -1, 9,                   // 6: beyond the corner 3
               4, 4,                    // 7: inside, seen like corner 3
               8, 4}),                  // 8: on edge 1 -> 2
        fan_(grid_, 9, 0, 1, 2) {
    for (int k = 0; k < 4; ++k) {
      edges_.emplace_back(k, (k + 1) % 4);
    }
    for (int k = 0; k < 4; ++k) fan_.Insert(k, &edges_[k], k - 1);
  }

  std::vector<int64_t> grid_;
  std::vector<HullEdge> edges_;
  HullFan fan_;
};

TEST_F(HullFanTest, NamesTheEdgeTheRayFromTheAnchorCrosses) {
  EXPECT_EQ(fan_.EdgeToward(4), &edges_[0]);
  EXPECT_EQ(fan_.EdgeToward(5), &edges_[1]);
  EXPECT_EQ(fan_.EdgeToward(8), &edges_[1]);
  EXPECT_EQ(fan_.EdgeToward(7), &edges_[3]);  // same direction: its edge
  // Point 6 lies beyond corner 3 as seen from the anchor (16/3, 8/3): an
  // edge at that corner.
  const HullEdge* corner = fan_.EdgeToward(6);
  EXPECT_TRUE(corner == &edges_[2] || corner == &edges_[3]);
  // A ring vertex names its own leaving edge.
  for (int k = 0; k < 4; ++k) EXPECT_EQ(fan_.EdgeToward(k), &edges_[k]);
}

TEST_F(HullFanTest, FollowsUpdatesAndErasures) {
  HullEdge replacement(0, 2);
  fan_.Erase(1);
  fan_.Update(0, &replacement);
  EXPECT_EQ(fan_.EdgeToward(4), &replacement);
  EXPECT_EQ(fan_.EdgeToward(5), &replacement);
}

}  // namespace
}  // namespace silhouette
