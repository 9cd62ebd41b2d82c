#include "geometry/math_constants.h"

#include <cmath>

namespace silhouette {
namespace {

template <typename T>
T ComputePi() {
  return static_cast<T>(4.0L * std::atan2(1.0L, 1.0L));
}

}  // namespace

// Definition order matters: each constant reads the ones above it.
const double MathConstants<double>::kPi = ComputePi<double>();
const double MathConstants<double>::kTwoPi = kPi * 2;
const double MathConstants<double>::kHalfPi = kPi * 0.5;
const double MathConstants<double>::kInvPi = 1 / kPi;
const double MathConstants<double>::kInvTwoPi = 1 / kTwoPi;
const double MathConstants<double>::kRadPerDeg =
    kPi * static_cast<double>(1.0 / 180.0);
const double MathConstants<double>::kDegPerRad = 180 / kPi;

const float MathConstants<float>::kPi = ComputePi<float>();
const float MathConstants<float>::kTwoPi = kPi * 2;
const float MathConstants<float>::kHalfPi = kPi * 0.5f;
const float MathConstants<float>::kInvPi = 1 / kPi;
const float MathConstants<float>::kInvTwoPi = 1 / kTwoPi;
const float MathConstants<float>::kRadPerDeg =
    kPi * static_cast<float>(1.0 / 180.0);
const float MathConstants<float>::kDegPerRad = 180 / kPi;

}  // namespace silhouette
