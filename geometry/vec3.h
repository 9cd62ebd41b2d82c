// A world or camera-frame point or direction.
#pragma once

#include <cmath>
#include <limits>

namespace silhouette {

template <typename T>
struct Vec3T {
  T x;
  T y;
  T z;

  Vec3T() = default;
  constexpr Vec3T(T x_value, T y_value, T z_value)
      : x(x_value), y(y_value), z(z_value) {}

  Vec3T operator+(const Vec3T& o) const {
    return Vec3T(x + o.x, y + o.y, z + o.z);
  }
  Vec3T operator-(const Vec3T& o) const {
    return Vec3T(x - o.x, y - o.y, z - o.z);
  }
  Vec3T operator-() const { return Vec3T(-x, -y, -z); }
  Vec3T operator*(T s) const { return Vec3T(x * s, y * s, z * s); }

  // Multiplies by the reciprocal; a divisor of exactly zero gives the
  // largest finite value in every component.
  Vec3T operator/(T s) const {
    if (s == 0) {
      const T big = std::numeric_limits<T>::max();
      return Vec3T(big, big, big);
    }
    const T r = 1 / s;
    return Vec3T(x * r, y * r, z * r);
  }

  T Dot(const Vec3T& o) const { return x * o.x + y * o.y + z * o.z; }

  Vec3T Cross(const Vec3T& o) const {
    return Vec3T(y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x);
  }

  T Length() const { return std::sqrt(x * x + y * y + z * z); }

  // The unit vector, or (0, 0, 0) when the length is 1e-8 or less.
  Vec3T Normalized() const {
    const T length = Length();
    if (length > static_cast<T>(1e-8)) {
      const T r = 1 / length;
      return Vec3T(x * r, y * r, z * r);
    }
    return Vec3T(0, 0, 0);
  }
};

using Vec3 = Vec3T<double>;

}  // namespace silhouette
