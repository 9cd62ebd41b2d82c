#include "kestrim/reference/epipolar_hull_index.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numeric>
#include <random>
#include <vector>

#include "camera/view.h"

namespace silhouette {
namespace {

const double kPi = 3.141592653589793;
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

// A view whose hull vertices, in hull order, are `points` (normalized
// coordinates).
View ViewWithHull(const std::vector<Vec2>& points) {
  View view;
  view.normalizedBoundary = points;
  view.hull.resize(points.size());
  std::iota(view.hull.begin(), view.hull.end(), 0);
  return view;
}

// The square x in [1, 3], y in [-1, 1], counter-clockwise from (1, -1).
// Seen from the origin its vertices have the relative angles 0,
// pi/4 - atan(1/3), pi/4 + atan(1/3) and pi/2.
View RightSquare() { return ViewWithHull({{1, -1}, {3, -1}, {3, 1}, {1, 1}}); }

void ExpectNear(const Vec2& actual, const Vec2& expected, double tol = 1e-12) {
  EXPECT_NEAR(actual.x, expected.x, tol);
  EXPECT_NEAR(actual.y, expected.y, tol);
}

bool IsFinite(const Vec2& p) {
  return std::isfinite(p.x) && std::isfinite(p.y);
}

TEST(EpipolarHullIndex, BuildSortsVerticesAndWalksBothSides) {
  const View view = RightSquare();
  EpipolarHullIndex index;
  index.Build(view, Vec2(0, 0));
  ASSERT_TRUE(index.IsUsable());
  EXPECT_FALSE(index.EpipoleInside());
  EXPECT_EQ(index.view(), &view);
  EXPECT_EQ(index.cursor(), 0);
  EXPECT_DOUBLE_EQ(index.referenceAngle(), -kPi / 4);

  const std::vector<HullAngle>& sorted = index.sorted();
  ASSERT_EQ(sorted.size(), 4u);
  const double expected[4] = {0, kPi / 4 - std::atan(1.0 / 3),
                              kPi / 4 + std::atan(1.0 / 3), kPi / 2};
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(sorted[k].vertex, k);
    EXPECT_NEAR(sorted[k].angle, expected[k], 1e-15);
  }
  EXPECT_EQ(sorted[0].angle, 0.0);  // hull vertex 0 exactly

  // The far side is bottom, right, top; the near side is the left edge.
  const std::vector<SectorEdges>& sectors = index.sectors();
  ASSERT_EQ(sectors.size(), 3u);
  for (int s = 0; s < 3; ++s) {
    EXPECT_EQ(sectors[s].ascending, s);
    EXPECT_EQ(sectors[s].descending, 3);
  }
}

TEST(EpipolarHullIndex, ClockwiseHullSwapsTheSides) {
  // The same square listed clockwise (as a camera with negative focal
  // length sees it): the far side is walked from the largest angle.
  const View view = ViewWithHull({{1, -1}, {1, 1}, {3, 1}, {3, -1}});
  EpipolarHullIndex index;
  index.Build(view, Vec2(0, 0));
  ASSERT_EQ(index.sectors().size(), 3u);
  EXPECT_EQ(index.sorted()[0].vertex, 0);
  EXPECT_EQ(index.sorted()[3].vertex, 1);
  Vec2 first, second;
  ASSERT_TRUE(index.CrossHull(Vec2(2, 0), &first, &second));
  ExpectNear(first, Vec2(1, 0));
  ExpectNear(second, Vec2(3, 0));
}

TEST(EpipolarHullIndex, CrossHullGivesBothSides) {
  const View view = RightSquare();
  EpipolarHullIndex index;
  index.Build(view, Vec2(0, 0));
  Vec2 first, second;
  ASSERT_TRUE(index.CrossHull(Vec2(2, 0), &first, &second));
  EXPECT_EQ(index.cursor(), 1);
  ExpectNear(first, Vec2(3, 0));
  ExpectNear(second, Vec2(1, 0));

  ASSERT_TRUE(index.CrossHull(Vec2(4, -1.5), &first, &second));
  EXPECT_EQ(index.cursor(), 0);
  ExpectNear(first, Vec2(8.0 / 3, -1));
  ExpectNear(second, Vec2(1, -0.375));

  ASSERT_TRUE(index.CrossHull(Vec2(1.5, 1), &first, &second));
  EXPECT_EQ(index.cursor(), 2);
  ExpectNear(first, Vec2(1.5, 1));
  ExpectNear(second, Vec2(1, 2.0 / 3));
}

TEST(EpipolarHullIndex, SectorWalksUpAndDown) {
  const View view = ViewWithHull({{1, -1},
                                  {2, -1.2},
                                  {3, -1},
                                  {3.3, 0},
                                  {3, 1},
                                  {2, 1.2},
                                  {1, 1},
                                  {0.8, 0}});
  EpipolarHullIndex index;
  index.Build(view, Vec2(-1, 0.1));
  ASSERT_EQ(index.sectors().size(), 7u);
  // Sweep the span upward, then downward: the cursor follows one sector
  // boundary at a time and always holds the query's direction.
  std::vector<double> angles;
  for (int k = 0; k <= 60; ++k) {
    const double t = k / 60.0;
    angles.push_back(index.sorted().front().angle * (1 - t) +
                     index.sorted().back().angle * t);
  }
  std::vector<double> down(angles.rbegin(), angles.rend());
  angles.insert(angles.end(), down.begin(), down.end());
  int previous = 0;
  int max_cursor = 0;
  for (const double angle : angles) {
    index.SeekSector(angle);
    const int c = index.cursor();
    ASSERT_GE(c, 0);
    ASSERT_LE(c, 6);
    EXPECT_LE(index.sorted()[c].angle, angle);
    EXPECT_GE(index.sorted()[c + 1].angle, angle);
    EXPECT_LE(std::abs(c - previous), 2);
    previous = c;
    if (c > max_cursor) max_cursor = c;
  }
  EXPECT_EQ(max_cursor, 6);
  EXPECT_EQ(index.cursor(), 0);
}

TEST(EpipolarHullIndex, BoundaryAnglesCountAsInside) {
  const View view = RightSquare();
  EpipolarHullIndex index;
  index.Build(view, Vec2(0, 0));
  Vec2 first, second;
  // Smallest angle: the direction of hull vertex 0.
  ASSERT_TRUE(index.CrossHull(Vec2(1, -1), &first, &second));
  ExpectNear(first, Vec2(1, -1));
  ExpectNear(second, Vec2(1, -1));
  // Largest angle: the direction of hull vertex 3.
  ASSERT_TRUE(index.CrossHull(Vec2(2, 2), &first, &second));
  EXPECT_EQ(index.cursor(), 2);
  ExpectNear(first, Vec2(1, 1));
  ExpectNear(second, Vec2(1, 1));
}

TEST(EpipolarHullIndex, BoundaryAngleStaysInTheSectorTheCursorCameFrom) {
  const View view = RightSquare();
  EpipolarHullIndex index;
  index.Build(view, Vec2(0, 0));
  const double boundary = index.sorted()[1].angle;
  index.SeekSector(boundary);  // from below
  EXPECT_EQ(index.cursor(), 0);
  index.SeekSector(index.sorted()[3].angle);
  EXPECT_EQ(index.cursor(), 2);
  index.SeekSector(boundary);  // from above
  EXPECT_EQ(index.cursor(), 1);

  // Both sectors give the same point through hull vertex 1.
  Vec2 first, second;
  ASSERT_TRUE(index.CrossHull(Vec2(3, -1), &first, &second));
  EXPECT_EQ(index.cursor(), 1);
  ExpectNear(first, Vec2(3, -1));
}

TEST(EpipolarHullIndex, OutsideTheSpanIsFalseAndLeavesOutputs) {
  const View view = RightSquare();
  EpipolarHullIndex index;
  index.Build(view, Vec2(0, 0));
  Vec2 first(7, 8), second(9, 10);
  ASSERT_TRUE(index.CrossHull(Vec2(2, 0.5), &first, &second));
  const int cursor = index.cursor();
  first = Vec2(7, 8);
  second = Vec2(9, 10);
  for (const Vec2& q : {Vec2(1, -1.0001), Vec2(1, -2), Vec2(-1, 0),
                        Vec2(0.9999, 1), Vec2(0, 1), Vec2(-2, -0.0001)}) {
    EXPECT_FALSE(index.CrossHull(q, &first, &second));
    EXPECT_EQ(first, Vec2(7, 8));
    EXPECT_EQ(second, Vec2(9, 10));
    EXPECT_EQ(index.cursor(), cursor);
  }
}

TEST(EpipolarHullIndex, TiesAreSortedByVertexNumber) {
  // Vertices 1 and 2 lie in the same direction from the epipole.
  const View triangle = ViewWithHull({{3, 2}, {2, 0}, {4, 0}});
  EpipolarHullIndex index;
  index.Build(triangle, Vec2(0, 0));
  ASSERT_EQ(index.sorted().size(), 3u);
  EXPECT_EQ(index.sorted()[0].vertex, 1);
  EXPECT_EQ(index.sorted()[1].vertex, 2);
  EXPECT_EQ(index.sorted()[0].angle, index.sorted()[1].angle);
  EXPECT_EQ(index.sorted()[2].vertex, 0);

  // Many ties in shuffled positions (the index does not need a convex hull
  // to sort): points along four directions whose atan2 is the same for
  // every distance. The order is by angle, then by vertex number.
  const Vec2 directions[4] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}};
  std::vector<Vec2> points;
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> pick(0, 3);
  std::vector<int> group;
  for (int k = 0; k < 40; ++k) {
    group.push_back(pick(rng));
    points.push_back(directions[group.back()] * (1.0 + k));
  }
  group[0] = 0;
  points[0] = directions[0];
  const View fan = ViewWithHull(points);
  index.Build(fan, Vec2(0, 0));
  ASSERT_EQ(index.sorted().size(), 40u);
  std::vector<int32_t> expected;
  for (int g = 0; g < 4; ++g) {
    for (int k = 0; k < 40; ++k) {
      if (group[k] == g) expected.push_back(k);
    }
  }
  for (std::size_t k = 0; k < 40; ++k) {
    EXPECT_EQ(index.sorted()[k].vertex, expected[k]) << k;
  }
}

TEST(EpipolarHullIndex, HullAngleLessOrdersByAngleThenVertex) {
  EXPECT_TRUE(HullAngleLess({0.1, 5}, {0.2, 1}));
  EXPECT_FALSE(HullAngleLess({0.2, 1}, {0.1, 5}));
  EXPECT_TRUE(HullAngleLess({0.1, 1}, {0.1, 2}));
  EXPECT_FALSE(HullAngleLess({0.1, 2}, {0.1, 2}));
}

TEST(EpipolarHullIndex, RelativeAnglesWrapIntoHalfOpenRange) {
  // A square on the far left: its directions straddle +-pi.
  const View view = ViewWithHull({{-1, 1}, {-3, 1}, {-3, -1}, {-1, -1}});
  EpipolarHullIndex index;
  index.Build(view, Vec2(0, 0));
  EXPECT_DOUBLE_EQ(index.referenceAngle(), 3 * kPi / 4);
  ASSERT_EQ(index.sorted().size(), 4u);
  const double expected[4] = {0, kPi / 4 - std::atan(1.0 / 3),
                              kPi / 4 + std::atan(1.0 / 3), kPi / 2};
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(index.sorted()[k].vertex, k);
    EXPECT_NEAR(index.sorted()[k].angle, expected[k], 1e-15);
  }
  EXPECT_NEAR(index.RelativeAngle(kPi), kPi / 4, 1e-15);
  EXPECT_NEAR(index.RelativeAngle(-kPi), kPi / 4, 1e-15);
  EXPECT_EQ(index.RelativeAngle(index.referenceAngle()), 0.0);

  // Directions just above and just below -pi: the same sector, the same
  // crossings.
  Vec2 first, second;
  ASSERT_TRUE(index.CrossHull(Vec2(-2, 1e-12), &first, &second));
  ExpectNear(first, Vec2(-3, 0), 1e-11);
  ExpectNear(second, Vec2(-1, 0), 1e-11);
  ASSERT_TRUE(index.CrossHull(Vec2(-2, -1e-12), &first, &second));
  ExpectNear(first, Vec2(-3, 0), 1e-11);
  ExpectNear(second, Vec2(-1, 0), 1e-11);
  EXPECT_EQ(index.cursor(), 1);

  // With vertex 0 seen at direction 0, the direction pi away is +pi from
  // either side, never -pi.
  const View right = ViewWithHull({{2, 0}, {3, 1}, {1, 1}});
  index.Build(right, Vec2(0, 0));
  EXPECT_EQ(index.referenceAngle(), 0.0);
  EXPECT_EQ(index.RelativeAngle(kPi), kPi);
  EXPECT_EQ(index.RelativeAngle(-kPi), kPi);
  EXPECT_EQ(index.RelativeAngle(-kPi / 2), -kPi / 2);
}

TEST(EpipolarHullIndex, RelativeAngleOfUnusualArguments) {
  const View view = RightSquare();
  EpipolarHullIndex index;
  index.Build(view, Vec2(0, 0));
  EXPECT_TRUE(std::isnan(index.RelativeAngle(kNaN)));
  EXPECT_TRUE(std::isnan(index.RelativeAngle(kInf)));
  EXPECT_TRUE(std::isnan(index.RelativeAngle(-kInf)));
  for (const double angle : {1e6, -1e6, 1e300, -1e300, 7.0, -7.0}) {
    const double d = index.RelativeAngle(angle);
    EXPECT_GT(d, -kPi) << angle;
    EXPECT_LE(d, kPi) << angle;
  }
  EXPECT_NEAR(index.RelativeAngle(-kPi / 4 + 5 * 2 * kPi + 0.5), 0.5, 1e-12);
}

TEST(EpipolarHullIndex, SecondIdenticalQueryKeepsCursorAndPoints) {
  const View view = ViewWithHull({{1, -1},
                                  {2, -1.2},
                                  {3, -1},
                                  {3.3, 0},
                                  {3, 1},
                                  {2, 1.2},
                                  {1, 1},
                                  {0.8, 0}});
  EpipolarHullIndex index;
  index.Build(view, Vec2(-1, 0.1));
  Vec2 a1, a2, b1, b2;
  ASSERT_TRUE(index.CrossHull(Vec2(2, 0.3), &a1, &a2));
  const int cursor = index.cursor();
  EXPECT_GT(cursor, 0);
  ASSERT_TRUE(index.CrossHull(Vec2(2, 0.3), &b1, &b2));
  EXPECT_EQ(index.cursor(), cursor);
  EXPECT_EQ(a1, b1);
  EXPECT_EQ(a2, b2);
}

TEST(EpipolarHullIndex, QueryAtEpipoleOrParallelToAnEdgeIsNotFinite) {
  const View view = RightSquare();
  EpipolarHullIndex index;
  // The epipole on the line of the bottom edge: the half-line along it is
  // parallel to that edge.
  index.Build(view, Vec2(0, -1));
  Vec2 first, second;
  ASSERT_TRUE(index.CrossHull(Vec2(2, -1), &first, &second));
  EXPECT_FALSE(IsFinite(first));
  ExpectNear(second, Vec2(1, -1));

  index.Build(view, Vec2(0, 0));
  // The query point is the epipole: r = (0, 0). Its direction atan2(0, 0)
  // = 0 lies in the span.
  ASSERT_TRUE(index.CrossHull(Vec2(0, 0), &first, &second));
  EXPECT_FALSE(IsFinite(first));
  EXPECT_FALSE(IsFinite(second));
}

TEST(EpipolarHullIndex, TwoVertexHullCrossesTheSegment) {
  const View view = ViewWithHull({{1, -1}, {1, 1}});
  EpipolarHullIndex index;
  index.Build(view, Vec2(0, 0));
  ASSERT_TRUE(index.IsUsable());
  ASSERT_EQ(index.sectors().size(), 1u);
  EXPECT_EQ(index.sectors()[0].ascending, 0);
  EXPECT_EQ(index.sectors()[0].descending, 1);
  Vec2 first, second;
  ASSERT_TRUE(index.CrossHull(Vec2(4, 2), &first, &second));
  ExpectNear(first, Vec2(1, 0.5));
  ExpectNear(second, Vec2(1, 0.5));
  EXPECT_EQ(index.cursor(), 0);
  EXPECT_FALSE(index.CrossHull(Vec2(1, 2), &first, &second));
}

// Every query answers false, leaves the outputs and the cursor alone.
void ExpectAnswersNothing(EpipolarHullIndex* index) {
  EXPECT_FALSE(index->IsUsable());
  EXPECT_TRUE(index->sorted().empty());
  EXPECT_TRUE(index->sectors().empty());
  const Vec2 queries[] = {{2, 0},    {0, 0},    {-5, 3},    {1, -1},
                          {kNaN, 0}, {kInf, 1}, {1e300, 0}, {3, 1}};
  for (const Vec2& q : queries) {
    Vec2 first(7, 8), second(9, 10);
    EXPECT_FALSE(index->CrossHull(q, &first, &second));
    EXPECT_EQ(first, Vec2(7, 8));
    EXPECT_EQ(second, Vec2(9, 10));
    EXPECT_EQ(index->cursor(), 0);
  }
  index->SeekSector(1.0);
  index->SeekSector(-1.0);
  EXPECT_EQ(index->cursor(), 0);
}

TEST(EpipolarHullIndex, FewerThanTwoHullVerticesAnswerFalse) {
  const View none = ViewWithHull({});
  const View one = ViewWithHull({{2, 0}});
  EpipolarHullIndex index;
  index.Build(none, Vec2(0, 0));
  EXPECT_TRUE(std::isnan(index.referenceAngle()));
  ExpectAnswersNothing(&index);
  index.Build(one, Vec2(0, 0));
  EXPECT_EQ(index.referenceAngle(), 0.0);
  ExpectAnswersNothing(&index);
  // A default index has not been built at all.
  EpipolarHullIndex fresh;
  ExpectAnswersNothing(&fresh);
}

TEST(EpipolarHullIndex, NaNEpipoleAnswersFalse) {
  const View view = RightSquare();
  EpipolarHullIndex index;
  for (const Vec2& e : {Vec2(kNaN, 0), Vec2(0, kNaN), Vec2(kNaN, kNaN)}) {
    index.Build(view, e);
    ExpectAnswersNothing(&index);
  }
}

TEST(EpipolarHullIndex, NaNVertexAngleAnswersFalse) {
  // Vertex 0 or a later vertex whose direction is not a number, as a
  // camera with a NaN parameter gives; and vertices at infinity whose
  // difference from an infinite epipole is NaN.
  const View first_nan = ViewWithHull({{kNaN, 1}, {3, -1}, {3, 1}});
  const View later_nan = ViewWithHull({{1, -1}, {3, -1}, {3, kNaN}, {1, 1}});
  const View at_infinity = ViewWithHull({{kInf, 1}, {3, -1}, {3, 1}});
  EpipolarHullIndex index;
  index.Build(first_nan, Vec2(0, 0));
  ExpectAnswersNothing(&index);
  index.Build(later_nan, Vec2(0, 0));
  ExpectAnswersNothing(&index);
  index.Build(at_infinity, Vec2(kInf, 0));
  ExpectAnswersNothing(&index);
}

TEST(EpipolarHullIndex, RebuildAfterQueriesResetsTheCursor) {
  const View view = RightSquare();
  EpipolarHullIndex index;
  index.Build(view, Vec2(0, 0));
  Vec2 first, second;
  ASSERT_TRUE(index.CrossHull(Vec2(1.5, 1), &first, &second));
  EXPECT_EQ(index.cursor(), 2);
  const View one = ViewWithHull({{2, 0}});
  index.Build(one, Vec2(0, 0));
  EXPECT_EQ(index.cursor(), 0);
  index.Build(view, Vec2(0, 0));
  EXPECT_EQ(index.cursor(), 0);
}

TEST(EpipolarHullIndex, InfiniteEpipoleKeepsTablesInBounds) {
  // A camera centre on another camera's focal plane: an infinite epipole.
  // Every vertex is seen in the same direction; answers need not be
  // finite, but the tables are consistent and the cursor stays in range.
  const View view = RightSquare();
  EpipolarHullIndex index;
  index.Build(view, Vec2(-kInf, 0));
  ASSERT_TRUE(index.IsUsable());
  for (const HullAngle& a : index.sorted()) EXPECT_EQ(a.angle, 0.0);
  Vec2 first, second;
  EXPECT_TRUE(index.CrossHull(Vec2(2, 0), &first, &second));
  EXPECT_GE(index.cursor(), 0);
  EXPECT_LE(index.cursor(), 2);
}

TEST(EpipolarHullIndex, CursorStaysInRangeForAnyQuery) {
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> coordinate(-10, 10);
  const View view = ViewWithHull({{1, -1},
                                  {2, -1.2},
                                  {3, -1},
                                  {3.3, 0},
                                  {3, 1},
                                  {2, 1.2},
                                  {1, 1},
                                  {0.8, 0}});
  const View segment = ViewWithHull({{1, -1}, {1, 1}});
  for (const View* v : {&view, &segment}) {
    EpipolarHullIndex index;
    index.Build(*v, Vec2(-1, 0.1));
    const int last = static_cast<int>(index.sectors().size()) - 1;
    for (int k = 0; k < 2000; ++k) {
      Vec2 q(coordinate(rng), coordinate(rng));
      if (k % 97 == 0) q = Vec2(kNaN, 1);
      if (k % 89 == 0) q = Vec2(kInf, -kInf);
      Vec2 first, second;
      index.CrossHull(q, &first, &second);
      index.SeekSector(coordinate(rng));
      ASSERT_GE(index.cursor(), 0);
      ASSERT_LE(index.cursor(), last);
    }
  }
}

TEST(EpipolarHullIndex, EpipoleInsideGivesEpipoleAndExitPoint) {
  const View square = ViewWithHull({{-1, -1}, {1, -1}, {1, 1}, {-1, 1}});
  EpipolarHullIndex index;
  index.Build(square, Vec2(0, 0));
  ASSERT_TRUE(index.IsUsable());
  EXPECT_TRUE(index.EpipoleInside());
  struct Case {
    Vec2 q;
    Vec2 exit;
  };
  // Every direction meets the hull, in the span of sorted angles or in the
  // gap past its end.
  const Case cases[] = {{{2, 1}, {1, 0.5}},     {{-2, -1}, {-1, -0.5}},
                        {{0.3, 1}, {0.3, 1}},   {{-1, 0.2}, {-1, 0.2}},
                        {{0, -4}, {0, -1}},     {{1, 1}, {1, 1}},
                        {{-0.5, 0.5}, {-1, 1}}, {{0.1, -0.2}, {0.5, -1}}};
  for (const Case& c : cases) {
    Vec2 first(7, 8), second(9, 10);
    ASSERT_TRUE(index.CrossHull(c.q, &first, &second)) << c.q.x << " " << c.q.y;
    EXPECT_EQ(first, Vec2(0, 0));
    ExpectNear(second, c.exit);
    EXPECT_GE(index.cursor(), 0);
    EXPECT_LE(index.cursor(), 2);
  }
  // Off-centre and clockwise.
  const View clockwise = ViewWithHull({{-1, -1}, {-1, 1}, {2, 1}, {2, -1}});
  index.Build(clockwise, Vec2(1.5, 0.5));
  EXPECT_TRUE(index.EpipoleInside());
  Vec2 first, second;
  ASSERT_TRUE(index.CrossHull(Vec2(0, 0.5), &first, &second));
  EXPECT_EQ(first, Vec2(1.5, 0.5));
  ExpectNear(second, Vec2(-1, 0.5));
  ASSERT_TRUE(index.CrossHull(Vec2(2.5, 0.5), &first, &second));
  ExpectNear(second, Vec2(2, 0.5));
}

TEST(EpipolarHullIndex, EpipoleOnAnEdgeGivesTheEpipoleAsOneCrossing) {
  const View square = ViewWithHull({{-1, -1}, {1, -1}, {1, 1}, {-1, 1}});
  EpipolarHullIndex index;
  index.Build(square, Vec2(1, 0));
  EXPECT_FALSE(index.EpipoleInside());
  Vec2 first, second;
  ASSERT_TRUE(index.CrossHull(Vec2(-1, 0.25), &first, &second));
  ExpectNear(first, Vec2(-1, 0.25));
  ExpectNear(second, Vec2(1, 0));
}

}  // namespace
}  // namespace silhouette
