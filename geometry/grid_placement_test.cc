#include "geometry/grid_placement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "geometry/testing/hull_point_sets.h"

namespace silhouette {
namespace {

using testing::SplitMix;

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Both forms on the same points and frame: the same grid, result and
// farthest point, bit for bit; an empty string when they agree.
std::string Difference(const std::vector<Vec2>& points, const GridFrame& frame,
                       const FarthestPoint& start) {
  const int32_t n = static_cast<int32_t>(points.size());
  std::vector<GridPoint> packed(points.size()), plain(points.size());
  FarthestPoint far_packed = start, far_plain = start;
  const bool ok_packed =
      PlaceOnGrid(points.data(), n, frame, packed.data(), &far_packed);
  const bool ok_plain =
      PlaceOnGridPlain(points.data(), n, frame, plain.data(), &far_plain);
  if (ok_packed != ok_plain) return "result differs";
  for (int32_t i = 0; i < n; ++i) {
    if (packed[i].x != plain[i].x || packed[i].y != plain[i].y) {
      return "grid point " + std::to_string(i) + " differs";
    }
  }
  if (!SameBits(far_packed.distance, far_plain.distance) ||
      far_packed.index != far_plain.index ||
      !SameBits(far_packed.sign, far_plain.sign)) {
    return "farthest point differs";
  }
  return "";
}

double Awkward(SplitMix* rng) {
  const double inf = std::numeric_limits<double>::infinity();
  const double values[] = {0.0,  -0.0,     inf,    -inf,   std::nan(""),
                           1e308, -1e308,  4e-320, -4e-320, 268435456.0,
                           -268435456.0, 268435455.5, 1048576.0, 0.5};
  return values[rng->Below(sizeof values / sizeof values[0])];
}

TEST(GridPlacement, PackedAndPlainAgreeBitForBit) {
  SplitMix rng(61);
  const double scales[] = {1, 1048576.0, 1e-300, 1e300,
                           std::numeric_limits<double>::infinity(), 3.7e-9};
  for (int trial = 0; trial < 3000; ++trial) {
    const int n = 1 + static_cast<int>(rng.Below(trial % 10 == 0 ? 2000 : 40));
    std::vector<Vec2> p;
    const double spread =
        std::pow(10.0, static_cast<double>(rng.Below(40)) - 20);
    for (int i = 0; i < n; ++i) {
      Vec2 q((2 * rng.Unit() - 1) * spread, (2 * rng.Unit() - 1) * spread);
      if (rng.Below(20) == 0) q.x = Awkward(&rng);
      if (rng.Below(20) == 0) q.y = Awkward(&rng);
      if (rng.Below(10) == 0 && !p.empty()) q = p[rng.Below(p.size())];
      p.push_back(q);
    }
    Vec2 normal(2 * rng.Unit() - 1, 2 * rng.Unit() - 1);
    normal.Normalize();
    if (rng.Below(8) == 0) normal = Vec2(0, 1);
    const GridFrame frame{Vec2(-spread, -spread * rng.Unit()),
                          scales[rng.Below(6)] / spread,
                          p[rng.Below(p.size())], normal,
                          rng.Below(2) ? 1.0 : 0x1p-513};
    const FarthestPoint start{0, static_cast<int32_t>(rng.Below(p.size())), 0};
    ASSERT_EQ(Difference(p, frame, start), "") << "trial " << trial;
  }
}

TEST(GridPlacement, PlacesClampsAndFindsTheFirstFarthestPoint) {
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<Vec2> p = {{0, 0},   {2.75, -1}, {-0.5, 3},
                               {1e300, 2}, {-inf, 1},  {2.75, 5}};
  const GridFrame frame{Vec2(-1, -1), 2, Vec2(0, 0), Vec2(0, 1), 1};
  std::vector<GridPoint> grid(p.size());
  FarthestPoint farthest{0, 0, 0};
  ASSERT_TRUE(PlaceOnGrid(p.data(), 6, frame, grid.data(), &farthest));
  const int32_t limit = 268435456;
  const int32_t expected[6][2] = {{2, 2},     {7, 0},       {1, 8},
                                  {limit, 6}, {-limit, 4}, {7, 12}};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(grid[i].x, expected[i][0]) << i;
    EXPECT_EQ(grid[i].y, expected[i][1]) << i;
  }
  EXPECT_EQ(farthest.index, 5);  // y = 5 first; no later point is farther
  EXPECT_EQ(farthest.distance, 5);
  EXPECT_EQ(farthest.sign, 1);
  // Distances in a unit of 2^-513: the same point, the distance scaled
  // exactly; the grid does not change.
  const GridFrame scaled{Vec2(-1, -1), 2, Vec2(0, 0), Vec2(0, 1), 0x1p-513};
  std::vector<GridPoint> same(p.size());
  FarthestPoint far_scaled{0, 0, 0};
  ASSERT_TRUE(PlaceOnGrid(p.data(), 6, scaled, same.data(), &far_scaled));
  EXPECT_EQ(far_scaled.index, 5);
  EXPECT_EQ(far_scaled.distance, 0x1p-513 * 5);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(same[i].x, grid[i].x) << i;
  const std::vector<Vec2> with_nan = {{0, 0}, {1, std::nan("")}};
  EXPECT_FALSE(PlaceOnGrid(with_nan.data(), 2, frame, grid.data(), &farthest));
}

}  // namespace
}  // namespace silhouette
