// MeanCaliperDiameter against the plain version it replaced, bit for bit,
// on the hulls of varied point sets and on adversarial rings.
#include "pirolet/testing/reference_mean_caliper_diameter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numeric>
#include <vector>

#include "geometry/planar_hull.h"
#include "geometry/testing/hull_point_sets.h"
#include "pirolet/mean_caliper_diameter.h"

namespace silhouette {
namespace {

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(ReferenceMeanCaliperDiameter, SameBitsOnTheHullsOfEveryNamedSet) {
  for (const testing::HullPointSet& set : testing::HullPointSets(true)) {
    const int32_t n = static_cast<int32_t>(set.points.size());
    PlanarHull hull(n, set.points.data());
    hull.Compute(set.tolerance);
    const int32_t* list = hull.VertexIndices(false);
    const int32_t count = hull.NumVertices();
    // The literal calipers square a segment's length, which underflows
    // below about 1e-154 (0 for a positive length); the current ones
    // measure such segments at unit scale (mean_caliper_diameter_test.cc).
    if (count == 2) {
      const Vec2 d = set.points[list[1]] - set.points[list[0]];
      if (std::fmax(std::abs(d.x), std::abs(d.y)) < 0x1p-500) continue;
    }
    EXPECT_TRUE(SameBits(MeanCaliperDiameter(set.points, list, count),
                         ReferenceMeanCaliperDiameter(set.points, list, count)))
        << set.name;
  }
}

// Rings the hull would not make: every point of a random set in boundary
// order around its centre (dents, repeats, sub-unit steps), and convex
// rings with parallel edges, tiny edges and huge or tiny scales.
TEST(ReferenceMeanCaliperDiameter, SameBitsOnAdversarialRings) {
  testing::SplitMix rng(31);
  const double scales[] = {1, 1e-9, 1e9, 0x1p-500, 0x1p500, 3.7};
  for (int trial = 0; trial < 3000; ++trial) {
    const int n = 1 + static_cast<int>(rng.Below(trial % 10 == 0 ? 400 : 24));
    Polygon2 ring;
    switch (trial % 4) {
      case 0:  // a regular-ish convex ring
        for (const Vec2& c : testing::CirclePoints(4 * (n / 4 + 1))) {
          ring.push_back(c);
        }
        break;
      case 1:  // a rectangle with points along its sides: parallel edges
        for (int k = 0; k <= n; ++k) ring.emplace_back(k, 0);
        for (int k = n; k >= 0; --k) ring.emplace_back(k, 3);
        break;
      case 2:  // random points, repeats included
        for (int k = 0; k < n; ++k) {
          ring.emplace_back(static_cast<double>(rng.Below(5)),
                            static_cast<double>(rng.Below(5)));
        }
        break;
      default:  // a circle with sub-unit jitter
        for (const Vec2& c : testing::CirclePoints(4 * (n / 4 + 1))) {
          ring.emplace_back(c.x + 1e-9 * rng.Unit(), c.y - 1e-9 * rng.Unit());
        }
        break;
    }
    const double scale = scales[rng.Below(6)];
    for (Vec2& p : ring) p = p * scale;
    std::vector<int32_t> order(ring.size());
    std::iota(order.begin(), order.end(), 0);
    const int32_t count = static_cast<int32_t>(ring.size());
    ASSERT_TRUE(SameBits(MeanCaliperDiameter(ring, order.data(), count),
                         ReferenceMeanCaliperDiameter(ring, order.data(), count)))
        << "trial " << trial;
  }
}

}  // namespace
}  // namespace silhouette
