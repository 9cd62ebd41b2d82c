// PlanarHull against the plain incremental hull it replaced
// (ReferencePlanarHull): the same success, dimension, index list and line
// fields, bit for bit, on many varied and adversarial point sets.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "geometry/planar_hull.h"
#include "geometry/testing/hull_point_sets.h"
#include "geometry/testing/reference_planar_hull.h"

namespace silhouette {
namespace {

using testing::HullPointSet;
using testing::SplitMix;

bool SameBits(const Vec2& a, const Vec2& b) {
  return std::memcmp(&a, &b, sizeof(Vec2)) == 0;
}

// The larger side of the bounding box; infinite when a coordinate or the
// range is not finite.
double Extent(const std::vector<Vec2>& points) {
  if (points.empty()) return 0;
  Vec2 lo = points[0], hi = points[0];
  for (const Vec2& p : points) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return HUGE_VAL;
    lo = Vec2(std::min(lo.x, p.x), std::min(lo.y, p.y));
    hi = Vec2(std::max(hi.x, p.x), std::max(hi.y, p.y));
  }
  return std::max(hi.x - lo.x, hi.y - lo.y);
}

// Compares every output of the two hulls; returns an empty string when they
// agree, else what differs. The plain hull overflows the squares of its
// line's length on extents above about 1e154; sets with a finite extent
// above 2^500 are held against the plain hull of the set scaled by 2^-600,
// which is exact: the same list and line direction, and the line's origin
// scaled alike.
std::string Difference(const std::vector<Vec2>& points, double tolerance) {
  const int32_t n = static_cast<int32_t>(points.size());
  const double extent = Extent(points);
  const double down = std::isfinite(extent) && extent > 0x1p500 ? 0x1p-600 : 1;
  std::vector<Vec2> reference_points = points;
  for (Vec2& p : reference_points) p = p * down;
  PlanarHull fast(n, points.data());
  ReferencePlanarHull plain(n, reference_points.data());
  const bool fast_ok = fast.Compute(tolerance);
  const bool plain_ok = plain.Compute(tolerance);
  if (fast_ok != plain_ok) return "success differs";
  if (fast.dimension != plain.dimension) return "dimension differs";
  if (!SameBits(fast.lineOrigin * down, plain.lineOrigin) ||
      !SameBits(fast.lineDirection, plain.lineDirection)) {
    return "line differs";
  }
  const int32_t* a = fast.VertexIndices(false);
  const int32_t* b = plain.VertexIndices(false);
  const std::vector<int32_t> fast_list(a, a + fast.NumVertices());
  const std::vector<int32_t> plain_list(b, b + plain.NumVertices());
  if (fast_list != plain_list) {
    return "index lists differ: " + std::to_string(fast_list.size()) +
           " against " + std::to_string(plain_list.size()) + " vertices";
  }
  return "";
}

TEST(PlanarHullReference, SameOutputOnEveryNamedSet) {
  for (const HullPointSet& set : testing::HullPointSets(true)) {
    EXPECT_EQ(Difference(set.points, set.tolerance), "") << set.name;
  }
}

// NaN and infinite coordinates anywhere in sets that would otherwise be a
// point, a segment or a polygon, and extents so small that the grid scale
// overflows: the same refusals and results as the reference.
TEST(PlanarHullReference, SameOutputWithCoordinatesThatAreNotFinite) {
  const double nan = std::nan(""), inf = HUGE_VAL;
  const std::vector<std::vector<Vec2>> shapes = {
      {{1, 1}, {1, 1}, {1.0001, 1}, {1, 1}},           // a point
      {{0, 0}, {1, 1}, {2, 2}, {3, 3}},                // a segment
      {{0, 0}, {4, 0}, {4, 3}, {0, 3}, {2, 1}},        // a polygon
      {{0, 0}, {4e-310, 0}, {0, 3e-310}, {1e-310, 0}},  // grid scale overflows
  };
  for (const std::vector<Vec2>& shape : shapes) {
    for (double tolerance : {0.001, 0.0}) {
      ASSERT_EQ(Difference(shape, tolerance), "");
      for (std::size_t k = 0; k < shape.size(); ++k) {
        for (double bad : {nan, inf, -inf}) {
          for (int axis = 0; axis < 2; ++axis) {
            std::vector<Vec2> p = shape;
            (axis == 0 ? p[k].x : p[k].y) = bad;
            EXPECT_EQ(Difference(p, tolerance), "")
                << "point " << k << " axis " << axis << " value " << bad
                << " tolerance " << tolerance;
          }
        }
      }
    }
  }
}

// A random set of one of many kinds, in one of many orders.
std::vector<Vec2> RandomSet(SplitMix* rng, std::string* kind) {
  const int n = 3 + static_cast<int>(rng->Below(rng->Below(4) == 0 ? 4000 : 300));
  std::vector<Vec2> p;
  switch (rng->Below(11)) {
    case 0:  // disc
      *kind = "disc";
      while (static_cast<int>(p.size()) < n) {
        const double x = 2 * rng->Unit() - 1, y = 2 * rng->Unit() - 1;
        if (x * x + y * y <= 1) p.emplace_back(x, y);
      }
      break;
    case 1:  // small integer grid: collinear and repeated points
      *kind = "small grid";
      {
        const uint64_t k = 2 + rng->Below(12);
        for (int i = 0; i < n; ++i) {
          p.emplace_back(static_cast<double>(rng->Below(k)),
                         static_cast<double>(rng->Below(k)));
        }
      }
      break;
    case 2:  // circle, boundary order
      *kind = "circle";
      p = testing::CirclePoints(4 * (n / 4 + 1));
      break;
    case 3:  // traced outline
      *kind = "traced outline";
      p = testing::TracedOutline(3 + n / 6.0);
      break;
    case 4:  // clusters below one grid unit at a few spots
      *kind = "sub-grid clusters";
      {
        const double unit = 1.0 / 1048576.0;
        Vec2 spot[5];
        for (Vec2& s : spot) s = Vec2(rng->Unit(), rng->Unit());
        for (int i = 0; i < n; ++i) {
          const Vec2 s = spot[rng->Below(5)];
          p.emplace_back(s.x + unit * (rng->Unit() - 0.5) * 3,
                         s.y + unit * (rng->Unit() - 0.5) * 3);
        }
      }
      break;
    case 5:  // thin: near a segment, around the tolerance
      *kind = "thin";
      {
        const double h = 0.0005 + 0.002 * rng->Unit();
        for (int i = 0; i < n; ++i) {
          const double t = rng->Unit();
          p.emplace_back(t, 0.3 * t + h * (2 * rng->Unit() - 1));
        }
      }
      break;
    case 6:  // points on the edges of a triangle and on its centroid
      *kind = "triangle edges";
      {
        const Vec2 c[3] = {{0, 0}, {999, 0}, {333, 666}};
        for (int i = 0; i < n; ++i) {
          const uint64_t e = rng->Below(4);
          if (e == 3) {
            p.emplace_back(444, 222);
            continue;
          }
          const double t = static_cast<double>(rng->Below(10)) / 9;
          const Vec2 a = c[e], b = c[(e + 1) % 3];
          p.emplace_back(a.x + t * (b.x - a.x), a.y + t * (b.y - a.y));
        }
        for (const Vec2& v : c) p.push_back(v);
      }
      break;
    case 7:  // square lattice boundary with inner points
      *kind = "lattice boundary";
      {
        const int k = 2 + static_cast<int>(rng->Below(30));
        for (int i = 0; i < n; ++i) {
          const double a = static_cast<double>(rng->Below(k + 1));
          const double b = static_cast<double>(rng->Below(2) * k);
          if (rng->Below(2)) {
            p.emplace_back(a, b);
          } else {
            p.emplace_back(b, a);
          }
        }
      }
      break;
    case 8:  // gaussian-like
      *kind = "gaussian";
      for (int i = 0; i < n; ++i) {
        double v[2] = {-3, -3};
        for (double& c : v) {
          for (int k = 0; k < 6; ++k) c += rng->Unit();
        }
        p.emplace_back(v[0], v[1]);
      }
      break;
    case 9:  // flat on the grid with a few points off it
      *kind = "flat";
      for (int i = 0; i < n; ++i) {
        const double t = rng->Unit();
        const double off = rng->Below(20) == 0 ? 1e-3 : 1e-9;
        p.emplace_back(t, 0.5 * t + off * (rng->Unit() - 0.5));
      }
      break;
    default:  // points growing outwards: almost every one is inserted
      *kind = "spiral";
      for (const Vec2& c : testing::CirclePoints(4 * (n / 4 + 1))) {
        const double r = 1 + static_cast<double>(p.size()) / n;
        p.emplace_back(r * c.x, r * c.y);
      }
      break;
  }
  // Order.
  switch (rng->Below(6)) {
    case 0: break;
    case 1: std::reverse(p.begin(), p.end()); *kind += ", reversed"; break;
    case 2:
      std::rotate(p.begin(), p.begin() + rng->Below(p.size()), p.end());
      *kind += ", rotated";
      break;
    case 3: testing::Shuffle(&p, rng); *kind += ", shuffled"; break;
    case 4:
      std::sort(p.begin(), p.end(), [](const Vec2& a, const Vec2& b) {
        return a.x < b.x || (a.x == b.x && a.y < b.y);
      });
      *kind += ", sorted";
      break;
    default:
      // The extremes last: the pre-filter has the least to work with.
      std::sort(p.begin(), p.end(), [](const Vec2& a, const Vec2& b) {
        return a.x * a.x + a.y * a.y < b.x * b.x + b.y * b.y;
      });
      *kind += ", outwards";
      break;
  }
  // Scale and place: exact powers of two and awkward factors.
  const double scales[] = {1, 1e-3, 1e3, 0x1p-600, 0x1p600, 7.3, 1e-12};
  const double scale = scales[rng->Below(7)];
  const Vec2 offset(rng->Below(3) == 0 ? 1e6 * rng->Unit() : 0,
                    rng->Below(3) == 0 ? -1e3 : 0);
  for (Vec2& q : p) q = Vec2(q.x * scale + offset.x, q.y * scale + offset.y);
  return p;
}

// Integer points with an extent of exactly 2^20, so that the grid holds
// them as they are: four extremes (a random quadrilateral around the
// centre), then points on, and one or two units off, its edges, and on and
// near the segments between other pairs of them. Points just outside what
// the ring is known to contain are where a pre-filter would go wrong.
std::vector<Vec2> NearEdges(SplitMix* rng) {
  const double size = 1048576.0;
  auto coordinate = [&](double lo, double hi) {
    return std::floor(lo + (hi - lo) * rng->Unit());
  };
  std::vector<Vec2> corners = {{0, coordinate(0.2 * size, 0.8 * size)},
                               {coordinate(0.2 * size, 0.8 * size), 0},
                               {size, coordinate(0.2 * size, 0.8 * size)},
                               {coordinate(0.2 * size, 0.8 * size), size}};
  std::vector<Vec2> p = corners;
  const int n = 50 + static_cast<int>(rng->Below(400));
  for (int i = 0; i < n; ++i) {
    const Vec2 a = corners[rng->Below(4)], b = corners[rng->Below(4)];
    const double t = rng->Unit();
    const double off[2] = {static_cast<double>(rng->Below(5)) - 2,
                           static_cast<double>(rng->Below(5)) - 2};
    const Vec2 q(std::round(a.x + t * (b.x - a.x)) + (rng->Below(2) ? off[0] : 0),
                 std::round(a.y + t * (b.y - a.y)) + (rng->Below(2) ? off[1] : 0));
    p.push_back(Vec2(std::min(size, std::max(0.0, q.x)),
                     std::min(size, std::max(0.0, q.y))));
  }
  if (rng->Below(2)) {
    testing::Shuffle(&p, rng);  // the extremes anywhere
  } else {
    for (std::size_t k = p.size(); k > 5; --k) {  // the extremes first
      std::swap(p[k - 1], p[4 + rng->Below(k - 4)]);
    }
  }
  return p;
}

TEST(PlanarHullReference, SameOutputNearTheEdgesOfWhatTheRingHolds) {
  SplitMix rng(77);
  for (int trial = 0; trial < 400; ++trial) {
    const std::vector<Vec2> p = NearEdges(&rng);
    ASSERT_EQ(Difference(p, 0.001), "") << "trial " << trial;
  }
}

TEST(PlanarHullReference, SameOutputOnRandomSetsOfManyKinds) {
  SplitMix rng(4242);
  const double tolerances[] = {0.001, 0.001, 0, 1e-7, 0.05};
  for (int trial = 0; trial < 1500; ++trial) {
    std::string kind;
    const std::vector<Vec2> p = RandomSet(&rng, &kind);
    const double tolerance = tolerances[rng.Below(5)];
    ASSERT_EQ(Difference(p, tolerance), "")
        << "trial " << trial << ": " << kind << ", " << p.size()
        << " points, tolerance " << tolerance;
  }
}

// Outlines in boundary order that stop being in order somewhere: the tail
// shuffled from a random point on, a few points swapped far away, points
// inside sprinkled through, a second lap, a deep dent. Insertion goes from
// the array ring over to the linked one at any point of these.
std::vector<Vec2> BrokenOrder(SplitMix* rng, std::string* kind) {
  const uint64_t most = rng->Below(3) == 0 ? 6000 : 500;
  const int n = 20 + static_cast<int>(rng->Below(most));
  std::vector<Vec2> p;
  switch (rng->Below(4)) {
    case 0:
      *kind = "traced outline";
      p = testing::TracedOutline(3 + n / 6.0);
      break;
    case 1:
      *kind = "circle";
      p = testing::CirclePoints(4 * (n / 4 + 1));
      break;
    case 2:  // a crescent: the inner arc is far inside the ring
      *kind = "crescent";
      for (const Vec2& c : testing::CirclePoints(4 * (n / 4 + 1))) {
        const double r = c.y >= 0 ? 1 : 1 + 1.9 * c.y;
        p.emplace_back(r * c.x, r * c.y);
      }
      break;
    default:  // twice round, the second lap a hair wider
      *kind = "two laps";
      for (int lap = 0; lap < 2; ++lap) {
        for (const Vec2& c : testing::CirclePoints(4 * (n / 8 + 1))) {
          const double r = 1 + lap * 1e-5;
          p.emplace_back(r * c.x, r * c.y);
        }
      }
      break;
  }
  if (rng->Below(2)) {
    std::reverse(p.begin(), p.end());
    *kind += ", reversed";
  }
  std::rotate(p.begin(), p.begin() + rng->Below(p.size()), p.end());
  switch (rng->Below(3)) {
    case 0: {
      const std::size_t from = rng->Below(p.size());
      std::vector<Vec2> tail(p.begin() + from, p.end());
      testing::Shuffle(&tail, rng);
      std::copy(tail.begin(), tail.end(), p.begin() + from);
      *kind += ", shuffled from " + std::to_string(from);
      break;
    }
    case 1: {
      const uint64_t swaps = 1 + rng->Below(p.size() / 8);
      for (uint64_t k = 0; k < swaps; ++k) {
        std::swap(p[rng->Below(p.size())], p[rng->Below(p.size())]);
      }
      *kind += ", some swapped";
      break;
    }
    default:
      for (std::size_t k = 0; k < p.size(); k += 1 + rng->Below(40)) {
        p[k] = p[k] * (0.9 * rng->Unit());
      }
      *kind += ", points inside";
      break;
  }
  return p;
}

TEST(PlanarHullReference, SameOutputWhereBoundaryOrderBreaksOff) {
  SplitMix rng(4343);
  for (int trial = 0; trial < 600; ++trial) {
    std::string kind;
    const std::vector<Vec2> p = BrokenOrder(&rng, &kind);
    ASSERT_EQ(Difference(p, 0.001), "")
        << "trial " << trial << ": " << kind << ", " << p.size() << " points";
  }
}

}  // namespace
}  // namespace silhouette
