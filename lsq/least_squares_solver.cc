#include "lsq/least_squares_solver.h"

#include <cmath>
#include <cstddef>
#include <exception>

#include "geometry/error_text.h"
#include "lsq/gsl_error_scope.h"
#include "lsq/gsl_vector_ptr.h"
#include "lsq/stopping_rule.h"

namespace silhouette {
namespace {

// What GSL's callbacks reach through their params pointer: the model, and
// the first exception it threw during the current Solve.
struct CallbackContext {
  LeastSquaresModel* model;
  std::exception_ptr failure;
};

// Runs call(model) for a GSL callback: any exception is recorded instead of
// leaving through GSL's C frames, and GSL gets a failure status so that it
// returns. Once a call has failed, later calls fail without running.
template <typename Call>
int GuardedCall(void* params, Call call) noexcept {
  auto* context = static_cast<CallbackContext*>(params);
  if (context->failure) return GSL_EFAILED;
  try {
    call(*context->model);
    return GSL_SUCCESS;
  } catch (...) {
    context->failure = std::current_exception();
    return GSL_EFAILED;
  }
}

int ResidualsCallback(const gsl_vector* x, void* params,
                      gsl_vector* f) noexcept {
  return GuardedCall(params,
                     [&](LeastSquaresModel& model) { model.Residuals(f, x); });
}

int JacobianCallback(const gsl_vector* x, void* params,
                     gsl_matrix* J) noexcept {
  return GuardedCall(params,
                     [&](LeastSquaresModel& model) { model.Jacobian(J, x); });
}

int ResidualsAndJacobianCallback(const gsl_vector* x, void* params,
                                 gsl_vector* f, gsl_matrix* J) noexcept {
  return GuardedCall(params, [&](LeastSquaresModel& model) {
    model.ResidualsAndJacobian(f, J, x);
  });
}

bool SizeIs(size_t size, int count) {
  return count >= 0 && size == static_cast<size_t>(count);
}

void RethrowIfFailed(const CallbackContext& context) {
  if (context.failure) std::rethrow_exception(context.failure);
}

}  // namespace

LeastSquaresSolver::LeastSquaresSolver(LeastSquaresModel& model)
    : model_(model) {
  const int num_params = model.NumParams();
  const int num_residuals = model.NumResiduals();
  // GSL rejects n < p, and crashes on p = 0, so neither reaches it.
  if (num_params < 1) throw ErrorText("model has no parameters");
  if (num_residuals < num_params) {
    throw ErrorText("model has fewer residuals than parameters");
  }
  GslErrorScope scope;
  solver_ = gsl_multifit_fdfsolver_alloc(gsl_multifit_fdfsolver_lmsder,
                                         static_cast<size_t>(num_residuals),
                                         static_cast<size_t>(num_params));
  if (solver_ == nullptr) throw ErrorText("GSL solver allocation failed");
}

LeastSquaresSolver::~LeastSquaresSolver() {
  gsl_multifit_fdfsolver_free(solver_);
}

int LeastSquaresSolver::GetNumParameters() const { return model_.NumParams(); }

void LeastSquaresSolver::Optimize(const std::vector<double>& start,
                                  std::vector<double>* result) {
  const int num_params = GetNumParameters();
  if (!SizeIs(start.size(), num_params)) {
    throw ErrorText("vector has wrong number of elements.");
  }
  GslVectorPtr init = AllocateGslVector(num_params);
  for (int i = 0; i < num_params; ++i) gsl_vector_set(init.get(), i, start[i]);
  GslVectorPtr opt = AllocateGslVector(num_params);

  Solve(init.get(), opt.get());

  result->resize(static_cast<size_t>(num_params));
  for (int i = 0; i < num_params; ++i) {
    (*result)[i] = gsl_vector_get(opt.get(), i);
  }
}

void LeastSquaresSolver::Solve(const gsl_vector* initParamVec,
                               gsl_vector* optParamVec) {
  if (!SizeIs(initParamVec->size, GetNumParameters())) {
    throw ErrorText("initParamVec->size != GetNumParameters()");
  }
  if (!SizeIs(optParamVec->size, GetNumParameters())) {
    throw ErrorText("optParamVec->size != GetNumParameters()");
  }
  if (!SizeIs(solver_->x->size, model_.NumParams()) ||
      !SizeIs(solver_->f->size, model_.NumResiduals())) {
    throw ErrorText("model counts changed after the solver was built");
  }
  // GSL's step test rejects a negative tolerance, and a NaN one would never
  // let it pass.
  if (!(relTolerance >= 0.0)) {
    throw ErrorText("relTolerance must not be negative or NaN");
  }
  StoppingRule rule(maxIterations, minRelImprovement, improvementWindow);

  GslErrorScope scope;
  CallbackContext context{&model_, nullptr};
  gsl_multifit_function_fdf fdf{};
  fdf.f = &ResidualsCallback;
  fdf.df = &JacobianCallback;
  fdf.fdf = &ResidualsAndJacobianCallback;
  fdf.n = solver_->f->size;
  fdf.p = solver_->x->size;
  fdf.params = &context;

  gsl_vector_memcpy(optParamVec, initParamVec);
  const int set_status = gsl_multifit_fdfsolver_set(solver_, &fdf, optParamVec);
  RethrowIfFailed(context);
  if (set_status != GSL_SUCCESS) {
    throw ErrorText("GSL could not start the solver");
  }

  rule.Start(RmsResidual());
  bool go_on = true;
  while (go_on) {
    // Only a model failure ends the loop here; GSL's own iterate status
    // (no progress and the like) is left to the rules below.
    gsl_multifit_fdfsolver_iterate(solver_);
    RethrowIfFailed(context);
    const int status =
        gsl_multifit_test_delta(solver_->dx, solver_->x, 0.0, relTolerance);
    go_on = rule.Continue(status == GSL_CONTINUE, RmsResidual());
  }

  gsl_vector_memcpy(optParamVec, solver_->x);
}

double LeastSquaresSolver::RmsResidual() const {
  const gsl_vector* f = solver_->f;
  const size_t n = f->size;
  double sum = 0.0;
  for (size_t i = 0; i < n; ++i) {
    const double fi = gsl_vector_get(f, i);
    sum += fi * fi;
  }
  return std::sqrt(sum / static_cast<double>(n));
}

}  // namespace silhouette
