// A calibrated perspective camera with one radial distortion coefficient.
#pragma once

#include <cstdint>

#include "geometry/mat3.h"
#include "geometry/mat4.h"
#include "geometry/vec2.h"
#include "geometry/vec3.h"
#include "host/mex_api.h"

namespace silhouette {

// Maps world points to image pixels and image pixels to normalized camera
// coordinates (x, y) = (Xc / Zc, Yc / Zc). Pixel offsets from the principal
// point are "undistorted" before the radial distortion, equal to
// efl * (x, y), and "distorted" after it, equal to (u - u0, v - v0); the
// model is Ru = Rd * (1 + kappa1 * Rd^2).
class Camera {
 public:
  Camera();
  virtual ~Camera() = default;
  Camera(const Camera&) = default;
  Camera& operator=(const Camera&) = default;

  // Fills the camera from element `index` of a host struct array with the
  // fields efl, u0, v0, kappa1 (first element of each used) and pose (16
  // values, column-major 4 x 4). Throws ErrorText, leaving the camera
  // untouched, when the index is out of range, a field is missing, or a
  // value is not a real double array with enough elements. Built with a
  // host only (camera_read.cc), not in the host-free C++ libraries.
  void ReadFromMxStruct(const mxArray* s, int64_t index);

  // World point to image pixel, distortion applied. Points on the camera
  // plane or behind it go through the same formula.
  Vec2 Project(const Vec3& world) const;
  Vec2 NormalizedToImage(const Vec2& normalized) const;

  // Image pixel to normalized coordinates, distortion removed. With efl 0
  // every pixel maps to the largest finite double in both coordinates.
  Vec2 ImageToNormalized(const Vec2& pixel) const;
  void ImageToNormalized(const Vec2& pixel, Vec2* normalized) const;

  // Closed form of the distortion model.
  Vec2 DistortedToUndistorted(const Vec2& pd) const;
  // Its inverse, by Cardano's formula. For kappa1 < 0 offsets beyond the
  // model's reach are clamped silently to the maximum barrel radius
  // sqrt(-1 / (3 kappa1)). The zero offset, and any offset when kappa1 is
  // 0, come back unchanged.
  Vec2 UndistortedToDistorted(const Vec2& pu) const;

  // [[efl, 0, u0], [0, efl, v0], [0, 0, 1]]; throws "Cannot form matrix K
  // with nonzero kappa1" unless kappa1 is exactly 0. KR and KT throw alike.
  Mat3 K() const;
  Mat3 R() const;
  Vec3 T() const;
  Mat3 KR() const;
  Vec3 KT() const;

  double efl;
  double u0;
  double v0;
  double kappa1;
  // Homogeneous world-to-camera transform, row-major.
  Mat4 pose;
};

// 0 for 0, the real cube root otherwise (by pow with exponent 1/3).
double SignedCubeRoot(double x);

}  // namespace silhouette
