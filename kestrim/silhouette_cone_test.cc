#include "kestrim/silhouette_cone.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace silhouette {
namespace {

// A view whose normalized boundary, hull and pixel boundary are `points`
// (efl 1, principal point 0).
View ViewWithHull(const std::vector<Vec2>& points) {
  View view;
  view.camera.efl = 1;
  view.boundary = points;
  view.normalizedBoundary = points;
  for (std::size_t k = 0; k < points.size(); ++k) {
    view.hull.push_back(static_cast<int32_t>(k));
  }
  return view;
}

bool InsideEveryFace(const SilhouetteCone& cone, const Vec3& y) {
  for (const Vec3& face : cone.faces()) {
    if (face.Dot(y) < 0) return false;
  }
  return true;
}

TEST(SilhouetteCone, FacesHoldTheHullEitherOrientation) {
  const std::vector<Vec2> ccw = {{0, 0}, {2, 0}, {2, 1}, {0, 1}};
  const std::vector<Vec2> cw = {{0, 1}, {2, 1}, {2, 0}, {0, 0}};
  for (const std::vector<Vec2>& hull : {ccw, cw}) {
    const SilhouetteCone cone(ViewWithHull(hull));
    ASSERT_EQ(cone.faces().size(), 4u);
    // A point inside, on an edge, and outside each edge, at two depths.
    for (double z : {0.5, 3.0}) {
      EXPECT_TRUE(InsideEveryFace(cone, Vec3(1 * z, 0.5 * z, z)));
      EXPECT_TRUE(InsideEveryFace(cone, Vec3(2 * z, 0.5 * z, z)));
      EXPECT_FALSE(InsideEveryFace(cone, Vec3(2.1 * z, 0.5 * z, z)));
      EXPECT_FALSE(InsideEveryFace(cone, Vec3(1 * z, -0.1 * z, z)));
      EXPECT_FALSE(InsideEveryFace(cone, Vec3(-0.1 * z, 0.5 * z, z)));
      EXPECT_FALSE(InsideEveryFace(cone, Vec3(1 * z, 1.1 * z, z)));
    }
    // Points behind the camera fail some face.
    EXPECT_FALSE(InsideEveryFace(cone, Vec3(-1, -0.5, -1)));
  }
}

TEST(SilhouetteCone, SegmentAndPointHulls) {
  // A segment from (0, 0) to (2, 0): its points, and nothing beside or
  // beyond it.
  const SilhouetteCone segment(ViewWithHull({{0, 0}, {2, 0}}));
  EXPECT_TRUE(InsideEveryFace(segment, Vec3(1, 0, 1)));
  EXPECT_TRUE(InsideEveryFace(segment, Vec3(4, 0, 2)));
  EXPECT_FALSE(InsideEveryFace(segment, Vec3(1, 0.01, 1)));
  EXPECT_FALSE(InsideEveryFace(segment, Vec3(2.01, 0, 1)));
  EXPECT_FALSE(InsideEveryFace(segment, Vec3(-0.01, 0, 1)));

  const SilhouetteCone point(ViewWithHull({{0.5, -0.25}}));
  EXPECT_TRUE(InsideEveryFace(point, Vec3(1, -0.5, 2)));
  EXPECT_FALSE(InsideEveryFace(point, Vec3(1, -0.49, 2)));
  EXPECT_FALSE(InsideEveryFace(point, Vec3(1.01, -0.5, 2)));

  // The ray (1, -0.5, 2) s, s >= 0 lies on the point's cone everywhere.
  RayStretch stretch;
  point.ClipEveryFace(Vec3(0, 0, 0), Vec3(1, -0.5, 2), &stretch);
  EXPECT_FALSE(stretch.IsEmpty());
  // A ray crossing that cone keeps one point.
  RayStretch crossing;
  point.ClipEveryFace(Vec3(-1, -0.5, 2), Vec3(1, 0, 0), &crossing);
  ASSERT_FALSE(crossing.IsEmpty());
  EXPECT_EQ(crossing.lower, crossing.upper);
  EXPECT_DOUBLE_EQ(crossing.lower, 2);
}

TEST(SilhouetteCone, NoHullVertexLeavesNothing) {
  const SilhouetteCone cone(ViewWithHull({}));
  EXPECT_TRUE(cone.IsEmpty());
  RayStretch stretch;
  cone.ClipEveryFace(Vec3(0, 0, -1), Vec3(0, 0, 1), &stretch);
  EXPECT_TRUE(stretch.IsEmpty());
}

TEST(SilhouetteCone, FrontHalfSpaceIsStrict) {
  // The ray (0.5 s, 0.5 s, 0) stays in the principal plane: no point of it
  // lies in front of the camera, whatever the faces say.
  const SilhouetteCone cone(ViewWithHull({{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}));
  RayStretch stretch;
  cone.ClipEveryFace(Vec3(0, 0, 0), Vec3(0.5, 0.5, 0), &stretch);
  EXPECT_TRUE(stretch.IsEmpty());
}

TEST(SilhouetteCone, TwoCrossedFacesGiveTheSameStretchAsEveryFace) {
  // A regular 12-gon; rays a + s b whose image lines cross it. The two
  // faces the line crosses, found here by the signs along the line, bound
  // the stretch exactly as all twelve do.
  std::vector<Vec2> hull;
  for (int k = 0; k < 12; ++k) {
    const double t = 2 * 3.141592653589793 * k / 12;
    hull.push_back(Vec2(0.3 * std::cos(t), 0.2 * std::sin(t)));
  }
  const SilhouetteCone cone(ViewWithHull(hull));
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> u(-1, 1);
  int compared = 0;
  for (int trial = 0; trial < 2000; ++trial) {
    const Vec3 a(u(rng), u(rng), 2 * u(rng));
    const Vec3 b(u(rng), u(rng), u(rng));
    // The faces whose sign changes along the image line of a + s b.
    std::vector<int32_t> crossed;
    const Vec3 line = a.Cross(b);
    for (int32_t k = 0; k < 12; ++k) {
      const Vec2 p = hull[k];
      const Vec2 q = hull[(k + 1) % 12];
      const double sp = line.Dot(Vec3(p.x, p.y, 1));
      const double sq = line.Dot(Vec3(q.x, q.y, 1));
      if ((sp < 0) != (sq < 0)) crossed.push_back(k);
    }
    if (crossed.size() != 2) continue;
    RayStretch every, two;
    cone.ClipEveryFace(a, b, &every);
    cone.ClipTwoFaces(crossed[0], crossed[1], a, b, &two);
    ASSERT_EQ(every.IsEmpty(), two.IsEmpty()) << trial;
    if (every.IsEmpty()) continue;
    ++compared;
    EXPECT_NEAR(every.lower, two.lower, 1e-12 * (1 + every.lower));
    if (std::isinf(every.upper)) {
      EXPECT_TRUE(std::isinf(two.upper));
    } else {
      EXPECT_NEAR(every.upper, two.upper, 1e-12 * (1 + every.upper));
    }
  }
  EXPECT_GT(compared, 100);
}

}  // namespace
}  // namespace silhouette
