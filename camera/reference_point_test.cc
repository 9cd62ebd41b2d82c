#include "camera/reference_point.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "camera/synthetic_scene.h"
#include "camera/view_set.h"
#include "geometry/error_text.h"

namespace silhouette {
namespace {

using testing::LookAtCamera;
using testing::MakeViewVec;

View HullView(const Polygon2& hull_points) {
  View view;
  view.boundary = hull_points;
  for (std::size_t k = 0; k < hull_points.size(); ++k) view.hull.push_back(k);
  return view;
}

std::string ConstructionError(const mxArray* viewVec) {
  try {
    ViewSet set(viewVec);
  } catch (const ErrorText& error) {
    return error.what();
  }
  return "";
}

// A square of half-size h centred at (cx, cy).
Polygon2 Square(double cx, double cy, double h) {
  return {
      {cx - h, cy - h}, {cx + h, cy - h}, {cx + h, cy + h}, {cx - h, cy + h}};
}

TEST(HullCentroid, EitherOrientationAndDegenerateHulls) {
  EXPECT_EQ(HullCentroid(HullView({{0, 0}, {1, 0}, {1, 1}, {0, 1}})),
            Vec2(0.5, 0.5));
  EXPECT_EQ(HullCentroid(HullView({{0, 0}, {0, 1}, {1, 1}, {1, 0}})),
            Vec2(0.5, 0.5));
  const Vec2 triangle = HullCentroid(HullView({{0, 0}, {3, 0}, {0, 3}}));
  EXPECT_NEAR(triangle.x, 1, 1e-15);
  EXPECT_NEAR(triangle.y, 1, 1e-15);
  EXPECT_EQ(HullCentroid(HullView({{2, 4}, {6, 8}})), Vec2(4, 6));
  EXPECT_EQ(HullCentroid(HullView({{2, 4}})), Vec2(2, 4));
}

TEST(ReferencePoint, ThreeCamerasSeeingOnePoint) {
  const Vec3 target(0, 0, 5);
  const std::vector<Camera> cameras = {
      LookAtCamera(Vec3(10, 0, 5), target, 800, 320, 240),
      LookAtCamera(Vec3(0, 12, 7), target, 700, 300, 250),
      LookAtCamera(Vec3(-8, -6, 1), target, 900, 310, 230)};
  // Silhouettes centred on the image of the target.
  std::vector<Polygon2> boundaries;
  for (const Camera& camera : cameras) {
    const Vec2 c = camera.Project(target);
    boundaries.push_back(Square(c.x, c.y, 40));
  }
  host::ArrayPtr views = MakeViewVec(cameras, boundaries);
  const ViewSet set(views.get());
  for (int i = 0; i < 3; ++i) {
    const View& view = set.GetView(i);
    const Mat4& p = view.camera.pose;
    const double depth =
        p[2][0] * target.x + p[2][1] * target.y + p[2][2] * target.z + p[2][3];
    ASSERT_EQ(view.scaledBoundary.size(), view.normalizedBoundary.size());
    for (std::size_t k = 0; k < view.scaledBoundary.size(); ++k) {
      EXPECT_NEAR(view.scaledBoundary[k].x,
                  depth * view.normalizedBoundary[k].x, 1e-9);
      EXPECT_NEAR(view.scaledBoundary[k].y,
                  depth * view.normalizedBoundary[k].y, 1e-9);
    }
    EXPECT_EQ(view.directionBins.size(), 100u);
  }
}

TEST(ReferencePoint, SingularFirstEquationsFail) {
  // Identity rotations, centroids at the principal points: the first three
  // equations are (1, 0, 0), (0, 1, 0), (1, 0, 0).
  Camera a = LookAtCamera(Vec3(0, 0, 0), Vec3(0, 0, 1), 500, 320, 240);
  a.pose = Mat4::kIdentity;
  Camera b = a;
  b.pose[0][3] = 1;
  host::ArrayPtr views =
      MakeViewVec({a, b}, {Square(320, 240, 10), Square(320, 240, 20)});
  EXPECT_EQ(ConstructionError(views.get()), "Failed to solve linear system.");
}

TEST(ReferencePoint, DistortionFailsOnlyAfterEveryViewIsRead) {
  std::mt19937 rng(6);
  std::vector<Camera> cameras = testing::CamerasAround(&rng, 3, 10);
  const std::vector<Vec3> body =
      testing::RandomPolyhedron(&rng, 20, 1, 1.5, 2, Vec3(0, 0, 0));
  std::vector<Polygon2> boundaries;
  for (const Camera& camera : cameras) {
    boundaries.push_back(testing::Silhouette(camera, body));
  }
  cameras[0].kappa1 = 1e-9;
  host::ArrayPtr views = MakeViewVec(cameras, boundaries);
  EXPECT_EQ(ConstructionError(views.get()),
            "Cannot form matrix K with nonzero kappa1");
  host::SetField(views.get(), 2, "boundary", host::MakeMatrix(3, 1, {}));
  EXPECT_EQ(ConstructionError(views.get()),
            "boundary of view 3 is not a real double matrix of 2 rows and at "
            "least 1 column.");
}

TEST(ReferencePoint, OneViewSetsAndDegenerateSilhouettes) {
  const Camera camera =
      LookAtCamera(Vec3(0, 0, -5), Vec3(0, 0, 0), 500, 320, 240);
  host::ArrayPtr one = MakeViewVec({camera}, {Square(300, 200, 30)});
  const ViewSet single(one.get());
  const View& view = single.GetView(0);
  for (std::size_t k = 0; k < view.scaledBoundary.size(); ++k) {
    EXPECT_EQ(view.scaledBoundary[k], view.normalizedBoundary[k]);
  }
  EXPECT_EQ(view.directionBins.size(), 100u);

  // A point silhouette and a segment silhouette beside a proper one.
  std::mt19937 rng(2);
  const std::vector<Camera> cameras = testing::CamerasAround(&rng, 3, 10);
  host::ArrayPtr views = MakeViewVec(
      cameras, {Square(320, 240, 30), {{320, 240}}, {{300, 240}, {340, 240}}});
  const ViewSet set(views.get());
  for (int i = 0; i < 3; ++i) {
    for (const Vec2& p : set.GetView(i).scaledBoundary) {
      EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
    }
    for (const auto& bin : set.GetView(i).directionBins) {
      EXPECT_FALSE(bin.empty());
    }
  }
}

}  // namespace
}  // namespace silhouette
