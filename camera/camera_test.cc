#include "camera/camera.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "camera/synthetic_scene.h"
#include "geometry/error_text.h"

namespace silhouette {
namespace {

constexpr double kBig = 1.7976931348623157e308;

Camera Intrinsics(double efl, double u0, double v0, double kappa1) {
  Camera camera;
  camera.efl = efl;
  camera.u0 = u0;
  camera.v0 = v0;
  camera.kappa1 = kappa1;
  camera.pose = Mat4::kIdentity;
  return camera;
}

TEST(Camera, NormalizedImageRoundTripsWithAndWithoutDistortion) {
  std::mt19937 rng(1);
  std::uniform_real_distribution<double> u(-0.6, 0.6);
  for (double kappa1 : {0.0, 1e-7, -1e-7, 3e-6}) {
    const Camera camera = Intrinsics(800, 320, 240, kappa1);
    for (int trial = 0; trial < 200; ++trial) {
      const Vec2 n(u(rng), u(rng));
      const Vec2 back = camera.ImageToNormalized(camera.NormalizedToImage(n));
      EXPECT_NEAR(back.x, n.x, 1e-12) << kappa1;
      EXPECT_NEAR(back.y, n.y, 1e-12) << kappa1;
    }
  }
}

TEST(Camera, DistortionInverseAndClamp) {
  const Camera barrel = Intrinsics(800, 0, 0, -1e-7);
  const double max_radius = std::sqrt(1 / 3e-7);
  EXPECT_NEAR(barrel.UndistortedToDistorted(Vec2(2000, 0)).Length(), max_radius,
              1e-9);
  EXPECT_NEAR(barrel.UndistortedToDistorted(Vec2(0, -5000)).Length(),
              max_radius, 1e-9);
  const Vec2 pu(600, 800);  // length 1000, within reach of the model
  const Vec2 back =
      barrel.DistortedToUndistorted(barrel.UndistortedToDistorted(pu));
  EXPECT_NEAR(back.x, 600, 1e-9);
  EXPECT_NEAR(back.y, 800, 1e-9);
  // Barrel distortion pushes offsets outwards, pincushion pulls them in.
  EXPECT_GT(barrel.UndistortedToDistorted(pu).Length(), 1000);
  const Camera pincushion = Intrinsics(800, 0, 0, 1e-7);
  EXPECT_LT(pincushion.UndistortedToDistorted(pu).Length(), 1000);
  for (const Camera& camera : {barrel, pincushion}) {
    const Vec2 zero = camera.UndistortedToDistorted(Vec2(0, 0));
    EXPECT_EQ(zero, Vec2(0, 0));
    EXPECT_EQ(camera.NormalizedToImage(Vec2(0, 0)), Vec2(0, 0));
  }
}

TEST(Camera, ZeroFocalLengthGivesTheLargestDouble) {
  const Camera camera = Intrinsics(0, 320, 240, 0);
  EXPECT_EQ(camera.ImageToNormalized(Vec2(1, 2)), Vec2(kBig, kBig));
  Vec2 out;
  camera.ImageToNormalized(Vec2(320, 240), &out);
  EXPECT_EQ(out, Vec2(kBig, kBig));
}

TEST(Camera, LinearPiecesNeedExactlyZeroKappa) {
  Camera camera = Intrinsics(500, 320, 240, 0);
  const Mat3 k = camera.K();
  EXPECT_EQ(k[0][0], 500);
  EXPECT_EQ(k[0][2], 320);
  EXPECT_EQ(k[1][2], 240);
  EXPECT_EQ(k[2][2], 1);
  camera.kappa1 = 1e-300;
  for (int piece = 0; piece < 3; ++piece) {
    try {
      if (piece == 0) camera.K();
      if (piece == 1) camera.KR();
      if (piece == 2) camera.KT();
      ADD_FAILURE() << "piece " << piece << " did not throw";
    } catch (const ErrorText& error) {
      EXPECT_STREQ(error.what(), "Cannot form matrix K with nonzero kappa1");
    }
  }
}

TEST(Camera, ProjectEqualsTheLinearPiecesWithoutDistortion) {
  std::mt19937 rng(2);
  const Camera camera =
      testing::LookAtCamera(Vec3(3, -4, 2), Vec3(0.1, 0.2, 0), 700, 300, 200);
  std::uniform_real_distribution<double> u(-1, 1);
  for (int trial = 0; trial < 50; ++trial) {
    const Vec3 x(u(rng), u(rng), u(rng));
    const Vec3 h = camera.KR() * x + camera.KT();
    const Vec2 p = camera.Project(x);
    EXPECT_NEAR(p.x, h.x / h.z, 1e-9);
    EXPECT_NEAR(p.y, h.y / h.z, 1e-9);
  }
  // The target projects to the principal point.
  const Vec2 centre = camera.Project(Vec3(0.1, 0.2, 0));
  EXPECT_NEAR(centre.x, 300, 1e-9);
  EXPECT_NEAR(centre.y, 200, 1e-9);
}

TEST(Camera, SignedCubeRoot) {
  EXPECT_EQ(SignedCubeRoot(0), 0);
  EXPECT_NEAR(SignedCubeRoot(27), 3, 1e-15);
  EXPECT_NEAR(SignedCubeRoot(-8), -2, 1e-15);
}

}  // namespace
}  // namespace silhouette
