#include "geometry/vec2.h"

namespace silhouette {

template <>
const Vec2T<double> Vec2T<double>::kZero(0, 0);
template <>
const Vec2T<double> Vec2T<double>::kUnitX(1, 0);
template <>
const Vec2T<double> Vec2T<double>::kUnitY(0, 1);
template <>
const Vec2T<float> Vec2T<float>::kZero(0, 0);
template <>
const Vec2T<float> Vec2T<float>::kUnitX(1, 0);
template <>
const Vec2T<float> Vec2T<float>::kUnitY(0, 1);

}  // namespace silhouette
