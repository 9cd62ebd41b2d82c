// A 3 x 3 matrix, row-major.
#pragma once

#include <cmath>

#include "geometry/vec3.h"

namespace silhouette {

template <typename T>
struct Mat3T {
  T m[3][3];

  T* operator[](int r) { return m[r]; }
  const T* operator[](int r) const { return m[r]; }

  Mat3T operator*(const Mat3T& o) const {
    Mat3T p;
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j) {
        p.m[i][j] =
            m[i][0] * o.m[0][j] + m[i][1] * o.m[1][j] + m[i][2] * o.m[2][j];
      }
    }
    return p;
  }

  Vec3T<T> operator*(const Vec3T<T>& v) const {
    return Vec3T<T>(m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z,
                    m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
                    m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z);
  }

  Vec3T<T> Row(int r) const { return Vec3T<T>(m[r][0], m[r][1], m[r][2]); }

  Mat3T Transposed() const {
    Mat3T t;
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j) t.m[i][j] = m[j][i];
    }
    return t;
  }

  T Determinant() const {
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
           m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
  }

  // The adjugate over the determinant; the zero matrix when
  // |det| <= 1e-8.
  Mat3T Inverse() const {
    const T det = Determinant();
    if (!(std::abs(det) > static_cast<T>(1e-8))) return kZero;
    const T r = 1 / det;
    Mat3T inv;
    inv.m[0][0] = (m[1][1] * m[2][2] - m[1][2] * m[2][1]) * r;
    inv.m[0][1] = (m[0][2] * m[2][1] - m[0][1] * m[2][2]) * r;
    inv.m[0][2] = (m[0][1] * m[1][2] - m[0][2] * m[1][1]) * r;
    inv.m[1][0] = (m[1][2] * m[2][0] - m[1][0] * m[2][2]) * r;
    inv.m[1][1] = (m[0][0] * m[2][2] - m[0][2] * m[2][0]) * r;
    inv.m[1][2] = (m[0][2] * m[1][0] - m[0][0] * m[1][2]) * r;
    inv.m[2][0] = (m[1][0] * m[2][1] - m[1][1] * m[2][0]) * r;
    inv.m[2][1] = (m[0][1] * m[2][0] - m[0][0] * m[2][1]) * r;
    inv.m[2][2] = (m[0][0] * m[1][1] - m[0][1] * m[1][0]) * r;
    return inv;
  }

  static const Mat3T kZero;
  static const Mat3T kIdentity;
};

using Mat3 = Mat3T<double>;

template <>
const Mat3T<double> Mat3T<double>::kZero;
template <>
const Mat3T<double> Mat3T<double>::kIdentity;
template <>
const Mat3T<float> Mat3T<float>::kZero;
template <>
const Mat3T<float> Mat3T<float>::kIdentity;

}  // namespace silhouette
