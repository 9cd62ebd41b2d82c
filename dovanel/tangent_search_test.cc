#include "dovanel/tangent_search.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "dovanel/tangent_points.h"
#include "dovanel/two_set_scene.h"
#include "geometry/mat4.h"
#include "geometry/planar_hull.h"

namespace silhouette {
namespace {

using testing::MakeCamera;
using testing::MakeView;

constexpr double kPi = 3.141592653589793;
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool SameBits(const Vec2& a, const Vec2& b) {
  return std::memcmp(&a.x, &b.x, sizeof a.x) == 0 &&
         std::memcmp(&a.y, &b.y, sizeof a.y) == 0;
}

// A view whose hull is `points` in the listed order, convex or not.
View ViewOf(const Polygon2& points) {
  return MakeView(MakeCamera(Mat4::kIdentity, 100, 0, 0), points);
}

// Counts of one family of cases.
struct Tally {
  int cases = 0;
  int searched = 0;
};

// Find against the plain scan, bit for bit, for one view and point.
void Check(const View& view, const TangentSearch& search, const Vec2& e,
           const std::string& what, Tally* tally) {
  bool searched = false;
  const TangentPair fast = search.Find(e, nullptr, &searched);
  const TangentPair plain = TangentPoints(view, e);
  // Starting points change nothing: none, any position (even one out of
  // range), and the answer for the previous e of the same view.
  static std::mt19937 rng(99);
  const int32_t n = search.NumVertices();
  std::uniform_int_distribution<int32_t> position(-2, n + 1);
  TangentSearch::Hint random_hint{position(rng), position(rng)};
  const TangentPair from_random = search.Find(e, &random_hint);
  static const TangentSearch* last_search = nullptr;
  static TangentSearch::Hint carried;
  if (last_search != &search) carried = TangentSearch::Hint();
  last_search = &search;
  const TangentPair from_previous = search.Find(e, &carried);
  for (const TangentPair& other : {from_random, from_previous}) {
    EXPECT_TRUE(SameBits(other.first, fast.first) &&
                SameBits(other.second, fast.second))
        << what << " with a hint, e=(" << e.x << ", " << e.y << ")";
  }
  ++tally->cases;
  if (searched) ++tally->searched;
  EXPECT_TRUE(SameBits(fast.first, plain.first))
      << what << " e=(" << e.x << ", " << e.y << ") first " << fast.first.x
      << " " << fast.first.y << " vs " << plain.first.x << " "
      << plain.first.y;
  EXPECT_TRUE(SameBits(fast.second, plain.second))
      << what << " e=(" << e.x << ", " << e.y << ") second "
      << fast.second.x << " " << fast.second.y << " vs " << plain.second.x
      << " " << plain.second.y;
}

Polygon2 RegularPolygon(int n, const Vec2& centre, double rx, double ry,
                        double turn) {
  Polygon2 p;
  for (int k = 0; k < n; ++k) {
    const double a = turn + 2 * kPi * k / n;
    p.push_back(Vec2(centre.x + rx * std::cos(a), centre.y + ry * std::sin(a)));
  }
  return p;
}

// The hull PlanarHull (tolerance 0.001) makes of `points`, in its order.
Polygon2 HullOf(const Polygon2& points) {
  PlanarHull hull(static_cast<int32_t>(points.size()), points.data());
  hull.Compute(0.001);
  const int32_t* indices = hull.VertexIndices(false);
  Polygon2 out;
  for (int32_t k = 0; k < hull.NumVertices(); ++k) {
    out.push_back(points[indices[k]]);
  }
  return out;
}

// Points e around the box of `p` at distances from far inside to very far
// outside, in every direction, and on the lines of the box's edges.
std::vector<Vec2> PointsAround(const Polygon2& p, std::mt19937* rng) {
  Vec2 lo = p[0], hi = p[0];
  for (const Vec2& v : p) {
    lo = Vec2(std::min(lo.x, v.x), std::min(lo.y, v.y));
    hi = Vec2(std::max(hi.x, v.x), std::max(hi.y, v.y));
  }
  const Vec2 mid = (lo + hi) * 0.5;
  const double size = std::max(hi.x - lo.x, hi.y - lo.y) + 1e-300;
  std::uniform_real_distribution<double> unit(0, 1);
  std::vector<Vec2> out;
  for (const double scale : {0.1, 0.6, 1.0, 1.5, 3.0, 100.0, 1e8, 1e15}) {
    for (int k = 0; k < 12; ++k) {
      const double a = 2 * kPi * unit(*rng);
      out.push_back(mid + Vec2(std::cos(a), std::sin(a)) * (scale * size));
    }
  }
  // Level with vertices, and on the lines of the box.
  for (int k = 0; k < 6; ++k) {
    const Vec2& v = p[static_cast<std::size_t>(k * 7919) % p.size()];
    out.push_back(Vec2(hi.x + size, v.y));
    out.push_back(Vec2(lo.x - size * unit(*rng), v.y));
    out.push_back(Vec2(v.x, hi.y + size));
    out.push_back(Vec2(v.x, lo.y - size * unit(*rng)));
  }
  out.push_back(Vec2(lo.x, hi.y + size));
  out.push_back(Vec2(hi.x + size, lo.y));
  out.push_back(Vec2(hi.x, lo.y - 3 * size));
  out.push_back(Vec2(lo.x - 2 * size, hi.y));
  out.push_back(lo);
  out.push_back(hi);
  return out;
}

void CheckAround(const Polygon2& p, const std::string& what,
                 std::mt19937* rng, Tally* tally) {
  const View view = ViewOf(p);
  const TangentSearch search(view);
  for (const Vec2& e : PointsAround(p, rng)) Check(view, search, e, what, tally);
}

TEST(TangentSearch, RegularAndStretchedPolygons) {
  std::mt19937 rng(1);
  Tally tally;
  for (const int n : {1, 2, 3, 4, 5, 7, 8, 9, 16, 17, 31, 64, 100, 255, 512,
                      601}) {
    for (const double stretch : {1.0, 0.01, 300.0}) {
      CheckAround(RegularPolygon(n, Vec2(320, 240), 50, 50 * stretch, 0.1),
                  "regular " + std::to_string(n), &rng, &tally);
    }
  }
  // Most of the points lie outside the box; the tree answered there.
  EXPECT_GT(tally.searched, tally.cases / 2);
}

TEST(TangentSearch, HullsOfEllipseOutlinesAndClutter) {
  std::mt19937 rng(2);
  std::uniform_real_distribution<double> unit(0, 1);
  Tally tally;
  for (int trial = 0; trial < 40; ++trial) {
    const int n = 16 + static_cast<int>(unit(rng) * 600);
    Polygon2 points = RegularPolygon(n, Vec2(unit(rng) * 600, unit(rng) * 400),
                                     5 + 200 * unit(rng), 5 + 200 * unit(rng),
                                     unit(rng) * 6);
    // Dents and points inside, as real silhouettes have.
    for (Vec2& p : points) {
      if (unit(rng) < 0.2) p = p * (1 - 0.01 * unit(rng));
    }
    CheckAround(HullOf(points), "outline " + std::to_string(trial), &rng,
                &tally);
  }
  EXPECT_GT(tally.searched, tally.cases / 2);
}

// Integer polygons with collinear vertices along their edges, seen from
// integer points: many vertices share a direction from e exactly, and the
// scan's first position among them must win.
TEST(TangentSearch, CollinearVerticesAndEqualDirections) {
  Tally tally;
  Polygon2 square;
  for (int k = 0; k < 10; ++k) square.push_back(Vec2(k, 0));
  for (int k = 0; k < 10; ++k) square.push_back(Vec2(10, k));
  for (int k = 10; k > 0; --k) square.push_back(Vec2(k, 10));
  for (int k = 10; k > 0; --k) square.push_back(Vec2(0, k));
  const View view = ViewOf(square);
  const TangentSearch search(view);
  for (int x = -30; x <= 40; x += 1) {
    for (int y = -30; y <= 40; y += 5) {
      Check(view, search, Vec2(x, y), "square", &tally);
    }
  }
  // Every listing start of the same square.
  for (std::size_t shift = 1; shift < square.size(); shift += 3) {
    Polygon2 rotated(square.begin() + shift, square.end());
    rotated.insert(rotated.end(), square.begin(), square.begin() + shift);
    const View v = ViewOf(rotated);
    const TangentSearch s(v);
    for (const Vec2& e : {Vec2(20, 0), Vec2(-5, 10), Vec2(0, -7),
                          Vec2(5, 25), Vec2(20, 20), Vec2(-10, -10)}) {
      Check(v, s, e, "rotated square", &tally);
    }
  }
  EXPECT_GT(tally.searched, tally.cases / 2);
}

// Vertices that nearly line up with e: a fine arc seen from very far away
// gives directions that differ in the last bits of the quotients only.
TEST(TangentSearch, NearTiesFromFarAway) {
  std::mt19937 rng(4);
  std::uniform_real_distribution<double> unit(0, 1);
  Tally tally;
  for (int trial = 0; trial < 30; ++trial) {
    const Polygon2 p = RegularPolygon(512, Vec2(320, 240), 100, 60,
                                      unit(rng) * 6);
    const View view = ViewOf(p);
    const TangentSearch search(view);
    for (const double d : {1e6, 1e10, 1e14, 1e17, 1e20}) {
      const double a = 2 * kPi * unit(rng);
      Check(view, search, Vec2(320 + d * std::cos(a), 240 + d * std::sin(a)),
            "far", &tally);
      // Exactly along an axis, so that whole groups of quotients tie.
      Check(view, search, Vec2(320 + d, 240), "far right", &tally);
      Check(view, search, Vec2(320, 240 - d), "far below", &tally);
    }
  }
  // A line of vertices pointing at e: all one direction.
  Polygon2 line;
  for (int k = 0; k < 40; ++k) line.push_back(Vec2(k * 0.1, k * 0.3));
  for (int k = 39; k >= 0; --k) line.push_back(Vec2(k * 0.1 + 1, k * 0.3));
  CheckAround(line, "line", &rng, &tally);
  const View view = ViewOf(line);
  const TangentSearch search(view);
  Check(view, search, Vec2(-1, -3), "line towards e", &tally);
  Check(view, search, Vec2(-0.1, -0.3), "line towards e", &tally);
  EXPECT_GT(tally.searched, tally.cases / 2);
}

// Not convex at all, and repeated vertices: the search does not rely on
// convexity, only its speed does.
TEST(TangentSearch, ArbitraryPolygonsAndDuplicates) {
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> unit(0, 1);
  Tally tally;
  for (int trial = 0; trial < 60; ++trial) {
    const int n = 1 + static_cast<int>(unit(rng) * 80);
    Polygon2 p;
    for (int k = 0; k < n; ++k) {
      if (k > 0 && unit(rng) < 0.2) {
        p.push_back(p[static_cast<std::size_t>(unit(rng) * k)]);
      } else {
        p.push_back(Vec2(std::round(unit(rng) * 20), std::round(unit(rng) * 20)));
      }
    }
    CheckAround(p, "arbitrary " + std::to_string(trial), &rng, &tally);
    const View view = ViewOf(p);
    const TangentSearch search(view);
    for (int k = 0; k < 20; ++k) {
      Check(view, search,
            Vec2(std::round(unit(rng) * 60 - 20), std::round(unit(rng) * 60 - 20)),
            "arbitrary grid e", &tally);
    }
  }
  EXPECT_GT(tally.searched, tally.cases / 3);
}

// Magnitudes at the ends of the double range, zeros and signs.
TEST(TangentSearch, HugeTinyAndZeroCoordinates) {
  std::mt19937 rng(6);
  Tally tally;
  const double scales[] = {1e-320, 1e-300, 1e-200, 1e-160, 1e-120, 1e-8,
                           1e8,    1e150,  1e300,  1e307};
  for (const double scale : scales) {
    for (const int n : {3, 20, 100}) {
      CheckAround(RegularPolygon(n, Vec2(0, 0), scale, scale, 0.3),
                  "scale " + std::to_string(scale), &rng, &tally);
      CheckAround(RegularPolygon(n, Vec2(scale, -scale), scale, scale, 0.0),
                  "offset scale " + std::to_string(scale), &rng, &tally);
    }
    // Vertices on y = 0 and x = 0, seen from points level with them.
    const Polygon2 diamond = {Vec2(scale, 0), Vec2(0, scale), Vec2(-scale, 0),
                              Vec2(0, -scale)};
    const View view = ViewOf(diamond);
    const TangentSearch search(view);
    for (const Vec2& e :
         {Vec2(3 * scale, 0), Vec2(-3 * scale, 0), Vec2(0, 3 * scale),
          Vec2(0, -3 * scale), Vec2(3 * scale, 1e-310), Vec2(-3 * scale, -0.0),
          Vec2(1e308, 0), Vec2(-1e308, 1e-300), Vec2(3 * scale, scale)}) {
      Check(view, search, e, "diamond", &tally);
    }
  }
  // Mixed: a polygon with a tiny and a huge coordinate.
  const Polygon2 mixed = {Vec2(1e-300, 1e-300), Vec2(1e300, 0),
                          Vec2(1e300, 1e300), Vec2(0, 1e-310)};
  CheckAround(mixed, "mixed", &rng, &tally);
  // Quotients that round to +0 and -0 on either side of e's level: the
  // scan's comparison of the two then no longer follows their sides.
  for (const double tiny : {1e-200, 1e-100}) {
    const Polygon2 thin = {Vec2(tiny, 1e200), Vec2(tiny, -1e200),
                           Vec2(1, 0), Vec2(tiny, 1e199)};
    const View view = ViewOf(thin);
    const TangentSearch search(view);
    for (const Vec2& e : {Vec2(0, 0), Vec2(-tiny, 0), Vec2(0, 1e190),
                          Vec2(2, 0), Vec2(1 + tiny, -1e-300)}) {
      Check(view, search, e, "underflowing quotient", &tally);
    }
  }
  EXPECT_GT(tally.searched, 0);
}

TEST(TangentSearch, NotFiniteCoordinatesFallBackToTheScan) {
  Tally tally;
  const Polygon2 square = {Vec2(0, 0), Vec2(10, 0), Vec2(10, 10), Vec2(0, 10)};
  const View view = ViewOf(square);
  const TangentSearch search(view);
  for (const Vec2& e : {Vec2(kNaN, 5), Vec2(20, kNaN), Vec2(kInf, 5),
                        Vec2(-kInf, 5), Vec2(5, kInf), Vec2(5, -kInf)}) {
    Check(view, search, e, "e not finite", &tally);
  }
  EXPECT_EQ(tally.searched, 0);
  for (const Vec2& bad : {Vec2(kNaN, 3), Vec2(4, kInf), Vec2(-kInf, kNaN)}) {
    Polygon2 p = RegularPolygon(30, Vec2(0, 0), 10, 10, 0);
    p[7] = bad;
    std::mt19937 rng(7);
    Tally t;
    CheckAround(p, "vertex not finite", &rng, &t);
    EXPECT_EQ(t.searched, 0);
  }
  // Differences that overflow.
  const View wide = ViewOf({Vec2(-1.5e308, 0), Vec2(1.5e308, 0),
                            Vec2(0, 1.5e308)});
  const TangentSearch wide_search(wide);
  for (const Vec2& e : {Vec2(0, -1.7e308), Vec2(1.7e308, 1), Vec2(0, -1)}) {
    Check(wide, wide_search, e, "overflow", &tally);
  }
}

// Quotients that overflow: NegativeTurn orders two slopes that round to one
// infinity by their cross product, which no rank holds, so the scan
// answers there, level with e or above it, upright or sideways.
TEST(TangentSearch, QuotientsBeyondTheRangeFallBackToTheScan) {
  Tally tally;
  const std::vector<Polygon2> polygons = {
      {Vec2(1e300, 1e-10), Vec2(2e300, 1e-10), Vec2(1e300, 1)},
      {Vec2(2e300, 1e-10), Vec2(1e300, 1e-10), Vec2(1.5e300, 1)},
      {Vec2(-1e300, -1e-10), Vec2(-3e300, -2e-10), Vec2(0, -1)},
      {Vec2(1e-10, 1e300), Vec2(-1e-10, 2e300), Vec2(1, 1e300),
       Vec2(0, -1e300)},
      {Vec2(1e200, 1e-120), Vec2(3e200, 2e-120), Vec2(2e200, 0),
       Vec2(1e200, -1e-120)},
  };
  for (const Polygon2& p : polygons) {
    const View view = ViewOf(p);
    const TangentSearch search(view);
    for (const Vec2& e : {Vec2(0, 0), Vec2(-1, 0), Vec2(0, -1e-300),
                          Vec2(-1e300, 0), Vec2(0, 1e-300)}) {
      Check(view, search, e, "overflowing quotient", &tally);
    }
  }
  // Ordinary coordinates never leave the search for that reason.
  std::mt19937 rng(11);
  Tally ordinary;
  CheckAround(RegularPolygon(40, Vec2(1e150, -1e150), 1e150, 1e150, 0.1),
              "large", &rng, &ordinary);
  EXPECT_GT(ordinary.searched, ordinary.cases / 2);
}

// The search answers, rather than the scan, wherever e lies outside the
// hull's box with ordinary coordinates: what makes it fast.
TEST(TangentSearch, AnswersForEveryPointOutsideTheBox) {
  const Polygon2 p = RegularPolygon(200, Vec2(320, 240), 80, 50, 0.2);
  const View view = ViewOf(p);
  const TangentSearch search(view);
  std::mt19937 rng(8);
  std::uniform_real_distribution<double> unit(0, 1);
  for (int k = 0; k < 500; ++k) {
    const double a = 2 * kPi * unit(rng);
    const Vec2 e = Vec2(320, 240) +
                   Vec2(std::cos(a), std::sin(a)) * (100 + 1e4 * unit(rng));
    bool searched = false;
    search.Find(e, nullptr, &searched);
    EXPECT_TRUE(searched) << e.x << " " << e.y;
  }
  bool searched = true;
  search.Find(Vec2(320, 240), nullptr, &searched);
  EXPECT_FALSE(searched);  // inside: the scan
}

// A walk needs a hull that is convex in exact arithmetic and turns round
// once; anything else, or anything the rounding leaves in doubt, is not
// walked.
TEST(TangentSearch, WalksOnlyOnSurelyConvexHulls) {
  EXPECT_TRUE(TangentSearch(ViewOf(RegularPolygon(512, Vec2(320, 240), 100,
                                                  60, 0.3)))
                  .SurelyConvexHull());
  EXPECT_FALSE(TangentSearch(ViewOf({Vec2(0, 0), Vec2(1, 0), Vec2(2, 0),
                                     Vec2(2, 2)}))
                   .SurelyConvexHull());  // collinear corner
  EXPECT_FALSE(TangentSearch(ViewOf({Vec2(0, 0), Vec2(2, 0), Vec2(1, 0.1),
                                     Vec2(2, 2)}))
                   .SurelyConvexHull());  // reflex corner
  EXPECT_FALSE(TangentSearch(ViewOf({Vec2(0, 0), Vec2(1, 0)}))
                   .SurelyConvexHull());  // two vertices
  // A star that turns round twice: every corner a left turn.
  Polygon2 star;
  const Polygon2 ring = RegularPolygon(31, Vec2(0, 0), 10, 10, 0.1);
  for (int k = 0; k < 31; ++k) star.push_back(ring[(2 * k) % 31]);
  EXPECT_FALSE(TangentSearch(ViewOf(star)).SurelyConvexHull());
  // Near-collinear corners: r -> q -> p along the line y = x, p a few
  // units in the last place off it, whose exact orientation (computed on
  // integers: every coordinate is a multiple of 2^-53) is zero or negative
  // while the plain determinant in doubles comes out positive.
  const double unit = 0x1p-53;
  int found = 0;
  for (int i = 0; i < 64 && found < 20; ++i) {
    for (int j = 0; j < 64 && found < 20; ++j) {
      const Vec2 r(24, 24), q(12, 12), p(0.5 + i * unit, 0.5 + j * unit);
      auto scaled = [&](double v) {
        return static_cast<__int128>(std::ldexp(v, 53));
      };
      const __int128 exact =
          (scaled(r.x) - scaled(p.x)) * (scaled(q.y) - scaled(p.y)) -
          (scaled(r.y) - scaled(p.y)) * (scaled(q.x) - scaled(p.x));
      const double plain = (r.x - p.x) * (q.y - p.y) - (r.y - p.y) * (q.x - p.x);
      if (exact > 0 || !(plain > 0)) continue;
      ++found;
      const Polygon2 quad = {r, q, p, Vec2(30, 0)};
      EXPECT_FALSE(TangentSearch(ViewOf(quad)).SurelyConvexHull()) << i << " " << j;
    }
  }
  EXPECT_GT(found, 0);
}

// Hints on hulls that are not walked, and on stars that would mislead a
// walk: the answer stays the scan's.
TEST(TangentSearch, HintsOnStarsAndOddHulls) {
  std::mt19937 rng(13);
  Tally tally;
  for (const int n : {5, 7, 31, 101}) {
    Polygon2 star;
    const Polygon2 ring = RegularPolygon(n, Vec2(50, 50), 10, 10, 0.1);
    for (int k = 0; k < n; ++k) star.push_back(ring[(2 * k) % n]);
    CheckAround(star, "star " + std::to_string(n), &rng, &tally);
  }
  EXPECT_GT(tally.searched, tally.cases / 2);
}

}  // namespace
}  // namespace silhouette
