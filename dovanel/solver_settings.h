// The solver settings of a Dovanel call, from its fourth argument [mfe; tol].
#pragma once

namespace silhouette {

struct SolverSettings {
  int maxIterations;
  double relTolerance;
};

// value truncated toward zero, clamped to the range of int first: values at
// or beyond the range (infinities included) give INT_MIN or INT_MAX, and NaN
// gives 0. Never an undefined conversion.
int TruncateToInt(double value);

// maxIterations = TruncateToInt(mfe) (the solver always makes at least one
// iteration, so 0, negative numbers and NaN all mean one); relTolerance =
// tol. Throws ErrorText "tol in [mfe;tol] must not be negative or NaN" for
// a negative or NaN tol.
SolverSettings ReadSolverSettings(double mfe, double tol);

}  // namespace silhouette
