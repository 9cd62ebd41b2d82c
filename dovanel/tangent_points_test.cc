#include "dovanel/tangent_points.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "dovanel/two_set_scene.h"
#include "geometry/mat4.h"

namespace silhouette {
namespace {

using testing::MakeCamera;
using testing::MakeView;

View Square(bool reversed) {
  Polygon2 square = {Vec2(0, 0), Vec2(10, 0), Vec2(10, 10), Vec2(0, 10)};
  View view = MakeView(MakeCamera(Mat4::kIdentity, 100, 0, 0), square);
  if (reversed) std::reverse(view.hull.begin(), view.hull.end());
  return view;
}

TEST(NegativeTurn, AgreesWithTheCrossProductSign) {
  // p > 0, p < 0, and the four sign cases with a zero y.
  EXPECT_TRUE(NegativeTurn(Vec2(1, 1), Vec2(2, 1)));
  EXPECT_FALSE(NegativeTurn(Vec2(2, 1), Vec2(1, 1)));
  EXPECT_TRUE(NegativeTurn(Vec2(-1, -1), Vec2(-2, -1)));
  EXPECT_TRUE(NegativeTurn(Vec2(1, 1), Vec2(1, -1)));
  EXPECT_FALSE(NegativeTurn(Vec2(1, -1), Vec2(1, 1)));
  EXPECT_FALSE(NegativeTurn(Vec2(-1, 1), Vec2(-1, -1)));
  // A.y = 0: A.x > 0 wants B.y < 0, otherwise B.y > 0.
  EXPECT_TRUE(NegativeTurn(Vec2(1, 0), Vec2(3, -2)));
  EXPECT_FALSE(NegativeTurn(Vec2(1, 0), Vec2(3, 2)));
  EXPECT_FALSE(NegativeTurn(Vec2(1, 0), Vec2(3, 0)));
  EXPECT_TRUE(NegativeTurn(Vec2(-1, 0), Vec2(3, 2)));
  EXPECT_FALSE(NegativeTurn(Vec2(-1, 0), Vec2(3, -2)));
  EXPECT_FALSE(NegativeTurn(Vec2(0, 0), Vec2(3, -2)));
  EXPECT_TRUE(NegativeTurn(Vec2(0, 0), Vec2(3, 2)));
  // A.y != 0, B.y = 0: B.x > 0 wants A.y > 0, otherwise A.y < 0.
  EXPECT_TRUE(NegativeTurn(Vec2(5, 1), Vec2(2, 0)));
  EXPECT_FALSE(NegativeTurn(Vec2(5, -1), Vec2(2, 0)));
  EXPECT_TRUE(NegativeTurn(Vec2(5, -1), Vec2(-2, 0)));
  EXPECT_FALSE(NegativeTurn(Vec2(5, 1), Vec2(-2, 0)));
  EXPECT_TRUE(NegativeTurn(Vec2(5, -1), Vec2(0, 0)));
}

TEST(NegativeTurn, MatchesTheCrossProductOnRandomVectors) {
  std::mt19937 rng(3);
  std::uniform_int_distribution<int> coordinate(-4, 4);
  for (int trial = 0; trial < 2000; ++trial) {
    const Vec2 a(coordinate(rng), coordinate(rng));
    const Vec2 b(coordinate(rng), coordinate(rng));
    if (a.y == 0 && a.x == 0) continue;
    if (b.y == 0 && b.x == 0) continue;
    // Both y zero: only the signs decide, not the cross product (0).
    if (a.y == 0 && b.y == 0) continue;
    EXPECT_EQ(NegativeTurn(a, b), a.Cross(b) < 0)
        << a.x << " " << a.y << " / " << b.x << " " << b.y;
  }
}

TEST(TangentPoints, SquareSeenFromTheRight) {
  for (bool reversed : {false, true}) {
    const TangentPair t = TangentPoints(Square(reversed), Vec2(20, 5));
    EXPECT_EQ(t.first, Vec2(10, 10)) << reversed;
    EXPECT_EQ(t.second, Vec2(10, 0)) << reversed;
  }
}

TEST(TangentPoints, SquareSeenFromTheLeft) {
  for (bool reversed : {false, true}) {
    const TangentPair t = TangentPoints(Square(reversed), Vec2(-20, 5));
    EXPECT_EQ(t.first, Vec2(0, 0)) << reversed;
    EXPECT_EQ(t.second, Vec2(0, 10)) << reversed;
  }
}

TEST(TangentPoints, TouchesTheTangentsFromAnyOutsidePoint) {
  // A regular 12-gon of radius 10; every other vertex lies on the positive
  // side of the line from e through `first` and on the negative side of the
  // line through `second`.
  Polygon2 polygon;
  for (int k = 0; k < 12; ++k) {
    const double a = k * 3.141592653589793 / 6;
    polygon.push_back(Vec2(10 * std::cos(a), 10 * std::sin(a)));
  }
  const View view = MakeView(MakeCamera(Mat4::kIdentity, 100, 0, 0), polygon);
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> angle(0, 6.283185307179586);
  for (int trial = 0; trial < 200; ++trial) {
    const double a = angle(rng);
    const Vec2 e(25 * std::cos(a), 25 * std::sin(a));
    const TangentPair t = TangentPoints(view, e);
    for (const Vec2& p : polygon) {
      EXPECT_GE((t.first - e).Cross(p - e), -1e-9);
      EXPECT_LE((t.second - e).Cross(p - e), 1e-9);
    }
    EXPECT_NE(t.first, t.second);
  }
}

TEST(TangentPoints, OneVertexHull) {
  const View view =
      MakeView(MakeCamera(Mat4::kIdentity, 100, 0, 0), Polygon2{Vec2(3, 4)});
  const TangentPair t = TangentPoints(view, Vec2(20, 5));
  EXPECT_EQ(t.first, Vec2(3, 4));
  EXPECT_EQ(t.second, Vec2(3, 4));
}

}  // namespace
}  // namespace silhouette
