#include "geometry/planar_hull.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <vector>

namespace silhouette {
namespace {

struct HullResult {
  bool ok;
  int dimension;
  std::vector<int32_t> indices;
  Vec2 direction;
};

HullResult Hull(const std::vector<Vec2>& points, double tolerance = 0.001) {
  PlanarHull hull(static_cast<int32_t>(points.size()), points.data());
  HullResult r;
  r.ok = hull.Compute(tolerance);
  r.dimension = hull.dimension;
  const int32_t* list = hull.VertexIndices(false);
  r.indices.assign(list, list + hull.NumVertices());
  r.direction = hull.lineDirection;
  return r;
}

using Indices = std::vector<int32_t>;

TEST(PlanarHull, SmallPolygonsInTheirDocumentedOrder) {
  EXPECT_EQ(Hull({{0, 0}, {1, 0}, {0, 1}}).indices, (Indices{0, 1, 2}));
  EXPECT_EQ(Hull({{0, 0}, {1, 0}, {1, 1}, {0, 1}}).indices,
            (Indices{2, 3, 0, 1}));
  EXPECT_EQ(Hull({{0, 0}, {0, 1}, {1, 1}, {1, 0}}).indices,
            (Indices{0, 3, 2, 1}));
  // Point 4 extends the edge 1 -> 3 along its line: 1, 3 and 4 all stay.
  EXPECT_EQ(Hull({{0, 0}, {10, 0}, {5, 8}, {9, 4}, {8, 8}}).indices,
            (Indices{3, 4, 2, 0, 1}));
  const HullResult triangle = Hull({{0, 0}, {1, 0}, {0, 1}});
  EXPECT_TRUE(triangle.ok);
  EXPECT_EQ(triangle.dimension, 2);
}

TEST(PlanarHull, PointsOnEdgesAndInsideAreLeftOut) {
  // (2, 0) on an edge, (1, 1) inside, (4, 4) a repeated corner.
  const HullResult r =
      Hull({{0, 0}, {4, 0}, {2, 0}, {4, 4}, {1, 1}, {0, 4}, {4, 4}});
  std::vector<int32_t> sorted = r.indices;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted, (Indices{0, 1, 3, 5}));
}

TEST(PlanarHull, PointsAndSegments) {
  const HullResult line = Hull({{0, 0}, {1, 1}, {2, 2}});
  EXPECT_EQ(line.dimension, 1);
  EXPECT_EQ(line.indices, (Indices{0, 2}));
  EXPECT_EQ(line.direction, Vec2(0.7071067811865475, 0.7071067811865475));
  const HullResult copies = Hull({{5, 5}, {5, 5}, {5, 5}});
  EXPECT_EQ(copies.dimension, 0);
  EXPECT_EQ(copies.indices, (Indices{0}));
  const HullResult close = Hull({{3, 3}, {3.0004, 3.0001}, {3.0002, 2.9999}});
  EXPECT_EQ(close.dimension, 0);
  EXPECT_EQ(close.indices, (Indices{0}));
  // Thinner than 0.001 of its length: a segment from the x extremes.
  const HullResult thin = Hull({{5, 0}, {0, 0}, {10, 0.005}, {4, -0.001}});
  EXPECT_EQ(thin.dimension, 1);
  EXPECT_EQ(thin.indices, (Indices{1, 2}));
}

// With a tolerance of 0, sets whose distances from the line through the
// extremes are only roundings (a point's distance from the line through
// itself and another included) are flat at the grid's resolution: they are
// the segment between the extremes, not refused.
TEST(PlanarHull, SetsFlatWithinTheirRoundingsAreSegmentsAtToleranceZero) {
  struct Case {
    const char* what;
    std::vector<Vec2> points;
    Indices ends;
  };
  const Case cases[] = {
      {"two points", {{0, 63}, {60, 0.5}}, {1, 0}},
      {"two points, x the longer side", {{0.1, 0.7}, {3.3, 0.3}}, {0, 1}},
      {"three points on y = x / 3",
       {{0.1, 0.1 / 3}, {0.7, 0.7 / 3}, {1.9, 1.9 / 3}}, {0, 2}},
      {"four points exactly on y = 7 x / 3, off it on the grid",
       {{40.125, 93.625}, {36.375, 84.875}, {0.375, 0.875}, {0, 0}},
       {3, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const HullResult r = Hull(c.points, 0);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.dimension, 1);
    EXPECT_EQ(r.indices, c.ends);
  }
}

TEST(PlanarHull, ToleranceBelowZeroActsAsZero) {
  const std::vector<Vec2> square = {{0, 0}, {1e-4, 0}, {1e-4, 1e-4}, {0, 1e-4}};
  EXPECT_EQ(Hull(square, 0.001).dimension, 0);
  EXPECT_EQ(Hull(square, -1).indices, (Indices{2, 3, 0, 1}));
  EXPECT_EQ(Hull(square, std::nan("")).indices, (Indices{2, 3, 0, 1}));
  // With tolerance 0, coincident and collinear points still classify.
  EXPECT_EQ(Hull({{1, 1}, {1, 1}}, 0).dimension, 0);
  const HullResult collinear = Hull({{0, 0}, {2, 2}, {1, 1}}, 0);
  EXPECT_EQ(collinear.dimension, 1);
  EXPECT_EQ(collinear.indices, (Indices{0, 1}));
}

TEST(PlanarHull, RefusesWhatItCannotMeasure) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_FALSE(Hull({}).ok);
  EXPECT_FALSE(Hull({{0, 0}, {1, std::nan("")}, {0, 1}}).ok);
  EXPECT_FALSE(Hull({{0, 0}, {inf, 0}, {0, 1}}).ok);
  const HullResult overflow = Hull({{-1e308, 0}, {1e308, 0}, {0, 1e308}});
  EXPECT_FALSE(overflow.ok);
  EXPECT_TRUE(overflow.indices.empty());
}

TEST(PlanarHull, ReleaseHandsTheListOver) {
  const std::vector<Vec2> pts = {{0, 0}, {1, 0}, {0, 1}};
  PlanarHull hull(3, pts.data());
  ASSERT_TRUE(hull.Compute(0.001));
  std::unique_ptr<int32_t[]> list(hull.VertexIndices(true));
  EXPECT_EQ(list[2], 2);
  EXPECT_EQ(hull.NumVertices(), 0);
  ASSERT_TRUE(hull.Compute(0.001));  // recomputes, reusing its grid
  EXPECT_EQ(hull.NumVertices(), 3);
}

// Extents above about 1e154 overflow the squares of a length. Such sets
// are measured at an exact power-of-two fraction of their size: the hull of
// a set scaled by 2^k is the hull of the set, and its line the set's line
// (the origin scaled alike), up to extents near the largest double.
TEST(PlanarHull, HugeExtentsGiveTheHullOfTheSetScaledDown) {
  std::vector<std::pair<const char*, std::vector<Vec2>>> shapes;
  std::vector<Vec2> disc, square, outline;
  std::mt19937 rng(13);
  std::uniform_real_distribution<double> unit(-1, 1);
  while (disc.size() < 400) {
    const Vec2 p(unit(rng), unit(rng));
    if (p.Dot(p) <= 1) disc.push_back(p);
  }
  for (int i = 0; i < 300; ++i) square.emplace_back(unit(rng), unit(rng));
  for (int i = 0; i < 500; ++i) {
    const double a = 2 * M_PI * i / 500;
    const double r = 0.6 + 0.05 * std::sin(7 * a);
    outline.emplace_back(std::round(1000 * r * std::cos(a)) / 1024,
                         std::round(700 * r * std::sin(a)) / 1024);
  }
  shapes.push_back({"disc", disc});
  shapes.push_back({"square", square});
  shapes.push_back({"traced outline", outline});
  shapes.push_back({"segment", {{0, 0}, {0.75, -0.5}, {0.25, -0.5 / 3}}});
  shapes.push_back({"thin", {{-0.5, 0}, {0.5, 0.0001}, {0, 0.0003}, {0.1, 0}}});
  for (const auto& shape : shapes) {
    const HullResult small = Hull(shape.second);
    ASSERT_TRUE(small.ok) << shape.first;
    PlanarHull small_hull(static_cast<int32_t>(shape.second.size()),
                          shape.second.data());
    ASSERT_TRUE(small_hull.Compute(0.001));
    for (int k : {500, 511, 512, 513, 600, 900, 1022}) {
      std::vector<Vec2> big = shape.second;
      for (Vec2& p : big) p = Vec2(std::ldexp(p.x, k), std::ldexp(p.y, k));
      PlanarHull hull(static_cast<int32_t>(big.size()), big.data());
      ASSERT_TRUE(hull.Compute(0.001)) << shape.first << " k " << k;
      const int32_t* list = hull.VertexIndices(false);
      EXPECT_EQ(Indices(list, list + hull.NumVertices()), small.indices)
          << shape.first << " k " << k;
      EXPECT_EQ(hull.dimension, small.dimension) << shape.first << " k " << k;
      EXPECT_EQ(hull.lineDirection, small_hull.lineDirection) << shape.first;
      EXPECT_EQ(hull.lineOrigin.x, std::ldexp(small_hull.lineOrigin.x, k));
      EXPECT_EQ(hull.lineOrigin.y, std::ldexp(small_hull.lineOrigin.y, k));
    }
  }
}

// Strictly convex corners of a counter-clockwise index ring.
std::vector<Vec2> Corners(const std::vector<Vec2>& pts, const Indices& ring) {
  std::vector<Vec2> corners;
  const std::size_t n = ring.size();
  for (std::size_t k = 0; k < n; ++k) {
    const Vec2 a = pts[ring[(k + n - 1) % n]];
    const Vec2 b = pts[ring[k]];
    const Vec2 c = pts[ring[(k + 1) % n]];
    const double turn = (b - a).Cross(c - b);
    EXPECT_GE(turn, 0) << "ring turns clockwise at position " << k;
    if (turn > 0) corners.push_back(b);
  }
  return corners;
}

// Reference: monotone chain on exact small-integer coordinates.
std::vector<Vec2> ReferenceCorners(std::vector<Vec2> pts) {
  std::sort(pts.begin(), pts.end(), [](const Vec2& a, const Vec2& b) {
    return a.x < b.x || (a.x == b.x && a.y < b.y);
  });
  std::vector<Vec2> hull(2 * pts.size());
  std::size_t k = 0;
  for (std::size_t i = 0; i < pts.size(); ++i) {
    while (k >= 2 &&
           (hull[k - 1] - hull[k - 2]).Cross(pts[i] - hull[k - 2]) <= 0)
      --k;
    hull[k++] = pts[i];
  }
  for (std::size_t i = pts.size() - 1, t = k + 1; i-- > 0;) {
    while (k >= t &&
           (hull[k - 1] - hull[k - 2]).Cross(pts[i] - hull[k - 2]) <= 0)
      --k;
    hull[k++] = pts[i];
  }
  hull.resize(k - 1);
  return hull;
}

bool SameCycle(const std::vector<Vec2>& a, const std::vector<Vec2>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t shift = 0; shift < a.size(); ++shift) {
    bool same = true;
    for (std::size_t k = 0; k < a.size() && same; ++k) {
      same = a[(k + shift) % a.size()] == b[k];
    }
    if (same) return true;
  }
  return a.empty();
}

TEST(PlanarHull, MatchesAnExactReferenceOnIntegerPoints) {
  std::mt19937 rng(11);
  for (int trial = 0; trial < 300; ++trial) {
    // Extent exactly 1024 on x: the grid scale is then exact.
    std::uniform_int_distribution<int> coordinate(0, 1024);
    const int n = 3 + trial % 60;
    std::vector<Vec2> pts;
    pts.emplace_back(0, coordinate(rng) % 512);
    pts.emplace_back(1024, coordinate(rng) % 512);
    for (int i = 2; i < n; ++i) {
      pts.emplace_back(coordinate(rng), coordinate(rng) % 1000);
    }
    std::shuffle(pts.begin(), pts.end(), rng);
    const HullResult r = Hull(pts);
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.dimension, 2);
    EXPECT_TRUE(SameCycle(Corners(pts, r.indices), ReferenceCorners(pts)))
        << "trial " << trial;
  }
}

TEST(PlanarHull, MatchesTheReferenceOnLargeShuffledSets) {
  std::mt19937 rng(12);
  for (int trial = 0; trial < 6; ++trial) {
    // Integer points on and inside a circle of radius 512, extent 1024.
    std::vector<Vec2> pts = {{0, 512}, {1024, 512}};
    std::uniform_real_distribution<double> angle(0, 2 * M_PI);
    for (int i = 0; i < 3000; ++i) {
      const double a = angle(rng);
      const double r = trial % 2 ? 511 : 511 * std::sqrt(angle(rng) / 7);
      pts.emplace_back(std::round(512 + r * std::cos(a)),
                       std::round(512 + r * std::sin(a)));
    }
    std::shuffle(pts.begin(), pts.end(), rng);
    const HullResult r = Hull(pts);
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(SameCycle(Corners(pts, r.indices), ReferenceCorners(pts)))
        << "trial " << trial;
  }
}

TEST(PlanarHull, BoundaryOrderedCirclesKeepEveryVertex) {
  for (int n : {3, 7, 64, 500}) {
    std::vector<Vec2> pts;
    for (int i = 0; i < n; ++i) {
      const double a = 2 * 3.141592653589793 * i / n;
      pts.emplace_back(300 + 100 * std::cos(a), 200 + 100 * std::sin(a));
    }
    const HullResult r = Hull(pts);
    ASSERT_EQ(static_cast<int>(r.indices.size()), n);
    // Counter-clockwise and consecutive.
    for (int k = 0; k < n; ++k) {
      EXPECT_EQ(r.indices[(k + 1) % n], (r.indices[k] + 1) % n);
    }
  }
}

}  // namespace
}  // namespace silhouette
