// A nonlinear least-squares problem as LeastSquaresSolver minimises it: a
// number of parameters, a number of residuals, and routines for the
// residual vector and its Jacobian at a parameter vector.
//
// A model never owns the data it fits; it refers to data that must outlive
// it. Models report failures by throwing ErrorText; the solver passes the
// exception on to its caller unchanged.
#pragma once

#include <gsl/gsl_matrix.h>
#include <gsl/gsl_vector.h>

namespace silhouette {

class LeastSquaresModel {
 public:
  virtual ~LeastSquaresModel() = default;

  // Fills f (NumResiduals() elements) with the residuals at the parameter
  // vector x (NumParams() elements).
  virtual void Residuals(gsl_vector* f, const gsl_vector* x) = 0;

  // Fills J (NumResiduals() rows, NumParams() columns) with
  // J[i][j] = d f_i / d x_j at x.
  virtual void Jacobian(gsl_matrix* J, const gsl_vector* x) = 0;

  // Calls Jacobian(J, x) first, then Residuals(f, x).
  virtual void ResidualsAndJacobian(gsl_vector* f, gsl_matrix* J,
                                    const gsl_vector* x);

  virtual int NumResiduals() const = 0;
  virtual int NumParams() const = 0;
};

// The forward-difference Jacobian that a model can use as its Jacobian:
// column j is (f(x + h e_j) - f(x)) * (1 / h) with the absolute one-sided
// step h = fdStep, the same for every parameter. The residuals come from
// model.Residuals. Throws "paramVec->size != NumParams()" when x has the
// wrong length, and "J->size1 != NumResiduals()" or "J->size2 != NumParams()"
// when J has the wrong shape (checked before anything is evaluated).
void ForwardDifferenceJacobian(LeastSquaresModel& model, gsl_matrix* J,
                               const gsl_vector* x, double fdStep);

}  // namespace silhouette
