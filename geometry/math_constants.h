// Angle constants derived from pi, computed once when a module is loaded.
//
// pi is 4 * atan2(1, 1) evaluated in extended precision and rounded to the
// type; the others are computed from that stored, rounded value.
#pragma once

namespace silhouette {

template <typename T>
struct MathConstants;

template <>
struct MathConstants<double> {
  static const double kPi;
  static const double kTwoPi;
  static const double kHalfPi;
  static const double kInvPi;
  static const double kInvTwoPi;
  static const double kRadPerDeg;
  static const double kDegPerRad;
};

template <>
struct MathConstants<float> {
  static const float kPi;
  static const float kTwoPi;
  static const float kHalfPi;
  static const float kInvPi;
  static const float kInvTwoPi;
  static const float kRadPerDeg;
  static const float kDegPerRad;
};

// The double pi of the library.
inline double Pi() { return MathConstants<double>::kPi; }

}  // namespace silhouette
