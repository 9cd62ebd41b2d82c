#include "camera/view_set.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "camera/synthetic_scene.h"
#include "geometry/error_text.h"

namespace silhouette {
namespace {

using host::ArrayPtr;
using testing::MakeBoundary;
using testing::MakeCameraStruct;
using testing::MakeViewVec;

Camera SimpleCamera(double efl = 500) {
  Camera camera;
  camera.efl = efl;
  camera.u0 = 320;
  camera.v0 = 240;
  camera.kappa1 = 0;
  camera.pose = Mat4::kIdentity;
  return camera;
}

std::string ConstructionError(const mxArray* viewVec) {
  try {
    ViewSet set(viewVec);
  } catch (const ErrorText& error) {
    return error.what();
  }
  return "";
}

std::string ConstructionError(std::vector<View> views) {
  try {
    ViewSet set(std::move(views));
  } catch (const ErrorText& error) {
    return error.what();
  }
  return "";
}

std::vector<View> ViewsOf(const std::vector<Camera>& cameras,
                          const std::vector<Polygon2>& boundaries) {
  std::vector<View> views(cameras.size());
  for (std::size_t i = 0; i < cameras.size(); ++i) {
    views[i].camera = cameras[i];
    views[i].boundary = boundaries[i];
  }
  return views;
}

// Cameras that see a pentagon in different places, so that the set's
// reference point is well defined.
std::vector<Camera> ThreeCameras() {
  std::vector<Camera> cameras;
  for (int i = 0; i < 3; ++i) {
    Camera camera = testing::LookAtCamera(
        Vec3(10 * std::cos(2.0 * i), 10 * std::sin(2.0 * i), 1), Vec3(0, 0, 0),
        100.0 * (i + 1), 320, 240);
    cameras.push_back(camera);
  }
  return cameras;
}

TEST(ViewSet, ReadsViewsInElementOrder) {
  const std::vector<Camera> cameras = ThreeCameras();
  const Polygon2 pentagon = {{0, 0}, {4, 0}, {5, 3}, {2, 5}, {-1, 3}};
  ArrayPtr views = MakeViewVec(cameras, {pentagon, pentagon, pentagon});
  const ViewSet set(views.get());
  ASSERT_EQ(set.NumViews(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(set.GetView(i).camera.efl, 100.0 * (i + 1));
    EXPECT_EQ(set.GetView(i).boundary.size(), 5u);
    EXPECT_EQ(set.GetView(i).NumHullVertices(), 5);
  }
}

TEST(ViewSet, HullIsCounterClockwiseAndSkipsInnerPoints) {
  // A clockwise triangle with a vertex in the middle of an edge and one
  // inside.
  const Polygon2 boundary = {{0, 0}, {0, 10}, {5, 5}, {3, 3}, {10, 0}};
  ArrayPtr views = MakeViewVec({SimpleCamera()}, {boundary});
  const ViewSet set(views.get());
  const View& view = set.GetView(0);
  std::vector<int32_t> hull = view.hull;
  ASSERT_EQ(hull.size(), 3u);
  for (std::size_t k = 0; k < 3; ++k) {
    const Vec2 a = view.HullPoint(k), b = view.HullPoint((k + 1) % 3),
               c = view.HullPoint((k + 2) % 3);
    EXPECT_GT((b - a).Cross(c - b), 0);
  }
  std::sort(hull.begin(), hull.end());
  EXPECT_EQ(hull, (std::vector<int32_t>{0, 1, 4}));
  EXPECT_EQ(view.boxMin, Vec2(0, 0));
  EXPECT_EQ(view.boxMax, Vec2(10, 10));
  EXPECT_EQ(view.normalizedBoundary.size(), 5u);
}

TEST(ViewSet, NormalizedHullPoint) {
  const Polygon2 boundary = {{820, 240}, {320, 740}, {320, 240}};
  ArrayPtr views = MakeViewVec({SimpleCamera(500)}, {boundary});
  const ViewSet set(views.get());
  const View& view = set.GetView(0);
  bool found = false;
  for (int32_t k = 0; k < view.NumHullVertices(); ++k) {
    if (view.HullPoint(k) == Vec2(820, 240)) {
      EXPECT_EQ(view.NormalizedHullPoint(k), Vec2(1, 0));
      found = true;
    }
  }
  EXPECT_TRUE(found);
}

TEST(ViewSet, OnlyElementZeroOfTheCameraIsRead) {
  ArrayPtr views = MakeViewVec({SimpleCamera()}, {{{0, 0}, {1, 0}, {0, 1}}});
  ArrayPtr cameras =
      host::MakeStructArray(2, {"efl", "u0", "v0", "kappa1", "pose"});
  for (int i = 0; i < 2; ++i) {
    ArrayPtr one = MakeCameraStruct(SimpleCamera(100 + i));
    for (const char* f : {"efl", "u0", "v0", "kappa1", "pose"}) {
      const mxArray* v = mxGetField(one.get(), 0, f);
      host::SetField(cameras.get(), i, f,
                     host::MakeMatrix(mxGetM(v), mxGetN(v), host::Values(v)));
    }
  }
  host::SetField(views.get(), 0, "camera", std::move(cameras));
  EXPECT_EQ(ViewSet(views.get()).GetView(0).camera.efl, 100);
}

TEST(ViewSet, MissingFieldsInReadingOrder) {
  const Polygon2 triangle = {{0, 0}, {1, 0}, {0, 1}};
  ArrayPtr no_boundary = host::MakeStructArray(2, {"camera"});
  EXPECT_EQ(ConstructionError(no_boundary.get()),
            "missing boundary field in viewVec from Matlab.");
  // The camera field is looked for after view 0's boundary is read: a bad
  // boundary is reported first.
  ArrayPtr no_camera = host::MakeStructArray(1, {"boundary"});
  host::SetField(no_camera.get(), 0, "boundary", MakeBoundary(triangle));
  EXPECT_EQ(ConstructionError(no_camera.get()),
            "missing camera field in viewVec from Matlab.");
  host::SetField(no_camera.get(), 0, "boundary", host::MakeMatrix(3, 1, {}));
  EXPECT_EQ(ConstructionError(no_camera.get()),
            "boundary of view 1 is not a real double matrix of 2 rows and at "
            "least 1 column.");
  ArrayPtr views =
      MakeViewVec({SimpleCamera(), SimpleCamera()}, {triangle, triangle});
  host::SetField(views.get(), 1, "camera", host::MakeScalar(3));
  EXPECT_EQ(ConstructionError(views.get()), "camera is not a struct.");
}

TEST(ViewSet, BadBoundariesAreRejectedBeforeTheyAreRead) {
  const Polygon2 triangle = {{0, 0}, {1, 0}, {0, 1}};
  const std::string bad_shape =
      "boundary of view 2 is not a real double matrix of 2 rows and at "
      "least 1 column.";
  std::vector<ArrayPtr> bad;
  bad.push_back(host::MakeMatrix(2, 0, {}));
  bad.push_back(host::MakeMatrix(3, 4, std::vector<double>(12, 1)));
  bad.emplace_back(mxCreateNumericMatrix(2, 4, mxINT32_CLASS, mxREAL));
  bad.emplace_back(mxCreateDoubleMatrix(2, 4, mxCOMPLEX));
  bad.emplace_back(mxCreateSparse(2, 4, 1, mxREAL));
  bad.emplace_back(mxCreateCellMatrix(2, 3));
  for (ArrayPtr& boundary : bad) {
    ArrayPtr views =
        MakeViewVec({SimpleCamera(), SimpleCamera()}, {triangle, triangle});
    host::SetField(views.get(), 1, "boundary", std::move(boundary));
    EXPECT_EQ(ConstructionError(views.get()), bad_shape);
  }
  ArrayPtr views = MakeViewVec({SimpleCamera()}, {triangle});
  host::SetField(views.get(), 0, "boundary",
                 host::MakeMatrix(2, 3, {0, 0, 1, std::nan(""), 0, 1}));
  EXPECT_EQ(ConstructionError(views.get()),
            "boundary of view 1 has a coordinate that is not finite.");
  EXPECT_EQ(ConstructionError(host::MakeScalar(1).get()),
            "viewVec is not a struct array with fields camera and boundary.");
}

TEST(ViewSet, OnePointBoundariesAndEmptySets) {
  ArrayPtr views = MakeViewVec({SimpleCamera()}, {{{5, 6}}});
  const ViewSet one(views.get());
  EXPECT_EQ(one.GetView(0).NumHullVertices(), 1);
  EXPECT_EQ(one.GetView(0).boxMin, Vec2(5, 6));
  ArrayPtr empty = MakeViewVec({}, {});
  EXPECT_EQ(ViewSet(empty.get()).NumViews(), 0);
}

TEST(ViewSet, PreparedFromViewsExactlyAsReadFromTheStructArray) {
  std::mt19937 rng(7);
  const std::vector<Camera> cameras = testing::CamerasAround(&rng, 4, 12);
  const std::vector<Vec3> body =
      testing::RandomPolyhedron(&rng, 30, 1, 1.5, 2, Vec3(0.2, -0.1, 0.3));
  std::vector<Polygon2> boundaries;
  for (const Camera& camera : cameras) {
    boundaries.push_back(testing::Silhouette(camera, body, &rng, true));
  }
  ArrayPtr viewVec = MakeViewVec(cameras, boundaries);
  const ViewSet read(viewVec.get());

  // Whatever the views hold besides camera and boundary is recomputed.
  std::vector<View> views = ViewsOf(cameras, boundaries);
  for (View& view : views) {
    view.hull = {0};
    view.boxMin = Vec2(-1, -1);
    view.normalizedBoundary.assign(2, Vec2(3, 4));
    view.scaledBoundary.assign(5, Vec2(1, 1));
    view.directionBins.assign(3, {0});
  }
  const ViewSet prepared(std::move(views));

  ASSERT_EQ(prepared.NumViews(), 4);
  for (int32_t i = 0; i < 4; ++i) {
    const View& a = read.GetView(i);
    const View& b = prepared.GetView(i);
    EXPECT_EQ(b.boundary, boundaries[i]);
    EXPECT_EQ(b.camera.efl, a.camera.efl);
    EXPECT_GE(a.NumHullVertices(), 3);
    EXPECT_EQ(b.hull, a.hull);
    EXPECT_EQ(b.boxMin, a.boxMin);
    EXPECT_EQ(b.boxMax, a.boxMax);
    EXPECT_EQ(b.normalizedBoundary, a.normalizedBoundary);
    EXPECT_EQ(b.scaledBoundary, a.scaledBoundary);
    EXPECT_EQ(b.directionBins, a.directionBins);
    EXPECT_EQ(b.directionBins.size(), 100u);
  }
}

TEST(ViewSet, PreparedFromViewsOfOnePointOrNone) {
  const ViewSet one(ViewsOf({SimpleCamera()}, {{{5, 6}}}));
  ASSERT_EQ(one.NumViews(), 1);
  EXPECT_EQ(one.GetView(0).NumHullVertices(), 1);
  EXPECT_EQ(one.GetView(0).boxMin, Vec2(5, 6));
  EXPECT_EQ(one.GetView(0).boxMax, Vec2(5, 6));
  EXPECT_EQ(one.GetView(0).scaledBoundary,
            (std::vector<Vec2>{Vec2(-315, -234) / 500}));
  EXPECT_EQ(ViewSet(std::vector<View>()).NumViews(), 0);
}

// Boundaries with coordinates above about 1e154, where the squares of
// lengths overflow, get the hull of the boundary scaled down: the same
// vertices, and the box scaled alike.
TEST(ViewSet, HugeBoundariesGetTheHullOfTheBoundaryScaledDown) {
  Polygon2 outline;
  for (int i = 0; i < 120; ++i) {
    const double a = 2 * M_PI * i / 120;
    const double r = 100 + 10 * std::sin(5 * a);
    outline.emplace_back(std::round(320 + r * std::cos(a)),
                         std::round(240 + 0.7 * r * std::sin(a)));
  }
  const ViewSet small(ViewsOf({SimpleCamera()}, {outline}));
  const View& expected = small.GetView(0);
  ASSERT_GE(expected.NumHullVertices(), 3);
  for (int k : {520, 700, 1000}) {
    Polygon2 big;
    for (const Vec2& p : outline) {
      big.emplace_back(std::ldexp(p.x, k), std::ldexp(p.y, k));
    }
    const ViewSet set(ViewsOf({SimpleCamera()}, {big}));
    const View& view = set.GetView(0);
    EXPECT_EQ(view.hull, expected.hull) << "k " << k;
    EXPECT_EQ(view.boxMin.x, std::ldexp(expected.boxMin.x, k));
    EXPECT_EQ(view.boxMax.y, std::ldexp(expected.boxMax.y, k));
  }
}

TEST(ViewSet, ViewsWithBadBoundariesAreRefused) {
  const Polygon2 triangle = {{0, 0}, {1, 0}, {0, 1}};
  EXPECT_EQ(ConstructionError(ViewsOf({SimpleCamera(), SimpleCamera()},
                                      {triangle, {{0, 0}, {1, INFINITY}}})),
            "boundary of view 2 has a coordinate that is not finite.");
  EXPECT_EQ(ConstructionError(ViewsOf({SimpleCamera()}, {{{std::nan(""), 0}}})),
            "boundary of view 1 has a coordinate that is not finite.");
  EXPECT_EQ(ConstructionError(
                ViewsOf({SimpleCamera(), SimpleCamera()}, {triangle, {}})),
            "could not compute the convex hull of the boundary of view 2.");
  // The boundaries are checked view by view before anything else.
  std::vector<View> views =
      ViewsOf({SimpleCamera(), SimpleCamera()}, {triangle, {}});
  views[0].camera.kappa1 = 0.1;
  EXPECT_EQ(ConstructionError(std::move(views)),
            "could not compute the convex hull of the boundary of view 2.");
}

}  // namespace
}  // namespace silhouette
