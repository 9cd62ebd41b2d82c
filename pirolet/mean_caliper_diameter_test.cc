#include "pirolet/mean_caliper_diameter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "geometry/planar_hull.h"

namespace silhouette {
namespace {

const double kPi = 3.141592653589793;

struct Measured {
  double meanDiam;
  double hullPerimeter;
  int numVertices;
};

Measured Measure(const Polygon2& polygon) {
  PlanarHull hull(static_cast<int32_t>(polygon.size()), polygon.data());
  EXPECT_TRUE(hull.Compute(0.001));
  const int32_t* idx = hull.VertexIndices(false);
  const int32_t n = hull.NumVertices();
  double perimeter = 0;
  for (int32_t k = 0; k < n; ++k) {
    perimeter += (polygon[idx[(k + 1) % n]] - polygon[idx[k]]).Length();
  }
  return {MeanCaliperDiameter(polygon, idx, n), perimeter, n};
}

TEST(MeanCaliperDiameter, KnownPolygons) {
  EXPECT_NEAR(Measure({{0, 0}, {1, 0}, {1, 1}, {0, 1}}).meanDiam,
              1.2732395447351628, 1e-15);
  EXPECT_NEAR(Measure({{0, 0}, {0, 1}, {1, 1}, {1, 0}}).meanDiam,
              1.2732395447351628, 1e-15);
  EXPECT_NEAR(Measure({{0, 0}, {4, 0}, {4, 1}, {0, 1}}).meanDiam,
              3.183098861837907, 1e-14);
  EXPECT_NEAR(Measure({{0, 0}, {1, 0}, {0, 1}}).meanDiam,
              (2 + std::sqrt(2.0)) / 3.141592653589793, 1e-15);
  const Measured concave = Measure({{0, 0}, {2, 0}, {1, 0.5}, {2, 2}, {0, 2}});
  EXPECT_NEAR(concave.meanDiam, 8 / kPi, 1e-14);
  EXPECT_EQ(concave.numVertices, 4);
  Polygon2 hexagon;
  for (int k = 0; k < 6; ++k) {
    hexagon.emplace_back(std::cos(k * kPi / 3), std::sin(k * kPi / 3));
  }
  EXPECT_NEAR(Measure(hexagon).meanDiam, 6 / kPi, 1e-14);
}

TEST(MeanCaliperDiameter, SegmentsAndPointsHaveTheLimitWidth) {
  // Hulls of fewer than three vertices: perimeter / pi of the degenerate
  // outline, 2 L / pi for a segment and 0 for a point.
  const Measured segment = Measure({{0, 0}, {3, 4}, {1.5, 2}});
  EXPECT_EQ(segment.numVertices, 2);
  EXPECT_NEAR(segment.meanDiam, 10 / kPi, 1e-14);
  const Measured point = Measure({{2, 2}, {2.0001, 2}, {2, 2.0002}});
  EXPECT_EQ(point.numVertices, 1);
  EXPECT_EQ(point.meanDiam, 0);
  EXPECT_EQ(MeanCaliperDiameter({}, nullptr, 0), 0);
}

void ExpectPerimeterOverPi(const Polygon2& polygon, const char* what,
                           double relative = 1e-13) {
  const Measured m = Measure(polygon);
  ASSERT_GE(m.numVertices, 3) << what;
  EXPECT_NEAR(m.meanDiam, m.hullPerimeter / kPi,
              relative * m.hullPerimeter / kPi)
      << what;
}

TEST(MeanCaliperDiameter, EqualsPerimeterOverPiOnRandomPolygons) {
  std::mt19937 rng(5);
  std::normal_distribution<double> normal(0, 1);
  for (int trial = 0; trial < 500; ++trial) {
    const int n = 3 + trial % 97;
    const double scale = std::pow(10.0, trial % 9 - 3);
    Polygon2 polygon;
    for (int i = 0; i < n; ++i) {
      polygon.emplace_back(scale * normal(rng) + 7 * scale,
                           scale * (trial % 3 + 1) * normal(rng));
    }
    ExpectPerimeterOverPi(polygon, "random points");
  }
}

// Regular k-gons snapped to a coarse grid have exactly parallel edges and
// exactly collinear vertices: steps that turn by nothing. Copies of the
// vertices moved outwards by far less than the hull's grid unit can both
// stay in the hull, a few 1e-12 apart.
TEST(MeanCaliperDiameter, ZeroTurnStepsAddNothing) {
  for (int k = 3; k <= 60; ++k) {
    for (double step : {1.0 / 512, 1.0 / 64, 1.0 / 4096}) {
      for (int copies_first = 0; copies_first < 2; ++copies_first) {
        Polygon2 grid, moved;
        for (int i = 0; i < k; ++i) {
          const double a = 2 * kPi * i / k;
          const Vec2 p(std::round(std::cos(a) / step) * step,
                       std::round(std::sin(a) / step) * step);
          grid.push_back(p);
          Vec2 out = p;
          out.Normalize();
          moved.push_back(p + out * 1e-12);
        }
        Polygon2 polygon = copies_first ? moved : grid;
        const Polygon2& second = copies_first ? grid : moved;
        polygon.insert(polygon.end(), second.begin(), second.end());
        ExpectPerimeterOverPi(grid, "grid polygon");
        // The sub-grid detours through the copies are dropped: a few 1e-12.
        ExpectPerimeterOverPi(polygon, "grid polygon with moved copies", 1e-10);
      }
    }
  }
}

TEST(MeanCaliperDiameter, SmallIntegerPointSets) {
  // Many exactly parallel edges and collinear points.
  std::mt19937 rng(9);
  std::normal_distribution<double> normal(0, 3);
  for (int trial = 0; trial < 2000; ++trial) {
    Polygon2 polygon;
    for (int i = 0; i < 3 + trial % 30; ++i) {
      polygon.emplace_back(std::round(normal(rng)), std::round(normal(rng)));
    }
    if (Measure(polygon).numVertices >= 3) {
      ExpectPerimeterOverPi(polygon, "integer points");
    }
  }
}

TEST(MeanCaliperDiameter, CollinearHullVerticesAndScaling) {
  // Point 4 extends an edge: the hull keeps three collinear vertices.
  const Polygon2 extended = {{0, 0}, {10, 0}, {5, 8}, {9, 4}, {8, 8}};
  ASSERT_EQ(Measure(extended).numVertices, 5);
  ExpectPerimeterOverPi(extended, "collinear vertices");
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> u(-1, 1);
  Polygon2 base;
  for (int i = 0; i < 40; ++i) base.emplace_back(u(rng), u(rng));
  const double d = Measure(base).meanDiam;
  for (double factor : {0.001, 0.0037, 3.0, 1e6}) {
    Polygon2 scaled;
    for (const Vec2& p : base) scaled.push_back(p * factor);
    EXPECT_NEAR(Measure(scaled).meanDiam, d * factor, 1e-12 * d * factor);
  }
}

// Lengths above about 1e154 overflow their squares. A polygon or segment
// scaled by 2^k measures 2^k times as much, bit for bit, as long as that
// is finite; beyond, the mean width is infinite.
TEST(MeanCaliperDiameter, HugeOutlinesMeasureAsTheirScaledDownCopies) {
  std::mt19937 rng(17);
  std::uniform_real_distribution<double> u(-1, 1);
  Polygon2 cloud;
  for (int i = 0; i < 200; ++i) cloud.emplace_back(u(rng), u(rng));
  Polygon2 circle;
  for (int i = 0; i < 64; ++i) {
    circle.emplace_back(std::cos(2 * kPi * i / 64), std::sin(2 * kPi * i / 64));
  }
  const std::vector<Polygon2> shapes = {
      cloud, circle, {{0, 0}, {1, 0}, {1, 1}, {0, 1}},
      {{-0.7, -0.7}, {0.7, 0.7}, {0.1, 0.1}},  // a segment
      {{0, 0}, {0.9, 0}, {0.3, 0}}};
  for (const Polygon2& shape : shapes) {
    PlanarHull hull(static_cast<int32_t>(shape.size()), shape.data());
    ASSERT_TRUE(hull.Compute(0.001));
    const int32_t* idx = hull.VertexIndices(false);
    const int32_t n = hull.NumVertices();
    const double small = MeanCaliperDiameter(shape, idx, n);
    for (int k : {100, 511, 512, 600, 1000, 1022}) {
      Polygon2 big;
      for (const Vec2& p : shape) {
        big.emplace_back(std::ldexp(p.x, k), std::ldexp(p.y, k));
      }
      EXPECT_EQ(MeanCaliperDiameter(big, idx, n), std::ldexp(small, k))
          << n << " vertices, k " << k;
    }
  }
  // A segment longer than the largest double, whose mean width (twice its
  // length over pi) is not.
  const Polygon2 long_segment = {{-0.8e308, -0.8e308}, {0.8e308, 0.8e308}};
  const int32_t ends[2] = {0, 1};
  const double expected = 4 * std::sqrt(2.0) * (0.8e308 / kPi);
  EXPECT_NEAR(MeanCaliperDiameter(long_segment, ends, 2), expected,
              1e-15 * expected);
  // A square of side 1.5e308: its perimeter over pi exceeds the largest
  // double.
  const Polygon2 square = {{0, 0}, {1.5e308, 0}, {1.5e308, 1.5e308},
                           {0, 1.5e308}};
  const int32_t corners[4] = {0, 1, 2, 3};
  EXPECT_EQ(MeanCaliperDiameter(square, corners, 4), HUGE_VAL);
}

// Lengths below about 1e-154 underflow their squares: a segment or a
// polygon that small still measures its perimeter over pi, to the
// precision its size allows (denormal results carry fewer digits).
TEST(MeanCaliperDiameter, TinyOutlinesDoNotUnderflow) {
  const double tiny = std::numeric_limits<double>::denorm_min();
  struct Case {
    const char* what;
    Polygon2 points;
    std::vector<int32_t> ring;
    long double perimeter;
  };
  const Case cases[] = {
      {"segment 1e-200 long", {{0, 0}, {0.6e-200, 0.8e-200}}, {0, 1},
       2e-200L},
      {"segment of denormals", {{0, 0}, {3 * tiny, 4 * tiny}}, {1, 0},
       10.0L * tiny},
      {"triangle of denormals", {{0, 0}, {4e-310, 0}, {0, 3e-310}},
       {0, 1, 2}, 12e-310L},
  };
  for (const Case& c : cases) {
    const double got = MeanCaliperDiameter(
        c.points, c.ring.data(), static_cast<int32_t>(c.ring.size()));
    const long double expected = c.perimeter / kPi;
    EXPECT_NEAR(static_cast<long double>(got), expected,
                1e-14L * expected + tiny)
        << c.what;
  }
}

}  // namespace
}  // namespace silhouette
