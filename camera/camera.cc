#include "camera/camera.h"

#include <cmath>
#include <limits>

#include "geometry/error_text.h"

namespace silhouette {

Camera::Camera() : efl(0), u0(0), v0(0), kappa1(0), pose(Mat4::kZero) {}

Vec2 Camera::Project(const Vec3& world) const {
  const Vec4 c = pose * Vec4::FromPoint(world);
  return NormalizedToImage(Vec2(c.x / c.z, c.y / c.z));
}

Vec2 Camera::NormalizedToImage(const Vec2& normalized) const {
  const Vec2 pu(efl * normalized.x, efl * normalized.y);
  if (kappa1 == 0) return Vec2(pu.x + u0, pu.y + v0);
  const Vec2 pd = UndistortedToDistorted(pu);
  return Vec2(pd.x + u0, pd.y + v0);
}

Vec2 Camera::ImageToNormalized(const Vec2& pixel) const {
  Vec2 d(pixel.x - u0, pixel.y - v0);
  if (kappa1 != 0) d = DistortedToUndistorted(d);
  if (efl == 0) {
    const double big = std::numeric_limits<double>::max();
    return Vec2(big, big);
  }
  const double r = 1 / efl;
  return Vec2(d.x * r, d.y * r);
}

void Camera::ImageToNormalized(const Vec2& pixel, Vec2* normalized) const {
  *normalized = ImageToNormalized(pixel);
}

Vec2 Camera::DistortedToUndistorted(const Vec2& pd) const {
  const double s = 1 + kappa1 * (pd.x * pd.x + pd.y * pd.y);
  return Vec2(pd.x * s, pd.y * s);
}

Vec2 Camera::UndistortedToDistorted(const Vec2& pu) const {
  const double ru = std::sqrt(pu.x * pu.x + pu.y * pu.y);
  // The limit of the offset at the principal point is the zero offset.
  if (ru == 0 || kappa1 == 0) return pu;
  const double p = 1 / kappa1;
  const double q = -(p * ru);
  const double p3 = p * 0.3333333333333333;
  const double h = q * (-0.5);
  const double d = p3 * p3 * p3 + h * h;
  double rd;
  if (d >= 0) {
    const double sd = std::sqrt(d);
    const double g = SignedCubeRoot(h + sd) + SignedCubeRoot(h - sd);
    rd = g >= 0 ? g : std::sqrt(-1 / (3 * kappa1));
  } else {
    const double s = std::sqrt(-d);
    const double theta = std::atan2(s, h) * 0.3333333333333333;
    const double m = SignedCubeRoot(std::sqrt(h * h + s * s));
    rd = m * (1.7320508075688772 * std::sin(theta) - std::cos(theta));
  }
  return Vec2(pu.x * (rd / ru), pu.y * (rd / ru));
}

Mat3 Camera::K() const {
  if (kappa1 != 0) throw ErrorText("Cannot form matrix K with nonzero kappa1");
  return Mat3{{{efl, 0, u0}, {0, efl, v0}, {0, 0, 1}}};
}

Mat3 Camera::R() const { return pose.Block3(); }

Vec3 Camera::T() const { return pose.Translation(); }

Mat3 Camera::KR() const { return K() * R(); }

Vec3 Camera::KT() const { return K() * T(); }

double SignedCubeRoot(double x) {
  if (x == 0) return 0;
  if (x > 0) return std::pow(x, 0.3333333333333333);
  return -std::pow(-x, 0.3333333333333333);
}

}  // namespace silhouette
