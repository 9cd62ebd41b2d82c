// Minimises a LeastSquaresModel with GSL's scaled Levenberg-Marquardt solver
// (lmsder) under the stopping rules of StoppingRule and GSL's step test
// gsl_multifit_test_delta(dx, x, 0.0, relTolerance).
//
// GSL never aborts the process from here: while the solver calls GSL, GSL's
// error handler is off (GslErrorScope) and the previous handler is restored
// on every exit path; GSL failures become ErrorText. An exception thrown by
// the model inside GSL's callbacks is held until GSL has returned and then
// rethrown unchanged; it never unwinds through GSL's frames.
#pragma once

#include <gsl/gsl_multifit_nlin.h>
#include <gsl/gsl_vector.h>

#include <vector>

#include "lsq/least_squares_model.h"

namespace silhouette {

class LeastSquaresSolver {
 public:
  // Allocates the GSL workspace for the model's counts, which must not
  // change afterwards. The model must outlive the solver. Throws ErrorText
  // "model has no parameters" when NumParams() < 1, "model has fewer
  // residuals than parameters" when NumResiduals() < NumParams(), and "GSL
  // solver allocation failed" when GSL cannot allocate.
  explicit LeastSquaresSolver(LeastSquaresModel& model);
  virtual ~LeastSquaresSolver();

  LeastSquaresSolver(const LeastSquaresSolver&) = delete;
  LeastSquaresSolver& operator=(const LeastSquaresSolver&) = delete;

  // The model's NumParams().
  int GetNumParameters() const;

  // Minimises from `start` (exactly GetNumParameters() numbers, otherwise
  // "vector has wrong number of elements." is thrown) and stores the
  // optimum in *result, resized to GetNumParameters(). `result` must not be
  // null; it is left untouched whenever an exception is thrown.
  void Optimize(const std::vector<double>& start, std::vector<double>* result);

  // Minimises from initParamVec and writes the optimum into optParamVec;
  // both must hold GetNumParameters() elements ("initParamVec->size !=
  // GetNumParameters()", "optParamVec->size != GetNumParameters()"). Also
  // throws ErrorText, before the model is evaluated, for a negative or NaN
  // relTolerance, a negative improvementWindow, or model counts that no
  // longer match the workspace. At least one iteration runs.
  void Solve(const gsl_vector* initParamVec, gsl_vector* optParamVec);

  // sqrt(sum f_i^2 / n) over the GSL solver's current residual vector f
  // (the residuals at the last accepted point of the latest Solve).
  double RmsResidual() const;

  // Settings, read by every Solve.
  int maxIterations = 10;
  double relTolerance = 1e-8;
  double minRelImprovement = 1e-10;
  int improvementWindow = 1;

 private:
  LeastSquaresModel& model_;
  gsl_multifit_fdfsolver* solver_ = nullptr;
};

}  // namespace silhouette
