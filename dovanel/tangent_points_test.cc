#include "dovanel/tangent_points.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <utility>
#include <vector>

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

TEST(NegativeTurn, DecidesWhereSlopesAndTheirProductLeaveTheRange) {
  // Finite vectors whose y product underflows to 0, or whose slopes
  // overflow: the sign of the cross product, taken in extended precision
  // here, still decides.
  const double tiny = std::numeric_limits<double>::denorm_min();
  const std::vector<std::pair<Vec2, Vec2>> pairs = {
      {Vec2(1, 1e-310), Vec2(2, 1e-310)},
      {Vec2(-1.699755859375, -1e-300), Vec2(tiny, tiny)},
      {Vec2(1e-200, 1e-170), Vec2(3e-200, 2e-170)},
      {Vec2(1e300, 1e-10), Vec2(1e300, 2e-10)},
      {Vec2(-1e300, 1e-100), Vec2(1e300, -2e-100)},
  };
  for (const auto& [a, b] : pairs) {
    for (bool swapped : {false, true}) {
      const Vec2 u = swapped ? b : a;
      const Vec2 v = swapped ? a : b;
      const long double cross = static_cast<long double>(u.x) * v.y -
                                static_cast<long double>(u.y) * v.x;
      ASSERT_NE(cross, 0);
      EXPECT_EQ(NegativeTurn(u, v), cross < 0)
          << u.x << " " << u.y << " / " << v.x << " " << v.y;
    }
  }
}

TEST(TangentPoints, TinyHullsTouchTheSameVerticesAsTheirEnlargements) {
  // Powers of two change no direction: a hull and its copy scaled by
  // 2^-1000 (near the denormals) have the same tangent vertices.
  const Polygon2 hexagon = {{2, 0},  {1, 1.7},   {-1, 1.7},
                            {-2, 0}, {-1, -1.7}, {1, -1.7}};
  const Vec2 eyes[] = {Vec2(5, 1), Vec2(-3, 4), Vec2(0.5, -9), Vec2(7, -7)};
  Polygon2 tiny;
  for (const Vec2& p : hexagon)
    tiny.emplace_back(std::ldexp(p.x, -1000), std::ldexp(p.y, -1000));
  const View big_view =
      MakeView(MakeCamera(Mat4::kIdentity, 100, 0, 0), hexagon);
  const View tiny_view = MakeView(MakeCamera(Mat4::kIdentity, 100, 0, 0), tiny);
  for (const Vec2& e : eyes) {
    const TangentPair big = TangentPoints(big_view, e);
    const TangentPair small = TangentPoints(
        tiny_view, Vec2(std::ldexp(e.x, -1000), std::ldexp(e.y, -1000)));
    EXPECT_EQ(std::ldexp(small.first.x, 1000), big.first.x);
    EXPECT_EQ(std::ldexp(small.first.y, 1000), big.first.y);
    EXPECT_EQ(std::ldexp(small.second.x, 1000), big.second.x);
    EXPECT_EQ(std::ldexp(small.second.y, 1000), big.second.y);
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
