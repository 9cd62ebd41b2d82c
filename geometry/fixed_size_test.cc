#include <gtest/gtest.h>

#include <random>

#include "geometry/mat3.h"
#include "geometry/mat4.h"
#include "geometry/vec3.h"
#include "geometry/vec4.h"

namespace silhouette {
namespace {

constexpr double kBig = 1.7976931348623157e308;

Mat4 RandomPose(std::mt19937* rng) {
  std::uniform_real_distribution<double> u(-1, 1);
  const Vec3 axis = Vec3(u(*rng), u(*rng), u(*rng)).Normalized();
  const double angle = 3 * u(*rng);
  const double c = std::cos(angle), s = std::sin(angle), t = 1 - c;
  Mat4 m = Mat4::kIdentity;
  m[0][0] = t * axis.x * axis.x + c;
  m[0][1] = t * axis.x * axis.y - s * axis.z;
  m[0][2] = t * axis.x * axis.z + s * axis.y;
  m[1][0] = t * axis.x * axis.y + s * axis.z;
  m[1][1] = t * axis.y * axis.y + c;
  m[1][2] = t * axis.y * axis.z - s * axis.x;
  m[2][0] = t * axis.x * axis.z - s * axis.y;
  m[2][1] = t * axis.y * axis.z + s * axis.x;
  m[2][2] = t * axis.z * axis.z + c;
  m[0][3] = 5 * u(*rng);
  m[1][3] = 5 * u(*rng);
  m[2][3] = 5 * u(*rng);
  return m;
}

TEST(Mat4, InverseTimesMatrixIsTheIdentity) {
  std::mt19937 rng(7);
  for (int trial = 0; trial < 20; ++trial) {
    Mat4 m = RandomPose(&rng);
    m[3][0] = 0.1 * trial;  // not only rigid transforms
    const Mat4 product = m.Inverse() * m;
    for (int i = 0; i < 4; ++i) {
      for (int j = 0; j < 4; ++j) {
        EXPECT_NEAR(product[i][j], i == j ? 1 : 0, 1e-12);
      }
    }
  }
}

TEST(Mat4, SingularInverseIsZero) {
  Mat4 m = Mat4::kIdentity;
  m[2][2] = 1e-9;  // det 1e-9 <= 1e-8
  const Mat4 inv = m.Inverse();
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) EXPECT_EQ(inv[i][j], 0);
  }
  const Vec4 v = Mat4::kIdentity * Vec4(1, 2, 3, 4);
  EXPECT_EQ(v.w, 4);
  EXPECT_EQ(v.ToVec3().z, 3);
}

TEST(Mat3, InverseAndSingularCase) {
  Mat3 m{{{2, 1, 0}, {0, 3, 1}, {1, 0, 4}}};
  const Mat3 product = m * m.Inverse();
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      EXPECT_NEAR(product[i][j], i == j ? 1 : 0, 1e-14);
    }
  }
  Mat3 singular{{{1, 2, 3}, {2, 4, 6}, {0, 0, 1}}};
  EXPECT_EQ(singular.Inverse()[0][0], 0);
  EXPECT_EQ(m.Transposed()[0][2], 1);
  EXPECT_EQ((m * Vec3(1, 1, 1)).y, 4);
}

TEST(Vec3, DivisionNormalizationAndCross) {
  const Vec3 big = Vec3(1, 2, 3) / 0.0;
  EXPECT_EQ(big.x, kBig);
  EXPECT_EQ(big.z, kBig);
  EXPECT_EQ(Vec3(0, 0, 1e-9).Normalized().z, 0);
  EXPECT_DOUBLE_EQ(Vec3(0, 3, 4).Normalized().y, 0.6);
  const Vec3 c = Vec3(1, 0, 0).Cross(Vec3(0, 1, 0));
  EXPECT_EQ(c.z, 1);
  EXPECT_EQ(Vec4::kUnitX.x, 1);
  EXPECT_EQ(Mat3T<float>::kIdentity[2][2], 1.0f);
}

}  // namespace
}  // namespace silhouette
