// The planar point and vector type.
#pragma once

#include <cmath>
#include <limits>

namespace silhouette {

// A plain value of two coordinates. Default construction leaves both unset.
template <typename T>
struct Vec2T {
  T x;
  T y;

  Vec2T() = default;
  constexpr Vec2T(T x_value, T y_value) : x(x_value), y(y_value) {}

  Vec2T operator-(const Vec2T& other) const {
    return Vec2T(x - other.x, y - other.y);
  }
  Vec2T operator+(const Vec2T& other) const {
    return Vec2T(x + other.x, y + other.y);
  }
  Vec2T operator-() const { return Vec2T(-x, -y); }
  Vec2T operator*(T s) const { return Vec2T(x * s, y * s); }

  // Division by a scalar multiplies by its reciprocal. A divisor that is
  // exactly zero (either sign) or not a number gives the largest finite
  // value in both coordinates instead of failing.
  Vec2T operator/(T s) const {
    if (s == 0 || std::isnan(s)) {
      const T big = std::numeric_limits<T>::max();
      return Vec2T(big, big);
    }
    const T r = 1 / s;
    return Vec2T(x * r, y * r);
  }

  bool operator==(const Vec2T& other) const {
    return x == other.x && y == other.y;
  }
  bool operator!=(const Vec2T& other) const { return !(*this == other); }

  // (y, -x): the vector turned by -90 degrees.
  Vec2T RotatedCw() const { return Vec2T(y, -x); }

  T Dot(const Vec2T& other) const { return x * other.x + y * other.y; }

  // x * other.y - y * other.x: positive when `other` lies counter-clockwise.
  T Cross(const Vec2T& other) const { return x * other.y - y * other.x; }

  T Length() const { return std::sqrt(x * x + y * y); }

  // Scales to unit length in place and returns the length measured before.
  // A length of 1e-8 or less (or not a number) zeroes the vector and
  // returns 0.
  T Normalize() {
    const T length = Length();
    if (length > static_cast<T>(1e-8)) {
      const T r = 1 / length;
      x = x * r;
      y = y * r;
      return length;
    }
    x = 0;
    y = 0;
    return 0;
  }

  // Load-time constants (0, 0), (1, 0) and (0, 1).
  static const Vec2T kZero;
  static const Vec2T kUnitX;
  static const Vec2T kUnitY;
};

using Vec2 = Vec2T<double>;
using Vec2f = Vec2T<float>;

template <>
const Vec2T<double> Vec2T<double>::kZero;
template <>
const Vec2T<double> Vec2T<double>::kUnitX;
template <>
const Vec2T<double> Vec2T<double>::kUnitY;
template <>
const Vec2T<float> Vec2T<float>::kZero;
template <>
const Vec2T<float> Vec2T<float>::kUnitX;
template <>
const Vec2T<float> Vec2T<float>::kUnitY;

// 1 for v > 0, 0 for v == 0 (either sign), -1 otherwise, NaN included.
inline double Sign(double v) {
  if (v > 0) return 1.0;
  if (v == 0) return 0.0;
  return -1.0;
}

}  // namespace silhouette
