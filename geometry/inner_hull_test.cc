#include "geometry/inner_hull.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <vector>

namespace silhouette {
namespace {

// Inside or on the closed triangle a, b, c (either orientation, with area).
bool InTriangle(GridPoint p, GridPoint a, GridPoint b, GridPoint c) {
  const int32_t s1 = GridSide(p, a, b), s2 = GridSide(p, b, c),
                s3 = GridSide(p, c, a);
  return (s1 >= 0 && s2 >= 0 && s3 >= 0) || (s1 <= 0 && s2 <= 0 && s3 <= 0);
}

// Plain reference: p lies in the hull of a set with area exactly when it
// lies in a triangle of three of its points with area.
bool InHullOf(GridPoint p, const std::vector<GridPoint>& set) {
  for (std::size_t i = 0; i < set.size(); ++i) {
    for (std::size_t j = i + 1; j < set.size(); ++j) {
      for (std::size_t k = j + 1; k < set.size(); ++k) {
        if (GridSide(set[k], set[i], set[j]) != 0 &&
            InTriangle(p, set[i], set[j], set[k])) {
          return true;
        }
      }
    }
  }
  return false;
}

TEST(InnerHull, HoldsExactlyTheHullOfTheCornersAndEarlierCandidates) {
  std::mt19937 rng(3);
  std::uniform_int_distribution<int32_t> small(0, 12);
  for (int trial = 0; trial < 40; ++trial) {
    std::vector<GridPoint> grid;
    for (int k = 0; k < 30; ++k) grid.push_back(GridPoint{small(rng), small(rng)});
    // Corners with area.
    grid[0] = GridPoint{0, 0};
    grid[1] = GridPoint{12, 1};
    grid[2] = GridPoint{5, 9};
    std::vector<int32_t> candidates = {7, 3, 29, 12, 7, 18};
    InnerHull inner(grid.data(), 0, 1, 2, candidates);
    EXPECT_EQ(inner.NextChange(), 4);  // candidate 3 counts from point 4
    for (int32_t i = 0; i < 30; ++i) {
      if (i >= inner.NextChange()) inner.AdvanceTo(i);
      std::vector<GridPoint> members = {grid[0], grid[1], grid[2]};
      for (int32_t c : candidates) {
        if (c < i) members.push_back(grid[c]);
      }
      for (int32_t x = -1; x <= 13; ++x) {
        for (int32_t y = -1; y <= 13; ++y) {
          const GridPoint p{x, y};
          ASSERT_EQ(inner.Contains(p), InHullOf(p, members))
              << "trial " << trial << ", point " << i << ", (" << x << ", "
              << y << ")";
        }
      }
    }
    EXPECT_EQ(inner.NextChange(), 30);  // candidate 29 counts from point 30
    inner.AdvanceTo(30);
    EXPECT_EQ(inner.NextChange(), INT32_MAX);
  }
}

TEST(InnerHull, ExactAtTheGridLimits) {
  const int32_t m = 268435456;  // 2^28
  const std::vector<GridPoint> grid = {{-m, -m}, {m, -m}, {m, m}, {-m, m}};
  InnerHull inner(grid.data(), 0, 1, 2, {3});
  EXPECT_TRUE(inner.Contains(GridPoint{m, m}));
  EXPECT_TRUE(inner.Contains(GridPoint{0, -m}));
  EXPECT_TRUE(inner.Contains(GridPoint{0, 0}));   // on the diagonal edge
  EXPECT_FALSE(inner.Contains(GridPoint{-1, 0}));  // beyond it
  inner.AdvanceTo(4);
  EXPECT_TRUE(inner.Contains(GridPoint{-m, m}));
  EXPECT_TRUE(inner.Contains(GridPoint{-m + 1, m - 1}));
  EXPECT_FALSE(inner.Contains(GridPoint{-m - 1, 0}));
}

TEST(InnerHull, FlatCornersHoldNothing) {
  const std::vector<GridPoint> grid = {{0, 0}, {2, 2}, {4, 4}, {1, 1}};
  InnerHull inner(grid.data(), 0, 1, 2, {});
  EXPECT_FALSE(inner.Contains(GridPoint{1, 1}));
  EXPECT_FALSE(inner.Contains(GridPoint{0, 0}));
}

}  // namespace
}  // namespace silhouette
