#include "geometry/vec2.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "geometry/math_constants.h"
#include "geometry/polygon2.h"

namespace silhouette {
namespace {

constexpr double kBig = 1.7976931348623157e308;

TEST(Vec2, NormalizeReturnsTheLengthAndCutsOffAt1e8) {
  Vec2 v(3, 4);
  EXPECT_EQ(v.Normalize(), 5);
  EXPECT_EQ(v, Vec2(0.6000000000000001, 0.8));
  for (Vec2 tiny :
       {Vec2(0, 0), Vec2(1e-9, 0), Vec2(1e-8, 0), Vec2(std::nan(""), 1)}) {
    EXPECT_EQ(tiny.Normalize(), 0);
    EXPECT_EQ(tiny, Vec2(0, 0));
  }
}

TEST(Vec2, DivisionByZeroGivesTheLargestDouble) {
  EXPECT_EQ(Vec2(1, 2) / 0.0, Vec2(kBig, kBig));
  EXPECT_EQ(Vec2(1, 2) / -0.0, Vec2(kBig, kBig));
  EXPECT_EQ(Vec2(1, 2) / std::nan(""), Vec2(kBig, kBig));
  EXPECT_EQ(Vec2(1, 2) / 4.0, Vec2(0.25, 0.5));
}

TEST(Vec2, SignRotationAndProducts) {
  EXPECT_EQ(Sign(-0.0), 0.0);
  EXPECT_EQ(Sign(std::nan("")), -1.0);
  EXPECT_EQ(Sign(2.0), 1.0);
  EXPECT_EQ(Vec2(1, 0).RotatedCw(), Vec2(0, -1));
  EXPECT_EQ(Vec2(1, 2).Dot(Vec2(3, 4)), 11);
  EXPECT_EQ(Vec2(1, 0).Cross(Vec2(0, 1)), 1);
  EXPECT_EQ(-Vec2(1, -2), Vec2(-1, 2));
}

TEST(Vec2, LoadTimeConstants) {
  EXPECT_EQ(Vec2::kZero, Vec2(0, 0));
  EXPECT_EQ(Vec2::kUnitX, Vec2(1, 0));
  EXPECT_EQ(Vec2f::kUnitY, Vec2f(0, 1));
  EXPECT_EQ(MathConstants<double>::kPi, 3.141592653589793);
  EXPECT_EQ(MathConstants<double>::kTwoPi, 6.283185307179586);
  EXPECT_EQ(MathConstants<double>::kHalfPi, 1.5707963267948966);
  EXPECT_EQ(MathConstants<double>::kInvPi, 0.3183098861837907);
  EXPECT_EQ(MathConstants<double>::kInvTwoPi, 0.15915494309189535);
  EXPECT_EQ(MathConstants<double>::kRadPerDeg, 0.017453292519943295);
  EXPECT_EQ(MathConstants<double>::kDegPerRad, 57.29577951308232);
  EXPECT_EQ(MathConstants<float>::kPi, 3.14159265f);
  EXPECT_EQ(MathConstants<float>::kRadPerDeg, 3.14159265f * 0.0055555557f);
}

TEST(Polygon2, ReadsColumnMajorPairs) {
  const double data[] = {0, 1, 2, 3, 4, 5};
  const Polygon2 polygon = PolygonFromColumns(data, 3);
  ASSERT_EQ(polygon.size(), 3u);
  EXPECT_EQ(polygon[1], Vec2(2, 3));
  EXPECT_EQ(polygon[2], Vec2(4, 5));
}

}  // namespace
}  // namespace silhouette
