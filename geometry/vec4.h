// A homogeneous point.
#pragma once

#include "geometry/vec3.h"

namespace silhouette {

template <typename T>
struct Vec4T {
  T x;
  T y;
  T z;
  T w;

  Vec4T() = default;
  constexpr Vec4T(T x_value, T y_value, T z_value, T w_value)
      : x(x_value), y(y_value), z(z_value), w(w_value) {}

  // The point (p, 1).
  static Vec4T FromPoint(const Vec3T<T>& p) { return Vec4T(p.x, p.y, p.z, 1); }

  // Drops w without dividing by it.
  Vec3T<T> ToVec3() const { return Vec3T<T>(x, y, z); }

  T operator[](int i) const { return i == 0 ? x : i == 1 ? y : i == 2 ? z : w; }

  // Load-time constants (1, 0, 0, 0) and (0, 0, 0, 0).
  static const Vec4T kUnitX;
  static const Vec4T kZero;
};

using Vec4 = Vec4T<double>;

template <>
const Vec4T<double> Vec4T<double>::kUnitX;
template <>
const Vec4T<double> Vec4T<double>::kZero;
template <>
const Vec4T<float> Vec4T<float>::kUnitX;
template <>
const Vec4T<float> Vec4T<float>::kZero;

}  // namespace silhouette
