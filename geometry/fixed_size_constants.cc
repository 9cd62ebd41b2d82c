// Load-time constants of the small vector and matrix types.
#include "geometry/mat3.h"
#include "geometry/mat4.h"
#include "geometry/vec4.h"

namespace silhouette {

template <>
const Vec4T<double> Vec4T<double>::kUnitX(1, 0, 0, 0);
template <>
const Vec4T<double> Vec4T<double>::kZero(0, 0, 0, 0);
template <>
const Vec4T<float> Vec4T<float>::kUnitX(1, 0, 0, 0);
template <>
const Vec4T<float> Vec4T<float>::kZero(0, 0, 0, 0);

template <>
const Mat3T<double> Mat3T<double>::kZero{{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}};
template <>
const Mat3T<double> Mat3T<double>::kIdentity{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
template <>
const Mat3T<float> Mat3T<float>::kZero{{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}};
template <>
const Mat3T<float> Mat3T<float>::kIdentity{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};

template <>
const Mat4T<double> Mat4T<double>::kZero{
    {{0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}}};
template <>
const Mat4T<double> Mat4T<double>::kIdentity{
    {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
template <>
const Mat4T<float> Mat4T<float>::kZero{
    {{0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}}};
template <>
const Mat4T<float> Mat4T<float>::kIdentity{
    {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};

}  // namespace silhouette
