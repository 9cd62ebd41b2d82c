#include "lsq/least_squares_model.h"

#include <cstddef>

#include "geometry/error_text.h"
#include "lsq/gsl_vector_ptr.h"

namespace silhouette {
namespace {

bool SizeIs(size_t size, int count) {
  return count >= 0 && size == static_cast<size_t>(count);
}

}  // namespace

void LeastSquaresModel::ResidualsAndJacobian(gsl_vector* f, gsl_matrix* J,
                                             const gsl_vector* x) {
  Jacobian(J, x);
  Residuals(f, x);
}

void ForwardDifferenceJacobian(LeastSquaresModel& model, gsl_matrix* J,
                               const gsl_vector* x, double fdStep) {
  const int num_params = model.NumParams();
  const int num_residuals = model.NumResiduals();
  if (!SizeIs(x->size, num_params)) {
    throw ErrorText("paramVec->size != NumParams()");
  }
  if (!SizeIs(J->size1, num_residuals)) {
    throw ErrorText("J->size1 != NumResiduals()");
  }
  if (!SizeIs(J->size2, num_params)) {
    throw ErrorText("J->size2 != NumParams()");
  }

  GslVectorPtr f0 = AllocateGslVector(num_residuals);
  GslVectorPtr fj = AllocateGslVector(num_residuals);
  GslVectorPtr xj = AllocateGslVector(num_params);
  const double inv_step = 1.0 / fdStep;

  model.Residuals(f0.get(), x);
  for (int j = 0; j < num_params; ++j) {
    gsl_vector_memcpy(xj.get(), x);
    gsl_vector_set(xj.get(), j, gsl_vector_get(x, j) + fdStep);
    model.Residuals(fj.get(), xj.get());
    gsl_vector_sub(fj.get(), f0.get());
    gsl_vector_scale(fj.get(), inv_step);
    gsl_matrix_set_col(J, j, fj.get());
  }
}

}  // namespace silhouette
