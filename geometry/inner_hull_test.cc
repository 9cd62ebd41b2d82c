#include "geometry/inner_hull.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// The hull holds nothing outside the hull of the corners and the offered
// points (what the ring is known to hold), and holds the corners and the
// offered points that lie farthest along the axes and the diagonals.
TEST(InnerHull, HoldsOnlyWhatTheOfferedPointsSpanAndTheirExtremes) {
  std::mt19937 rng(3);
  std::uniform_int_distribution<int32_t> small(0, 12);
  for (int trial = 0; trial < 60; ++trial) {
    std::vector<GridPoint> grid;
    for (int k = 0; k < 30; ++k) grid.push_back(GridPoint{small(rng), small(rng)});
    // Corners with area.
    grid[0] = GridPoint{3, 3};
    grid[1] = GridPoint{9, 4};
    grid[2] = GridPoint{5, 8};
    InnerHull inner(grid.data(), 0, 1, 2);
    std::vector<GridPoint> offered = {grid[0], grid[1], grid[2]};
    for (int32_t i = 3; i < 30; ++i) {
      if (i % 3 != 0) {
        inner.Offer(i);
        offered.push_back(grid[i]);
      }
      // The strict extremes of what was offered, in the eight directions
      // (no other point as far).
      for (const GridPoint& q : offered) {
        const int64_t v[4] = {q.x, q.y, q.x + q.y, q.x - q.y};
        bool extreme[8];
        for (int k = 0; k < 8; ++k) extreme[k] = true;
        for (const GridPoint& r : offered) {
          if (r.x == q.x && r.y == q.y) continue;
          const int64_t w[4] = {r.x, r.y, r.x + r.y, r.x - r.y};
          for (int k = 0; k < 4; ++k) {
            if (w[k] >= v[k]) extreme[2 * k] = false;
            if (w[k] <= v[k]) extreme[2 * k + 1] = false;
          }
        }
        if (std::count(extreme, extreme + 8, true) > 0) {
          ASSERT_TRUE(inner.Contains(q)) << "trial " << trial << ", point " << i;
        }
      }
      for (int32_t x = -1; x <= 13; ++x) {
        for (int32_t y = -1; y <= 13; ++y) {
          const GridPoint p{x, y};
          if (inner.Contains(p)) {
            ASSERT_TRUE(InHullOf(p, offered))
                << "trial " << trial << ", point " << i << ", (" << x << ", "
                << y << ")";
          }
        }
      }
    }
  }
}

TEST(InnerHull, ExactAtTheGridLimits) {
  const int32_t m = 268435456;  // 2^28
  const std::vector<GridPoint> grid = {{-m, -m}, {m, -m}, {m, m}, {-m, m}};
  InnerHull inner(grid.data(), 0, 1, 2);
  EXPECT_TRUE(inner.Contains(GridPoint{m, m}));
  EXPECT_TRUE(inner.Contains(GridPoint{0, -m}));
  EXPECT_TRUE(inner.Contains(GridPoint{0, 0}));   // on the diagonal edge
  EXPECT_FALSE(inner.Contains(GridPoint{-1, 0}));  // beyond it
  inner.Offer(3);
  EXPECT_TRUE(inner.Contains(GridPoint{-m, m}));
  EXPECT_TRUE(inner.Contains(GridPoint{-m + 1, m - 1}));
  EXPECT_FALSE(inner.Contains(GridPoint{-m - 1, 0}));
}

TEST(InnerHull, FlatCornersHoldNothing) {
  const std::vector<GridPoint> grid = {{0, 0}, {2, 2}, {4, 4}, {1, 1}};
  InnerHull inner(grid.data(), 0, 1, 2);
  inner.Offer(3);
  EXPECT_FALSE(inner.Contains(GridPoint{1, 1}));
  EXPECT_FALSE(inner.Contains(GridPoint{0, 0}));
}

}  // namespace
}  // namespace silhouette
