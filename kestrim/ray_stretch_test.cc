#include "kestrim/ray_stretch.h"

#include <gtest/gtest.h>

#include <limits>

namespace silhouette {
namespace {

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

struct NarrowCase {
  const char* what;
  double c0;
  double c1;
  bool strict;
  bool empty;
  double lower;
  double upper;
};

// Each case narrows the stretch [1, 4].
const NarrowCase kCases[] = {
    {"lower bound inside", -2, 1, false, false, 2, 4},
    {"lower bound below", 0, 1, false, false, 1, 4},
    {"upper bound inside", 3, -1, false, false, 1, 3},
    {"upper bound above", 6, -1, false, false, 1, 4},
    {"lower bound at the upper end", -4, 1, false, false, 4, 4},
    {"upper bound at the lower end", 1, -1, false, false, 1, 1},
    {"lower bound past the upper end", -5, 1, false, true, 0, 0},
    {"upper bound before the lower end", 0.5, -1, false, true, 0, 0},
    {"c1 = 0, c0 > 0 holds everywhere", 1, 0, false, false, 1, 4},
    {"c1 = 0, c0 = 0 holds everywhere", 0, 0, false, false, 1, 4},
    {"c1 = 0, c0 = 0 strictly holds nowhere", 0, 0, true, true, 0, 0},
    {"c1 = 0, c0 < 0 holds nowhere", -1, 0, false, true, 0, 0},
    {"c1 = -0, c0 = 0 holds everywhere", 0, -0.0, false, false, 1, 4},
    {"c0 not a number", kNaN, 1, false, true, 0, 0},
    {"c1 not a number", 1, kNaN, false, true, 0, 0},
    {"c1 = 0, c0 not a number", kNaN, 0, false, true, 0, 0},
    {"infinite over infinite", kInf, kInf, false, true, 0, 0},
    {"infinite c0 bounds nothing", kInf, -1, false, false, 1, 4},
    {"infinite c1 bounds at 0", 1, kInf, false, false, 1, 4},
    {"strict bound is kept", -3, 1, true, false, 3, 4},
};

TEST(RayStretch, NarrowsByOneSignedCondition) {
  for (const NarrowCase& c : kCases) {
    SCOPED_TRACE(c.what);
    RayStretch stretch;
    stretch.lower = 1;
    stretch.upper = 4;
    if (c.strict) {
      NarrowRayStretchStrictly(c.c0, c.c1, &stretch);
    } else {
      NarrowRayStretch(c.c0, c.c1, &stretch);
    }
    EXPECT_EQ(stretch.IsEmpty(), c.empty);
    if (!c.empty) {
      EXPECT_EQ(stretch.lower, c.lower);
      EXPECT_EQ(stretch.upper, c.upper);
    }
  }
}

// A condition failing at s = 0 and worsening along the ray leaves nothing
// of the whole forward ray, also where its bound -c0 / c1 underflows to
// -0 (ray_clip's finding: a centre 1e-182 behind the camera, a direction
// 1e274 long); one holding at s = 0 and failing beyond a bound that
// underflows to 0 leaves the point s = 0.
TEST(RayStretch, ConditionsFailingAlongTheWholeRayLeaveNothing) {
  struct Case {
    const char* what;
    double c0;
    double c1;
    bool empty;
  };
  const Case cases[] = {
      {"negative bound", -1, -1, true},
      {"bound underflowing to -0", -1e-300, -1e300, true},
      {"subnormal c0", -0x1p-1074, -1, true},
      {"c0 = 0 holds at the start", 0, -1, false},
      {"c0 = -0 holds at the start", -0.0, -1, false},
      {"bound underflowing to 0", 1e-300, -1e300, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const bool strict : {false, true}) {
      RayStretch stretch;
      if (strict) {
        NarrowRayStretchStrictly(c.c0, c.c1, &stretch);
      } else {
        NarrowRayStretch(c.c0, c.c1, &stretch);
      }
      EXPECT_EQ(stretch.IsEmpty(), c.empty);
    }
  }
}

TEST(RayStretch, StartsAsTheWholeForwardRay) {
  RayStretch stretch;
  EXPECT_FALSE(stretch.IsEmpty());
  EXPECT_EQ(stretch.lower, 0);
  EXPECT_EQ(stretch.upper, kInf);
  // Behind the start every bound is dropped.
  NarrowRayStretch(5, 1, &stretch);
  EXPECT_EQ(stretch.lower, 0);
}

TEST(RayStretch, EmptyStaysEmpty) {
  // Once a condition leaves nothing, later ones (even a NaN lower bound
  // that would be replaced) cannot bring the stretch back.
  RayStretch stretch;
  NarrowRayStretch(1, kNaN, &stretch);
  ASSERT_TRUE(stretch.IsEmpty());
  NarrowRayStretch(-1, 1, &stretch);
  NarrowRayStretch(3, -1, &stretch);
  EXPECT_TRUE(stretch.IsEmpty());

  RayStretch crossed;
  NarrowRayStretch(-3, 1, &crossed);
  NarrowRayStretch(2, -1, &crossed);
  ASSERT_TRUE(crossed.IsEmpty());
  NarrowRayStretch(0, 0, &crossed);
  EXPECT_TRUE(crossed.IsEmpty());
}

}  // namespace
}  // namespace silhouette
