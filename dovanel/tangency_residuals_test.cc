#include "dovanel/tangency_residuals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <utility>

#include "camera/view_set.h"
#include "dovanel/relative_pose_model.h"
#include "dovanel/tangent_points.h"
#include "dovanel/two_set_scene.h"
#include "geometry/error_text.h"
#include "geometry/vec4.h"

namespace silhouette {
namespace {

using testing::MakeCamera;
using testing::MakeTwoSetScene;
using testing::MakeView;
using testing::PerturbedPose;
using testing::TwoSetScene;

// A pose whose camera centre is `centre`, with the identity rotation.
Mat4 PoseAt(const Vec3& centre) {
  Mat4 pose = Mat4::kIdentity;
  pose[0][3] = -centre.x;
  pose[1][3] = -centre.y;
  pose[2][3] = -centre.z;
  return pose;
}

Mat4 Translation(double x, double y, double z) {
  Mat4 t = Mat4::kIdentity;
  t[0][3] = x;
  t[1][3] = y;
  t[2][3] = z;
  return t;
}

const Polygon2 kSquare = {Vec2(0, 0), Vec2(10, 0), Vec2(10, 10), Vec2(0, 10)};

TEST(ProjectedCentre, IsTheImageOfThePartnerCentreCarriedByT) {
  const View view =
      MakeView(MakeCamera(Mat4::kIdentity, 100, 320, 240), kSquare);
  const View partner =
      MakeView(MakeCamera(PoseAt(Vec3(1, 2, 4)), 50, 0, 0), kSquare);
  EXPECT_EQ(ProjectedCentre(view, partner, Mat4::kIdentity), Vec2(345, 290));
  EXPECT_EQ(ProjectedCentre(view, partner, Translation(0, 0, 4)),
            Vec2(332.5, 265));
}

TEST(ProjectedCentre, UsesThePartnerCentreWhateverItsRotation) {
  std::mt19937 rng(5);
  const TwoSetScene scene = MakeTwoSetScene(&rng, 1, 2);
  // Camera 0 of B, rotated, with its centre at c: pose = [R | -R c].
  const Camera& rotated = scene.camerasA[0];
  const Mat4 inverse = rotated.pose.Inverse();
  const Vec3 c(inverse[0][3], inverse[1][3], inverse[2][3]);
  const View partner = MakeView(rotated, kSquare);
  const View view =
      MakeView(MakeCamera(PoseAt(Vec3(0, 0, -20)), 100, 0, 0), kSquare);
  const Vec2 e = ProjectedCentre(view, partner, Mat4::kIdentity);
  EXPECT_NEAR(e.x, 100 * c.x / (c.z + 20), 1e-9);
  EXPECT_NEAR(e.y, 100 * c.y / (c.z + 20), 1e-9);
}

TEST(EpipoleInside, TheBoxIsOpen) {
  // The partner's centre (1, 0, 1) projects exactly to (100, 0).
  const View partner =
      MakeView(MakeCamera(PoseAt(Vec3(1, 0, 1)), 100, 0, 0), kSquare);
  ASSERT_EQ(
      ProjectedCentre(MakeView(MakeCamera(Mat4::kIdentity, 100, 0, 0), kSquare),
                      partner, Mat4::kIdentity),
      Vec2(100, 0));
  struct Box {
    Vec2 min;
    Vec2 max;
    bool inside;
  };
  const Box boxes[] = {
      {Vec2(99, -1), Vec2(101, 1), true},
      {Vec2(100, -1), Vec2(101, 1), false},  // e.x = xmin
      {Vec2(99, -1), Vec2(100, 1), false},   // e.x = xmax
      {Vec2(99, 0), Vec2(101, 1), false},    // e.y = ymin
      {Vec2(99, -1), Vec2(101, 0), false},   // e.y = ymax
      {Vec2(99.999999, -1e-9), Vec2(100.000001, 1e-9), true},
      {Vec2(101, -1), Vec2(102, 1), false},
  };
  for (const Box& box : boxes) {
    View view = MakeView(MakeCamera(Mat4::kIdentity, 100, 0, 0), kSquare);
    view.boxMin = box.min;
    view.boxMax = box.max;
    EXPECT_EQ(EpipoleInside(view, partner, Mat4::kIdentity), box.inside)
        << box.min.x << " " << box.min.y << " " << box.max.x << " "
        << box.max.y;
  }
}

// Pairs of views of two sets built from one scene, with T carrying B's
// world into A's.
struct ScenePairs {
  TwoSetScene scene;
  ViewSet a;
  ViewSet b;
  Mat4 t;
};

ScenePairs ReadScene(unsigned seed, int num_a, int num_b) {
  std::mt19937 rng(seed);
  TwoSetScene scene = MakeTwoSetScene(&rng, num_a, num_b);
  ViewSet a(scene.viewVecA.get());
  ViewSet b(scene.viewVecB.get());
  const Mat4 t = PoseToMatrix(scene.truePose.data());
  return ScenePairs{std::move(scene), std::move(a), std::move(b), t};
}

TEST(PairResiduals, VanishAtTheTrueTransformForExactSilhouettes) {
  int checked = 0;
  for (unsigned seed = 1; seed <= 8; ++seed) {
    const ScenePairs s = ReadScene(seed, 3, 3);
    const Mat4 t_inverse = s.t.Inverse();
    for (int i = 0; i < s.a.NumViews(); ++i) {
      for (int j = 0; j < s.b.NumViews(); ++j) {
        const View& a = s.a.GetView(i);
        const View& b = s.b.GetView(j);
        // Epipoles inside a box give no tangents.
        if (EpipoleInside(a, b, s.t) || EpipoleInside(b, a, t_inverse)) {
          continue;
        }
        double out[8];
        PairResiduals(a, b, s.t, out);
        PairResiduals(b, a, t_inverse, out + 4);
        for (int r = 0; r < 8; ++r) {
          EXPECT_NEAR(out[r], 0, 1e-8) << seed << " " << i << " " << j;
        }
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 50);
}

// The epipolar line in `view`'s image of pixel p of `partner`, as a unit
// normal n and a point q on it, built from two image points: the epipole and
// the image of a point on p's viewing ray.
struct Line {
  Vec2 n;
  Vec2 q;
};

Line EpipolarLine(const View& view, const View& partner, const Mat4& t,
                  const Vec2& p) {
  const Camera& c = partner.camera;
  const Vec3 ray((p.x - c.u0) / c.efl, (p.y - c.v0) / c.efl, 1);
  const Vec3 in_camera = ray * 5.0;
  const Vec4 world = t * (c.pose.Inverse() * Vec4::FromPoint(in_camera));
  const Vec2 image = view.camera.Project(world.ToVec3());
  const Vec2 e = ProjectedCentre(view, partner, t);
  Vec2 n = (image - e).RotatedCw();
  n.Normalize();
  return Line{n, e};
}

double SignedDistance(const Line& line, const Vec2& p) {
  return line.n.Dot(p - line.q);
}

TEST(PairResiduals, AreThePerpendicularOffsetsToThePartnerLines) {
  int checked = 0;
  for (unsigned seed = 20; seed < 26; ++seed) {
    const ScenePairs s = ReadScene(seed, 2, 2);
    std::mt19937 rng(seed);
    const std::vector<double> wrong =
        PerturbedPose(&rng, s.scene.truePose, 2.0, 0.05);
    const Mat4 t = PoseToMatrix(wrong.data());
    const Mat4 t_inverse = t.Inverse();
    for (int i = 0; i < 2; ++i) {
      for (int j = 0; j < 2; ++j) {
        const View& a = s.a.GetView(i);
        const View& b = s.b.GetView(j);
        if (EpipoleInside(a, b, t) || EpipoleInside(b, a, t_inverse)) {
          continue;
        }
        const TangentPair t1 = TangentPoints(a, ProjectedCentre(a, b, t));
        TangentPair t2 = TangentPoints(b, ProjectedCentre(b, a, t_inverse));
        const Line l2 = EpipolarLine(b, a, t_inverse, t1.first);
        if (std::abs(SignedDistance(l2, t2.first)) >
            std::abs(SignedDistance(l2, t2.second))) {
          std::swap(t2.first, t2.second);
        }
        double out[4];
        PairResiduals(a, b, t, out);
        const std::pair<Vec2, Vec2> pairs[2] = {{t1.first, t2.first},
                                                {t1.second, t2.second}};
        double largest = 0;
        for (int k = 0; k < 2; ++k) {
          const Line l1 = EpipolarLine(a, b, t, pairs[k].second);
          const Vec2 offset = l1.n * -SignedDistance(l1, pairs[k].first);
          EXPECT_NEAR(out[2 * k], offset.x, 1e-6 * (1 + offset.Length()));
          EXPECT_NEAR(out[2 * k + 1], offset.y, 1e-6 * (1 + offset.Length()));
          largest = std::max(largest, offset.Length());
        }
        EXPECT_GT(largest, 0.1);  // the wrong pose is visibly wrong
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 10);
}

TEST(PairResiduals, NeedUndistortedCameras) {
  std::mt19937 rng(2);
  const TwoSetScene scene = MakeTwoSetScene(&rng, 1, 1);
  const Mat4 t = PoseToMatrix(scene.truePose.data());
  for (int which = 0; which < 2; ++which) {
    View a = MakeView(scene.camerasA[0], kSquare);
    View b = MakeView(scene.camerasB[0], kSquare);
    (which == 0 ? a : b).camera.kappa1 = 1e-300;
    double out[4];
    try {
      PairResiduals(a, b, t, out);
      ADD_FAILURE() << "no error for camera " << which;
    } catch (const ErrorText& error) {
      EXPECT_EQ(std::string(error.what()),
                "Cannot form matrix K with nonzero kappa1");
    }
  }
}

}  // namespace
}  // namespace silhouette
