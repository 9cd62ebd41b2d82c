#include "geometry/grid_point.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "geometry/grid_predicates.h"

namespace silhouette {
namespace {

TEST(GridPoint, CoordinatesTruncateAndClampLikeTheGridPredicates) {
  const double inf = std::numeric_limits<double>::infinity();
  const double limit = 268435456.0;
  struct Case {
    double v;
    int32_t expected;
  };
  const Case cases[] = {
      {0.0, 0},          {-0.0, 0},           {0.99, 0},
      {-0.99, 0},        {1.5, 1},            {-1.5, -1},
      {limit, 268435456}, {limit - 0.5, 268435455},
      {-limit, -268435456}, {1e300, 268435456}, {-inf, -268435456},
      {inf, 268435456},  {std::nan(""), 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(ToGridCoordinate(c.v), c.expected) << c.v;
    EXPECT_EQ(ToGridCoordinate(c.v), GridPredicates::GridCoordinate(c.v))
        << c.v;
  }
}

TEST(GridPoint, SideMatchesTheGridPredicatesUpToTheClampLimits) {
  // Random points, half of them on the +-2^28 limits where the products
  // are largest.
  std::mt19937_64 rng(5);
  const int32_t limit = 268435456;
  std::uniform_int_distribution<int32_t> any(-limit, limit);
  std::uniform_int_distribution<int> pick(0, 3);
  auto coordinate = [&]() {
    switch (pick(rng)) {
      case 0: return limit;
      case 1: return -limit;
      default: return any(rng);
    }
  };
  std::vector<Vec2> points;
  std::vector<GridPoint> grid;
  for (int k = 0; k < 3000; ++k) {
    const GridPoint g{coordinate(), coordinate()};
    grid.push_back(g);
    points.emplace_back(g.x, g.y);
  }
  // Collinear triples on the limits.
  grid.push_back(GridPoint{-limit, -limit});
  grid.push_back(GridPoint{limit, limit});
  grid.push_back(GridPoint{0, 0});
  for (int k = 0; k < 3; ++k) {
    points.emplace_back(grid[grid.size() - 3 + k].x,
                        grid[grid.size() - 3 + k].y);
  }
  const GridPredicates predicates(static_cast<int32_t>(points.size()),
                                  points.data());
  const int32_t n = static_cast<int32_t>(grid.size());
  int zeros = 0;
  for (int32_t i = 0; i + 2 < n; ++i) {
    for (int32_t shift : {1, 2}) {
      const int32_t a = (i + shift) % n, b = (i + 2 * shift + 1) % n;
      const int32_t side = GridSide(grid[i], grid[a], grid[b]);
      EXPECT_EQ(side, predicates.SideOfLineByIndex(i, a, b));
      zeros += side == 0;
    }
  }
  EXPECT_EQ(GridSide(grid[n - 1], grid[n - 3], grid[n - 2]), 0);
  EXPECT_EQ(GridSide(GridPoint{limit, -limit}, grid[n - 3], grid[n - 2]), 1);
  EXPECT_EQ(GridSide(GridPoint{-limit, limit}, grid[n - 3], grid[n - 2]), -1);
  EXPECT_GT(zeros, 0);  // the limits make some triples collinear
}

}  // namespace
}  // namespace silhouette
