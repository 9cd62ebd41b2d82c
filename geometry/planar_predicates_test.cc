#include "geometry/planar_predicates.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "geometry/grid_predicates.h"

namespace silhouette {
namespace {

TEST(PlanarPredicates, SideOfLine) {
  const std::vector<Vec2> pts = {{0, 0}, {1, 0}, {0, -1}, {0, 1}, {5, 0}};
  PlanarPredicates predicates(5, pts.data());
  EXPECT_EQ(predicates.SideOfLine(Vec2(0, -1), 0, 1), 1);
  EXPECT_EQ(predicates.SideOfLine(Vec2(0, 1), 0, 1), -1);
  EXPECT_EQ(predicates.SideOfLine(Vec2(5, 0), 0, 1), 0);
  EXPECT_EQ(predicates.SideOfLine(Vec2(std::nan(""), 0), 0, 1), -1);
  EXPECT_EQ(predicates.SideOfLineByIndex(2, 0, 1), 1);
}

TEST(GridPredicates, TruncatesBeforeTesting) {
  const std::vector<Vec2> pts = {{0, 0}, {10, 0}, {3, 0.9}};
  const std::unique_ptr<PlanarPredicates> grid(
      new GridPredicates(3, pts.data()));
  PlanarPredicates floating(3, pts.data());
  EXPECT_EQ(grid->SideOfLine(pts[2], 0, 1), 0);
  EXPECT_EQ(floating.SideOfLine(pts[2], 0, 1), -1);
  // The by-index form dispatches to the override.
  EXPECT_EQ(grid->SideOfLineByIndex(2, 0, 1), 0);
}

TEST(GridPredicates, NonFiniteAndHugeCoordinatesAreClamped) {
  EXPECT_EQ(GridPredicates::GridCoordinate(std::nan("")), 0);
  EXPECT_EQ(GridPredicates::GridCoordinate(1e300), 268435456);
  EXPECT_EQ(
      GridPredicates::GridCoordinate(-std::numeric_limits<double>::infinity()),
      -268435456);
  EXPECT_EQ(GridPredicates::GridCoordinate(-2.7), -2);
  const std::vector<Vec2> pts = {{0, 0}, {1e300, 0}, {0, -1e300}};
  GridPredicates grid(3, pts.data());
  EXPECT_EQ(grid.SideOfLineByIndex(2, 0, 1), 1);
  EXPECT_EQ(grid.SideOfCircleByIndex(2, 0, 1, 0), 0);
}

class TriangleAndCircle : public ::testing::TestWithParam<bool> {};

TEST_P(TriangleAndCircle, CounterClockwiseTriangle) {
  const std::vector<Vec2> pts = {{0, 0}, {4, 0}, {0, 4}};
  std::unique_ptr<PlanarPredicates> p;
  if (GetParam()) {
    p.reset(new GridPredicates(3, pts.data()));
  } else {
    p.reset(new PlanarPredicates(3, pts.data()));
  }
  EXPECT_EQ(p->SideOfTriangle(Vec2(1, 1), 0, 1, 2), -1);
  EXPECT_EQ(p->SideOfTriangle(Vec2(2, 2), 0, 1, 2), -1);
  EXPECT_EQ(p->SideOfTriangle(Vec2(5, 5), 0, 1, 2), 1);
  EXPECT_EQ(p->SideOfTriangleByIndex(0, 0, 1, 2), -1);
  EXPECT_EQ(p->SideOfCircle(Vec2(1, 1), 0, 1, 2), -1);
  EXPECT_EQ(p->SideOfCircle(Vec2(4, 4), 0, 1, 2), 0);
  EXPECT_EQ(p->SideOfCircle(Vec2(5, 5), 0, 1, 2), 1);
  EXPECT_EQ(p->SideOfCircleByIndex(1, 0, 1, 2), 0);
}

INSTANTIATE_TEST_SUITE_P(FloatingAndGrid, TriangleAndCircle,
                         ::testing::Values(false, true));

TEST(PlanarPredicates, CollinearTriangleGivesZero) {
  const std::vector<Vec2> pts = {{0, 0}, {1, 1}, {2, 2}};
  PlanarPredicates p(3, pts.data());
  EXPECT_EQ(p.SideOfTriangle(Vec2(3, 3), 0, 1, 2), 0);
}

}  // namespace
}  // namespace silhouette
