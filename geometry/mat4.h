// A 4 x 4 matrix, row-major.
#pragma once

#include <cmath>

#include "geometry/mat3.h"
#include "geometry/vec4.h"

namespace silhouette {

template <typename T>
struct Mat4T {
  T m[4][4];

  T* operator[](int r) { return m[r]; }
  const T* operator[](int r) const { return m[r]; }

  Mat4T operator*(const Mat4T& o) const {
    Mat4T p;
    for (int i = 0; i < 4; ++i) {
      for (int j = 0; j < 4; ++j) {
        p.m[i][j] = m[i][0] * o.m[0][j] + m[i][1] * o.m[1][j] +
                    m[i][2] * o.m[2][j] + m[i][3] * o.m[3][j];
      }
    }
    return p;
  }

  // Component r is the sum over c of m[r][c] * v[c], all four rows.
  Vec4T<T> operator*(const Vec4T<T>& v) const {
    return Vec4T<T>(
        m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z + m[0][3] * v.w,
        m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z + m[1][3] * v.w,
        m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z + m[2][3] * v.w,
        m[3][0] * v.x + m[3][1] * v.y + m[3][2] * v.z + m[3][3] * v.w);
  }

  // The upper-left 3 x 3 block.
  Mat3T<T> Block3() const {
    Mat3T<T> b;
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j) b.m[i][j] = m[i][j];
    }
    return b;
  }

  // (m[0][3], m[1][3], m[2][3]).
  Vec3T<T> Translation() const { return Vec3T<T>(m[0][3], m[1][3], m[2][3]); }

  // The adjugate over the determinant, both from the twelve 2 x 2 minors of
  // rows 0-1 and rows 2-3; the zero matrix when |det| <= 1e-8.
  Mat4T Inverse() const;

  static const Mat4T kZero;
  static const Mat4T kIdentity;
};

using Mat4 = Mat4T<double>;

template <>
const Mat4T<double> Mat4T<double>::kZero;
template <>
const Mat4T<double> Mat4T<double>::kIdentity;
template <>
const Mat4T<float> Mat4T<float>::kZero;
template <>
const Mat4T<float> Mat4T<float>::kIdentity;

template <typename T>
Mat4T<T> Mat4T<T>::Inverse() const {
  const T(&a)[4][4] = m;
  const T s0 = a[0][0] * a[1][1] - a[1][0] * a[0][1];
  const T s1 = a[0][0] * a[1][2] - a[1][0] * a[0][2];
  const T s2 = a[0][0] * a[1][3] - a[1][0] * a[0][3];
  const T s3 = a[0][1] * a[1][2] - a[1][1] * a[0][2];
  const T s4 = a[0][1] * a[1][3] - a[1][1] * a[0][3];
  const T s5 = a[0][2] * a[1][3] - a[1][2] * a[0][3];
  const T c5 = a[2][2] * a[3][3] - a[3][2] * a[2][3];
  const T c4 = a[2][1] * a[3][3] - a[3][1] * a[2][3];
  const T c3 = a[2][1] * a[3][2] - a[3][1] * a[2][2];
  const T c2 = a[2][0] * a[3][3] - a[3][0] * a[2][3];
  const T c1 = a[2][0] * a[3][2] - a[3][0] * a[2][2];
  const T c0 = a[2][0] * a[3][1] - a[3][0] * a[2][1];
  const T det = s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0;
  if (!(std::abs(det) > static_cast<T>(1e-8))) return kZero;
  const T r = 1 / det;
  Mat4T inv;
  inv.m[0][0] = (a[1][1] * c5 - a[1][2] * c4 + a[1][3] * c3) * r;
  inv.m[0][1] = (-a[0][1] * c5 + a[0][2] * c4 - a[0][3] * c3) * r;
  inv.m[0][2] = (a[3][1] * s5 - a[3][2] * s4 + a[3][3] * s3) * r;
  inv.m[0][3] = (-a[2][1] * s5 + a[2][2] * s4 - a[2][3] * s3) * r;
  inv.m[1][0] = (-a[1][0] * c5 + a[1][2] * c2 - a[1][3] * c1) * r;
  inv.m[1][1] = (a[0][0] * c5 - a[0][2] * c2 + a[0][3] * c1) * r;
  inv.m[1][2] = (-a[3][0] * s5 + a[3][2] * s2 - a[3][3] * s1) * r;
  inv.m[1][3] = (a[2][0] * s5 - a[2][2] * s2 + a[2][3] * s1) * r;
  inv.m[2][0] = (a[1][0] * c4 - a[1][1] * c2 + a[1][3] * c0) * r;
  inv.m[2][1] = (-a[0][0] * c4 + a[0][1] * c2 - a[0][3] * c0) * r;
  inv.m[2][2] = (a[3][0] * s4 - a[3][1] * s2 + a[3][3] * s0) * r;
  inv.m[2][3] = (-a[2][0] * s4 + a[2][1] * s2 - a[2][3] * s0) * r;
  inv.m[3][0] = (-a[1][0] * c3 + a[1][1] * c1 - a[1][2] * c0) * r;
  inv.m[3][1] = (a[0][0] * c3 - a[0][1] * c1 + a[0][2] * c0) * r;
  inv.m[3][2] = (-a[3][0] * s3 + a[3][1] * s1 - a[3][2] * s0) * r;
  inv.m[3][3] = (a[2][0] * s3 - a[2][1] * s1 + a[2][2] * s0) * r;
  return inv;
}

}  // namespace silhouette
