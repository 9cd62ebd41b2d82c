#include "kestrim/epipolar_line_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <random>
#include <vector>

#include "kestrim/ray_stretch.h"
#include "kestrim/silhouette_cone.h"

namespace silhouette {
namespace {

using Answer = EpipolarLineIndex::Answer;

const double kPi = 3.141592653589793;
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

View ViewWithHull(const std::vector<Vec2>& points) {
  View view;
  view.normalizedBoundary = points;
  view.hull.resize(points.size());
  std::iota(view.hull.begin(), view.hull.end(), 0);
  return view;
}

// The square x in [1, 3], y in [-1, 1], counter-clockwise from (1, -1).
View RightSquare() { return ViewWithHull({{1, -1}, {3, -1}, {3, 1}, {1, 1}}); }

// The plain answer: the edges (by start vertex) whose closed segment the
// line through e with direction r meets, by the sides of the vertices.
std::vector<int32_t> EdgesMetByLine(const View& view, const Vec2& e,
                                    const Vec2& r) {
  const int32_t n = view.NumHullVertices();
  std::vector<int32_t> met;
  for (int32_t k = 0; k < n; ++k) {
    const double sa = r.Cross(view.NormalizedHullPoint(k) - e);
    const double sb = r.Cross(view.NormalizedHullPoint((k + 1) % n) - e);
    if ((sa <= 0 && sb >= 0) || (sa >= 0 && sb <= 0)) met.push_back(k);
  }
  return met;
}

bool SamePair(int32_t a, int32_t b, const std::vector<int32_t>& met) {
  return met.size() == 2 && ((a == met[0] && b == met[1]) ||
                             (a == met[1] && b == met[0]));
}

struct EpipoleCase {
  const char* what;
  Vec2 epipole;
  bool answers;
  bool inside;
};

TEST(EpipolarLineIndex, AnswersOnlyForAnEpipoleClearlyInsideOrOutside) {
  const EpipoleCase cases[] = {
      {"outside, left of the square", {0, 0}, true, false},
      {"outside, far away", {-1e4, 3e3}, true, false},
      {"outside, on an edge's line beyond a corner", {0, -1}, true, false},
      {"inside", {2, 0}, true, true},
      {"inside, close to an edge", {1.001, 0.5}, true, true},
      {"on an edge", {1, 0}, false, false},
      {"at a vertex", {1, -1}, false, false},
      // Directions to a vertex this close are the roundings' choice.
      {"a rounding beside a vertex", {1 + 0x1p-52, -1 - 0x1p-52}, false, false},
      {"1e-10 beside a vertex", {3 + 1e-10, 1 + 1e-10}, false, false},
      {"inside, 1e-10 from a vertex", {3 - 1e-10, 1 - 1e-10}, false, false},
      {"1e-6 beside a vertex", {3 + 1e-6, 1 + 1e-6}, true, false},
      {"not a number", {kNaN, 0}, false, false},
      {"infinite", {kInf, 0}, false, false},
      {"so far the directions are parallel", {-1e12, 0}, false, false},
  };
  for (const EpipoleCase& c : cases) {
    SCOPED_TRACE(c.what);
    const View view = RightSquare();
    EpipolarLineIndex index;
    index.Build(view, c.epipole);
    EXPECT_EQ(index.Answers(), c.answers);
    EXPECT_EQ(index.EpipoleInside(), c.inside);
    int32_t first = -1, second = -1;
    if (!c.answers) {
      EXPECT_EQ(index.CrossedEdges(Vec2(1, 0.1), &first, &second),
                Answer::kUnsure);
      EXPECT_EQ(first, -1);
      EXPECT_TRUE(index.order().empty());
    } else {
      EXPECT_EQ(index.order().size(), 4u);
    }
  }
  // A hull far out in the image (normalized coordinates beyond 1e4):
  // its faces are nearly the plane through the centre parallel to the
  // image, and only the clip by every face can tell them apart.
  struct FarCase {
    double scale;
    bool answers;
  };
  for (const FarCase& c : {FarCase{1e3, true}, FarCase{9.9e3, true},
                           FarCase{1.1e4, false}, FarCase{1e35, false},
                           FarCase{-1e35, false}, FarCase{kInf, false}}) {
    SCOPED_TRACE(c.scale);
    const View view = ViewWithHull(
        {{c.scale / 4, c.scale / 4}, {c.scale, c.scale / 4}, {c.scale, c.scale}});
    EpipolarLineIndex index;
    index.Build(view, Vec2(1, 0));
    EXPECT_EQ(index.Answers(), c.answers);
  }
  // Fewer than three vertices, or a hull without area.
  for (const std::vector<Vec2>& hull :
       {std::vector<Vec2>{{1, -1}, {1, 1}},
        std::vector<Vec2>{{1, 0}, {2, 0}, {3, 0}}}) {
    const View view = ViewWithHull(hull);
    EpipolarLineIndex index;
    index.Build(view, Vec2(0, 0.5));
    EXPECT_FALSE(index.Answers());
  }
}

TEST(EpipolarLineIndex, OutsideOrderAndCrossings) {
  const View view = RightSquare();
  EpipolarLineIndex index;
  index.Build(view, Vec2(0, 0));
  ASSERT_TRUE(index.Answers());
  // Seen from the origin: (1, -1), (3, -1), (3, 1), (1, 1) by angle.
  EXPECT_EQ(index.order(), (std::vector<int32_t>{0, 1, 2, 3}));
  int32_t first = -1, second = -1;
  for (const Vec2& r : {Vec2(1, 0), Vec2(-1, 0), Vec2(2, 0.1), Vec2(3, -0.9)}) {
    ASSERT_EQ(index.CrossedEdges(r, &first, &second), Answer::kCrossed);
    EXPECT_TRUE(SamePair(first, second, EdgesMetByLine(view, Vec2(0, 0), r)));
  }
  first = second = -1;
  EXPECT_EQ(index.CrossedEdges(Vec2(1, 1.5), &first, &second), Answer::kMissed);
  EXPECT_EQ(index.CrossedEdges(Vec2(0, 1), &first, &second), Answer::kMissed);
  EXPECT_EQ(index.CrossedEdges(Vec2(0, 0), &first, &second), Answer::kUnsure);
  EXPECT_EQ(index.CrossedEdges(Vec2(kNaN, 1), &first, &second), Answer::kUnsure);
  EXPECT_EQ(index.CrossedEdges(Vec2(kInf, 1), &first, &second), Answer::kUnsure);
  EXPECT_EQ(first, -1);
  // Through the extreme corners: left to the caller (see below).
  EXPECT_EQ(index.CrossedEdges(Vec2(1, 1), &first, &second), Answer::kUnsure);
  EXPECT_EQ(index.CrossedEdges(Vec2(-1, 1), &first, &second), Answer::kUnsure);
}

// Which side of a vertex a line within a 1e-9 angle of its direction passes
// is the roundings' choice; seen from a far epipole the two sides are far
// apart on the image. Such lines are unsure; lines clearly between two
// vertices are answered as before. The fuzzer's case (an epipole 5e45
// away, a line 252 units right of vertex 0 on the image but within
// 1e-43 rad of its direction, put in the sector left of it) had its hull
// near 1e171, where the index no longer answers at all.
TEST(EpipolarLineIndex, LinesAlongAVertexDirectionAreUnsure) {
  const std::vector<Vec2> square = {{1, -1}, {3, -1}, {3, 1}, {1, 1}};
  // From far away no edge of the diamond is seen edge-on.
  const std::vector<Vec2> diamond = {{2, -1}, {3, 0}, {2, 1}, {1, 0}};
  const Vec2 far_epipole(-1e6, 0.5);
  struct Case {
    const char* what;
    std::vector<Vec2> hull;
    Vec2 epipole;
    Vec2 direction;
    Answer answer;
  };
  const Case cases[] = {
      {"through vertex 1 of the square", square, {0, 0}, {3, -1},
       Answer::kUnsure},
      {"1e-12 beside vertex 2", square, {0, 0}, {3, 1 + 3e-12},
       Answer::kUnsure},
      {"between vertices 1 and 2", square, {0, 0}, {3, 0.5},
       Answer::kCrossed},
      // 1e-4 beside vertex 2 on the image, 1e-10 rad off its direction.
      {"a far epipole, along vertex 2", diamond, far_epipole,
       {1e6 + 2, 0.5 - 1e-4}, Answer::kUnsure},
      {"a far epipole, between vertices", diamond, far_epipole, {1, 0},
       Answer::kCrossed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const View view = ViewWithHull(c.hull);
    EpipolarLineIndex index;
    index.Build(view, c.epipole);
    ASSERT_TRUE(index.Answers());
    ASSERT_FALSE(index.EpipoleInside());
    int32_t first = -1, second = -1;
    EXPECT_EQ(index.CrossedEdges(c.direction, &first, &second), c.answer);
  }
  const View far_triangle = ViewWithHull(
      {{-50, 0x1.94d2b020c49bap+7},
       {0x1.a4014a4a8c156p+171, 0x1.24194af4f0d84p+7},
       {0x1.fc875f6fd21ffp+5, 0x1.a4014a4a8c155p+171}});
  EpipolarLineIndex index;
  index.Build(far_triangle,
              Vec2(-3.6729098775329094e+45, -3.67290987753291e+45));
  EXPECT_FALSE(index.Answers());
}

TEST(EpipolarLineIndex, InsideCrossesOneEdgeEachWay) {
  const View view = RightSquare();
  EpipolarLineIndex index;
  index.Build(view, Vec2(2, 0.5));
  ASSERT_TRUE(index.EpipoleInside());
  int32_t first = -1, second = -1;
  // Rightwards through edge 1 (x = 3), leftwards through edge 3 (x = 1).
  ASSERT_EQ(index.CrossedEdges(Vec2(1, 0), &first, &second), Answer::kCrossed);
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 3);
  ASSERT_EQ(index.CrossedEdges(Vec2(0, -1), &first, &second), Answer::kCrossed);
  EXPECT_EQ(first, 0);
  EXPECT_EQ(second, 2);
  EXPECT_EQ(index.CrossedEdges(Vec2(0, 0), &first, &second), Answer::kUnsure);
}

// Random convex hulls (points on an ellipse, some in clockwise order, as a
// negative focal length gives), random epipoles inside and outside, and
// lines through them in slowly turning and in random directions: the two
// edges found are the two the line meets, by the plain search.
TEST(EpipolarLineIndex, AgreesWithThePlainSearch) {
  std::mt19937 rng(17);
  std::uniform_real_distribution<double> unit(0, 1);
  std::size_t checked[2] = {0, 0};
  std::size_t missed = 0;
  for (int trial = 0; trial < 120; ++trial) {
    const int n = 3 + trial % 60;
    std::vector<double> angles;
    for (int k = 0; k < n; ++k) angles.push_back(2 * kPi * unit(rng));
    std::sort(angles.begin(), angles.end());
    std::vector<Vec2> points;
    for (double t : angles) {
      points.push_back(Vec2(0.4 * std::cos(t) + 0.1, 0.25 * std::sin(t)));
    }
    if (trial % 3 == 0) std::reverse(points.begin(), points.end());
    const View view = ViewWithHull(points);
    const bool inside = trial % 2 == 1;
    Vec2 e;
    if (inside) {
      // The mean of three vertices lies inside.
      e = (points[0] + points[n / 3] + points[2 * n / 3]) * (1.0 / 3);
    } else {
      const double phi = 2 * kPi * unit(rng);
      const double dist = 0.6 + 50 * unit(rng) * unit(rng);
      e = Vec2(dist * std::cos(phi), dist * std::sin(phi));
    }
    EpipolarLineIndex index;
    index.Build(view, e);
    if (!index.Answers()) {
      // Only a sliver triangle may leave the mean of its vertices too
      // close to an edge.
      EXPECT_TRUE(inside && n == 3) << trial;
      continue;
    }
    ASSERT_EQ(index.EpipoleInside(), inside) << trial;
    double turn = 2 * kPi * unit(rng);
    for (int q = 0; q < 200; ++q) {
      turn += 0.01;
      Vec2 r(std::cos(turn), std::sin(turn));
      if (q % 2 == 1) {
        const Vec2 aim(-0.3 + 0.8 * unit(rng), -0.25 + 0.5 * unit(rng));
        r = (aim - e) * (unit(rng) < 0.5 ? 1.0 : -1.0);
      }
      const std::vector<int32_t> met = EdgesMetByLine(view, e, r);
      int32_t first = -1, second = -1;
      const Answer answer = index.CrossedEdges(r, &first, &second);
      if (met.empty()) {
        EXPECT_EQ(answer, Answer::kMissed) << trial << " " << q;
        ++missed;
        continue;
      }
      if (met.size() != 2) continue;  // through a vertex
      ASSERT_EQ(answer, Answer::kCrossed) << trial << " " << q;
      ++checked[inside ? 1 : 0];
      EXPECT_TRUE(SamePair(first, second, met)) << trial << " " << q;
      if (inside) {
        // first is the edge ahead along r: the line meets it at e + t r
        // with t > 0.
        const Vec2 a = view.NormalizedHullPoint(first);
        const Vec2 b = view.NormalizedHullPoint((first + 1) % n);
        const double t = (a - e).Cross(b - a) / r.Cross(b - a);
        EXPECT_GT(t, 0) << trial << " " << q;
      }
    }
  }
  EXPECT_GT(checked[0], 1000u);
  EXPECT_GT(checked[1], 5000u);
  EXPECT_GT(missed, 1000u);
}

// Lines through the epipole that cross an edge seen from it under an angle
// of sine 1e-9 or less run along that edge: the line of the edge passes
// through the epipole or near it, or the edge joins vertices a rounding
// apart. Its face then bounds a ray anywhere or nowhere, so such lines, and
// lines within that angle of them, are left to the plain clip; lines
// clearly away from them are answered as before.
TEST(EpipolarLineIndex, LinesAlongAnEdgeSeenEdgeOnAreUnsure) {
  // Vertices a rounding apart: (w, w) and (3717, 3717).
  const double w = 3717 - 0x1p-41;
  const std::vector<Vec2> stubbed = {
      {3717, 3717}, {177, 3717}, {63, 63}, {63, 0}, {w, w}};
  struct Case {
    const char* what;
    std::vector<Vec2> hull;
    Vec2 epipole;
    Vec2 direction;
    Answer answer;
  };
  const Case cases[] = {
      {"along edge 0, whose line holds the epipole",
       {{1, -1}, {3, -1}, {3, 1}, {1, 1}}, {0, -1}, {1, 0}, Answer::kUnsure},
      {"a hair inside the span from it", {{1, -1}, {3, -1}, {3, 1}, {1, 1}},
       {0, -1}, {1, 1e-12}, Answer::kUnsure},
      {"clearly inside the span", {{1, -1}, {3, -1}, {3, 1}, {1, 1}},
       {0, -1}, {1, 0.5}, Answer::kCrossed},
      {"along edge 0, its line 1e-12 from the epipole",
       {{1, -1}, {3, -1}, {3, 1}, {1, 1}}, {0, -1 - 1e-12}, {1, 1e-12},
       Answer::kUnsure},
      {"along the edge (0, 0) - (1, 1) through the epipole",
       {{0, 0}, {2, 0}, {1, 1}}, {-1, -1}, {1, 1}, Answer::kUnsure},
      {"through a stub", stubbed, {-6, -6}, {1, 1}, Answer::kUnsure},
      {"away from the stub", stubbed, {-6, -6}, {1, 1.2}, Answer::kCrossed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const View view = ViewWithHull(c.hull);
    EpipolarLineIndex index;
    index.Build(view, c.epipole);
    ASSERT_TRUE(index.Answers());
    ASSERT_FALSE(index.EpipoleInside());
    int32_t first = -1, second = -1;
    EXPECT_EQ(index.CrossedEdges(c.direction, &first, &second), c.answer);
    if (c.answer == Answer::kUnsure) {
      EXPECT_EQ(first, -1);
    }
  }
}

// What the plain clip gives such a ray, and what the two faces of the
// extreme sector would: the ray along edge 3 of this hull (x = 0, from
// y = 12000 down) is in the cone from y = 240 to y = 0 only, but edge 3's
// face holds along all of it, so edges 2 and 3 alone leave it endless.
TEST(EpipolarLineIndex, RayAlongAnExtremeEdgeKeepsItsFarEnd) {
  View view = ViewWithHull({{0, 0}, {2, 0}, {1, 320}, {0, 240}});
  const SilhouetteCone cone(view);
  const Vec3 a(0, 12, 0.001);  // the other camera's centre, epipole (0, 12000)
  const Vec3 b(0, -1, 0);
  EpipolarLineIndex index;
  index.Build(view, Vec2(a.x / a.z, a.y / a.z));
  ASSERT_TRUE(index.Answers());
  int32_t first = -1, second = -1;
  const Vec2 r(a.z * b.x - b.z * a.x, a.z * b.y - b.z * a.y);
  ASSERT_EQ(index.CrossedEdges(r, &first, &second), Answer::kUnsure);
  RayStretch plain;
  cone.ClipEveryFace(a, b, &plain);
  EXPECT_FALSE(plain.IsEmpty());
  EXPECT_DOUBLE_EQ(plain.lower, 11.76);
  EXPECT_DOUBLE_EQ(plain.upper, 12);
  RayStretch two_faces;
  cone.ClipTwoFaces(2, 3, a, b, &two_faces);
  EXPECT_EQ(two_faces.upper, kInf);
}

// The same from an epipole inside the hull: half-lines within a 1e-9
// angle of a vertex's direction are unsure, others are answered as before.
// The fuzzer's case (a half-line from an epipole near 1e69 within 1e-68 rad
// of vertex 2's direction, leaving by edge 2 where the index named edge 1)
// had its hull near 1e70, where the index no longer answers at all.
TEST(EpipolarLineIndex, InsideHalfLinesAlongAVertexDirectionAreUnsure) {
  const View view = RightSquare();
  const Vec2 epipole(2, 0.5);
  EpipolarLineIndex index;
  index.Build(view, epipole);
  ASSERT_TRUE(index.EpipoleInside());
  int32_t first = -1, second = -1;
  for (const Vec2& along : {Vec2(1, 0.5), Vec2(1, 0.5 + 1e-12),
                            Vec2(-1, -1.5 - 1e-12)}) {
    EXPECT_EQ(index.CrossedEdges(along, &first, &second), Answer::kUnsure);
    EXPECT_EQ(first, -1);
  }
  ASSERT_EQ(index.CrossedEdges(Vec2(0.3, -1), &first, &second),
            Answer::kCrossed);
  EXPECT_TRUE(SamePair(first, second, EdgesMetByLine(view, epipole,
                                                     Vec2(0.3, -1))));

  const View far_hull = ViewWithHull(
      {{0x1.a1ff2e44c2f83p+234, 0x1.a1ff2e44c2f84p+234},
       {0x1.bd96bb98c7e28p+5, 0x1.0ded28831ce7p+229},
       {-0x1.85460aa64c2f8p+4, 0x1.7p+4},
       {0x1.0ded28831ce71p+229, 0x1.b40e219652bd4p+5}});
  index.Build(far_hull, Vec2(4.6193172519640168e+67, 8.6345699402096604e+68));
  EXPECT_FALSE(index.Answers());
}

TEST(EpipolarLineIndex, RebuildRestartsAndKeepsTheCursorInRange) {
  const View view = RightSquare();
  EpipolarLineIndex index;
  index.Build(view, Vec2(0, 0));
  int32_t first, second;
  ASSERT_EQ(index.CrossedEdges(Vec2(1, 0.9), &first, &second), Answer::kCrossed);
  index.Build(view, Vec2(2, 0));
  ASSERT_TRUE(index.EpipoleInside());
  ASSERT_EQ(index.CrossedEdges(Vec2(-1, 0), &first, &second), Answer::kCrossed);
  EXPECT_EQ(first, 3);
  EXPECT_EQ(second, 1);
  index.Build(view, Vec2(kNaN, 0));
  EXPECT_EQ(index.CrossedEdges(Vec2(1, 0), &first, &second), Answer::kUnsure);
}

}  // namespace
}  // namespace silhouette
