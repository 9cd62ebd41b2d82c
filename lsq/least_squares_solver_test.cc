#include "lsq/least_squares_solver.h"

#include <gsl/gsl_errno.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "geometry/error_text.h"
#include "lsq/gsl_error_scope.h"

namespace silhouette {
namespace {

// Six samples t = 0..5 shared by the models below.
constexpr int kSamples = 6;

// A model that counts how often its routines run.
class CountingModel : public LeastSquaresModel {
 public:
  void Residuals(gsl_vector* f, const gsl_vector* x) override {
    ++residualCalls;
    Evaluate(f, gsl_vector_get(x, 0), gsl_vector_get(x, 1));
  }
  int NumResiduals() const override { return kSamples; }
  int NumParams() const override { return 2; }

  int residualCalls = 0;
  int jacobianCalls = 0;

 protected:
  virtual void Evaluate(gsl_vector* f, double a, double b) = 0;
};

// f_i = a exp(-b t_i) - 5 exp(-0.3 t_i), zero at (5, 0.3); forward-difference
// Jacobian.
class ExponentialModel : public CountingModel {
 public:
  void Jacobian(gsl_matrix* J, const gsl_vector* x) override {
    ++jacobianCalls;
    ForwardDifferenceJacobian(*this, J, x, 1e-6);
  }

 protected:
  void Evaluate(gsl_vector* f, double a, double b) override {
    for (int i = 0; i < kSamples; ++i) {
      gsl_vector_set(f, i, a * std::exp(-b * i) - 5.0 * std::exp(-0.3 * i));
    }
  }
};

// f_i = a + b t_i - y_i with y_i = 1 + 2 t_i -/+ 0.1; analytic Jacobian.
class LineModel : public CountingModel {
 public:
  static double Observation(int i) {
    return 1.0 + 2.0 * i + (i % 2 == 0 ? -0.1 : 0.1);
  }
  void Jacobian(gsl_matrix* J, const gsl_vector*) override {
    ++jacobianCalls;
    for (int i = 0; i < kSamples; ++i) {
      gsl_matrix_set(J, i, 0, 1.0);
      gsl_matrix_set(J, i, 1, i);
    }
  }

 protected:
  void Evaluate(gsl_vector* f, double a, double b) override {
    for (int i = 0; i < kSamples; ++i) {
      gsl_vector_set(f, i, a + b * i - Observation(i));
    }
  }
};

// Every residual is `value` whatever the parameters: the RMS cannot fall.
class ConstantModel : public CountingModel {
 public:
  explicit ConstantModel(double value) : value_(value) {}
  void Jacobian(gsl_matrix* J, const gsl_vector*) override {
    ++jacobianCalls;
    gsl_matrix_set_zero(J);
  }

 protected:
  void Evaluate(gsl_vector* f, double, double) override {
    gsl_vector_set_all(f, value_);
  }

 private:
  double value_;
};

// A line model whose residual or Jacobian routine throws on its n-th call
// (counting from 1; 0 never throws).
class ThrowingModel : public LineModel {
 public:
  void Residuals(gsl_vector* f, const gsl_vector* x) override {
    if (residualCalls + 1 == throwOnResidualCall) Throw();
    LineModel::Residuals(f, x);
  }
  void Jacobian(gsl_matrix* J, const gsl_vector* x) override {
    if (jacobianCalls + 1 == throwOnJacobianCall) Throw();
    LineModel::Jacobian(J, x);
  }

  int throwOnResidualCall = 0;
  int throwOnJacobianCall = 0;
  bool throwInt = false;
  std::string message = "Cannot form matrix K with nonzero kappa1";

 private:
  void Throw() {
    if (throwInt) throw 42;
    throw ErrorText(message);
  }
};

// A line model that notes which GSL error handler is installed while it
// runs inside GSL.
class HandlerWatchingModel : public LineModel {
 public:
  void Residuals(gsl_vector* f, const gsl_vector* x) override {
    gsl_error_handler_t* current = gsl_set_error_handler_off();
    gsl_set_error_handler(current);
    if (current == &FailingHandlerForWatch || current == nullptr) {
      handlerWasOn = true;
    }
    LineModel::Residuals(f, x);
  }
  static void FailingHandlerForWatch(const char*, const char*, int, int) {}
  bool handlerWasOn = false;
};

// Zero residuals, with counts that the test may change.
class SizedModel : public LeastSquaresModel {
 public:
  SizedModel(int residuals, int params)
      : residuals(residuals), params(params) {}
  void Residuals(gsl_vector* f, const gsl_vector*) override {
    gsl_vector_set_zero(f);
  }
  void Jacobian(gsl_matrix* J, const gsl_vector*) override {
    gsl_matrix_set_zero(J);
  }
  int NumResiduals() const override { return residuals; }
  int NumParams() const override { return params; }
  int residuals;
  int params;
};

// The outcome of a run: where it ended and how often the model was used.
struct RunRecord {
  std::vector<double> x;
  int residualCalls;
  int jacobianCalls;
  int iterations = 0;
};

RunRecord Outcome(const std::vector<double>& x, const CountingModel& model) {
  return RunRecord{x, model.residualCalls, model.jacobianCalls};
}

void ExpectSameRun(const RunRecord& actual, const RunRecord& expected) {
  EXPECT_EQ(actual.x, expected.x);
  EXPECT_EQ(actual.residualCalls, expected.residualCalls);
  EXPECT_EQ(actual.jacobianCalls, expected.jacobianCalls);
}

int DirectResiduals(const gsl_vector* x, void* params, gsl_vector* f) {
  static_cast<LeastSquaresModel*>(params)->Residuals(f, x);
  return GSL_SUCCESS;
}
int DirectJacobian(const gsl_vector* x, void* params, gsl_matrix* J) {
  static_cast<LeastSquaresModel*>(params)->Jacobian(J, x);
  return GSL_SUCCESS;
}
int DirectBoth(const gsl_vector* x, void* params, gsl_vector* f,
               gsl_matrix* J) {
  static_cast<LeastSquaresModel*>(params)->ResidualsAndJacobian(f, J, x);
  return GSL_SUCCESS;
}

// The reference: drives lmsder over the model directly, running exactly
// `iterations` iterations, or fewer when stopAtStepTest is set and the step
// test with relTolerance passes first.
RunRecord RunDirectly(CountingModel& model, const std::vector<double>& start,
                      int iterations, bool stopAtStepTest = false,
                      double relTolerance = 1e-8) {
  GslErrorScope scope;
  gsl_multifit_fdfsolver* solver = gsl_multifit_fdfsolver_alloc(
      gsl_multifit_fdfsolver_lmsder, model.NumResiduals(), model.NumParams());
  gsl_multifit_function_fdf fdf{&DirectResiduals,
                                &DirectJacobian,
                                &DirectBoth,
                                static_cast<size_t>(model.NumResiduals()),
                                static_cast<size_t>(model.NumParams()),
                                &model,
                                0,
                                0};
  gsl_vector* x = gsl_vector_alloc(start.size());
  for (size_t i = 0; i < start.size(); ++i) gsl_vector_set(x, i, start[i]);
  gsl_multifit_fdfsolver_set(solver, &fdf, x);
  int k = 0;
  while (k < iterations) {
    ++k;
    gsl_multifit_fdfsolver_iterate(solver);
    if (stopAtStepTest && gsl_multifit_test_delta(solver->dx, solver->x, 0.0,
                                                  relTolerance) != GSL_CONTINUE)
      break;
  }
  std::vector<double> end;
  for (size_t i = 0; i < start.size(); ++i) {
    end.push_back(gsl_vector_get(solver->x, i));
  }
  gsl_vector_free(x);
  gsl_multifit_fdfsolver_free(solver);
  RunRecord run = Outcome(end, model);
  run.iterations = k;
  return run;
}

// Fails the test if GSL ever reports an error through the handler. It is
// installed around every test, and must still be installed afterwards,
// whether the solver succeeded or threw.
void FailingHandler(const char* reason, const char*, int, int) {
  ADD_FAILURE() << "GSL error handler called: " << reason;
}

class LeastSquaresSolverTest : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = gsl_set_error_handler(&FailingHandler); }
  void TearDown() override {
    EXPECT_EQ(gsl_set_error_handler(saved_), &FailingHandler);
  }

  template <typename Call>
  static std::string ThrownText(Call call) {
    try {
      call();
    } catch (const ErrorText& e) {
      return e.what();
    }
    return "no exception";
  }

 private:
  gsl_error_handler_t* saved_ = nullptr;
};

const std::vector<double> kExpStart = {1.0, 1.0};
const std::vector<double> kZeroStart = {0.0, 0.0};

TEST_F(LeastSquaresSolverTest, DefaultSettings) {
  LineModel model;
  LeastSquaresSolver solver(model);
  EXPECT_EQ(solver.maxIterations, 10);
  EXPECT_EQ(solver.relTolerance, 1e-8);
  EXPECT_EQ(solver.minRelImprovement, 1e-10);
  EXPECT_EQ(solver.improvementWindow, 1);
  EXPECT_EQ(solver.GetNumParameters(), 2);
  EXPECT_EQ(model.residualCalls + model.jacobianCalls, 0);
}

TEST_F(LeastSquaresSolverTest, ExponentialFitReachesItsMinimum) {
  ExponentialModel model;
  LeastSquaresSolver solver(model);
  solver.maxIterations = 50;
  std::vector<double> result = {9, 9, 9, 9, 9};
  solver.Optimize(kExpStart, &result);
  ASSERT_EQ(result.size(), 2u);
  EXPECT_NEAR(result[0], 5.0, 1e-7);
  EXPECT_NEAR(result[1], 0.3, 1e-7);
  EXPECT_LT(solver.RmsResidual(), 1e-7);
}

TEST_F(LeastSquaresSolverTest, LineFitMatchesNormalEquations) {
  double st = 0, stt = 0, sy = 0, sty = 0;
  for (int i = 0; i < kSamples; ++i) {
    const double y = LineModel::Observation(i);
    st += i;
    stt += i * i;
    sy += y;
    sty += i * y;
  }
  const double b = (kSamples * sty - st * sy) / (kSamples * stt - st * st);
  const double a = (sy - b * st) / kSamples;

  LineModel model;
  LeastSquaresSolver solver(model);
  std::vector<double> result;
  solver.Optimize(kZeroStart, &result);
  ASSERT_EQ(result.size(), 2u);
  EXPECT_NEAR(result[0], a, 1e-12);
  EXPECT_NEAR(result[1], b, 1e-12);
  double sum = 0;
  for (int i = 0; i < kSamples; ++i) {
    const double r = result[0] + result[1] * i - LineModel::Observation(i);
    sum += r * r;
  }
  EXPECT_NEAR(solver.RmsResidual(), std::sqrt(sum / kSamples), 1e-14);
}

TEST_F(LeastSquaresSolverTest,
       LimitsOfOneZeroOrNegativeRunExactlyOneIteration) {
  ExponentialModel one_model;
  const RunRecord one = RunDirectly(one_model, kExpStart, 1);
  ExponentialModel two_model;
  const RunRecord two = RunDirectly(two_model, kExpStart, 2);
  ASSERT_NE(one.residualCalls, two.residualCalls);
  ASSERT_NE(one.x, two.x);

  for (int limit : {1, 0, -3}) {
    SCOPED_TRACE(limit);
    ExponentialModel model;
    LeastSquaresSolver solver(model);
    solver.maxIterations = limit;
    std::vector<double> result;
    solver.Optimize(kExpStart, &result);
    ExpectSameRun(Outcome(result, model), one);
  }
}

TEST_F(LeastSquaresSolverTest, LimitOfTenRunsAtMostTenIterations) {
  // With the step test and the improvement rule out of play the limit
  // alone ends the loop.
  LineModel ten_model;
  const RunRecord ten = RunDirectly(ten_model, kZeroStart, 10);
  LineModel eleven_model;
  const RunRecord eleven = RunDirectly(eleven_model, kZeroStart, 11);
  ASSERT_NE(ten.residualCalls, eleven.residualCalls);
  {
    LineModel model;
    LeastSquaresSolver solver(model);
    solver.relTolerance = 0.0;
    solver.minRelImprovement = -std::numeric_limits<double>::infinity();
    std::vector<double> result;
    solver.Optimize(kZeroStart, &result);
    ExpectSameRun(Outcome(result, model), ten);
  }
  // With default settings the exponential fit stops by the step test or
  // the limit; it never exceeds ten iterations.
  ExponentialModel exp_ten_model;
  const RunRecord exp_ten = RunDirectly(exp_ten_model, kExpStart, 10);
  ExponentialModel model;
  LeastSquaresSolver solver(model);
  std::vector<double> result;
  solver.Optimize(kExpStart, &result);
  EXPECT_LE(model.residualCalls, exp_ten.residualCalls);
  EXPECT_LE(model.jacobianCalls, exp_ten.jacobianCalls);
}

TEST_F(LeastSquaresSolverTest, RmsThatCannotFallStopsAfterOneIteration) {
  // At x = 0 the step test can never pass, so only the improvement rule
  // can end the loop before the limit.
  ConstantModel one_model(1.0);
  const RunRecord one = RunDirectly(one_model, kZeroStart, 1);
  ConstantModel two_model(1.0);
  const RunRecord two = RunDirectly(two_model, kZeroStart, 2);
  ASSERT_NE(one.residualCalls, two.residualCalls);

  ConstantModel model(1.0);
  LeastSquaresSolver solver(model);
  std::vector<double> result;
  solver.Optimize(kZeroStart, &result);
  ExpectSameRun(Outcome(result, model), one);
  EXPECT_EQ(solver.RmsResidual(), 1.0);

  // Allowing a worsening of up to 100% lets it run to the limit.
  ConstantModel ten_model(1.0);
  const RunRecord ten = RunDirectly(ten_model, kZeroStart, 10);
  ConstantModel tolerant_model(1.0);
  LeastSquaresSolver tolerant(tolerant_model);
  tolerant.minRelImprovement = -1.0;
  tolerant.Optimize(kZeroStart, &result);
  ExpectSameRun(Outcome(result, tolerant_model), ten);
}

TEST_F(LeastSquaresSolverTest, NaNResidualsEndTheRunWhateverTheLimit) {
  // With residuals that are not numbers the step test never passes and the
  // improvement is NaN: before, the run went on to the limit (INT_MAX for
  // Dovanel's mfe of Inf, days). It now ends after its first iteration,
  // with the start unchanged, as the limit of 1 gives.
  ConstantModel nan_model(std::nan(""));
  LeastSquaresSolver solver(nan_model);
  solver.maxIterations = std::numeric_limits<int>::max();
  solver.minRelImprovement = -1.0;  // no improvement rule either
  std::vector<double> result;
  solver.Optimize({1.5, -2.0}, &result);
  EXPECT_EQ(result, (std::vector<double>{1.5, -2.0}));
  ConstantModel one_model(std::nan(""));
  LeastSquaresSolver one(one_model);
  one.maxIterations = 1;
  one.Optimize({1.5, -2.0}, &result);
  EXPECT_EQ(nan_model.residualCalls, one_model.residualCalls);
}

TEST_F(LeastSquaresSolverTest, ImprovementWindowLooksBackWIterations) {
  ConstantModel three_model(1.0);
  const RunRecord three = RunDirectly(three_model, kZeroStart, 3);
  ConstantModel model(1.0);
  LeastSquaresSolver solver(model);
  solver.improvementWindow = 3;
  std::vector<double> result;
  solver.Optimize(kZeroStart, &result);
  ExpectSameRun(Outcome(result, model), three);
}

TEST_F(LeastSquaresSolverTest, StepTestEndsTheLoop) {
  // The line fit is solved in one step; the next step is zero and passes
  // the step test, while the improvement rule is out of play.
  LineModel direct_model;
  const RunRecord direct = RunDirectly(direct_model, {3.0, 4.0}, 50, true);
  ASSERT_GT(direct.iterations, 1);
  ASSERT_LT(direct.iterations, 50);

  LineModel model;
  LeastSquaresSolver solver(model);
  solver.maxIterations = 50;
  solver.minRelImprovement = -std::numeric_limits<double>::infinity();
  std::vector<double> result;
  solver.Optimize({3.0, 4.0}, &result);
  ExpectSameRun(Outcome(result, model), direct);

  // A zero tolerance never passes, so the same run goes on to the limit.
  LineModel limit_model;
  const RunRecord limit = RunDirectly(limit_model, {3.0, 4.0}, 50);
  LineModel strict_model;
  LeastSquaresSolver strict(strict_model);
  strict.maxIterations = 50;
  strict.relTolerance = 0.0;
  strict.minRelImprovement = -std::numeric_limits<double>::infinity();
  strict.Optimize({3.0, 4.0}, &result);
  ExpectSameRun(Outcome(result, strict_model), limit);
}

TEST_F(LeastSquaresSolverTest, ZeroResidualsKeepTheStart) {
  ConstantModel model(0.0);
  LeastSquaresSolver solver(model);
  std::vector<double> result;
  solver.Optimize({1.0, 2.0}, &result);
  EXPECT_EQ(result, (std::vector<double>{1.0, 2.0}));
  EXPECT_EQ(solver.RmsResidual(), 0.0);
  solver.Optimize(kZeroStart, &result);  // rel NaN, step test never passes
  EXPECT_EQ(result, kZeroStart);
}

TEST_F(LeastSquaresSolverTest, EachSolveStartsAfresh) {
  ExponentialModel model;
  LeastSquaresSolver solver(model);
  std::vector<double> first, second, other;
  solver.Optimize(kExpStart, &first);
  solver.Optimize({4.0, 0.2}, &other);
  solver.Optimize(kExpStart, &second);
  EXPECT_EQ(first, second);
}

TEST_F(LeastSquaresSolverTest, OptimizeRejectsWrongLengthAndKeepsResult) {
  LineModel model;
  LeastSquaresSolver solver(model);
  std::vector<double> result = {7, 8, 9};
  EXPECT_EQ(ThrownText([&] { solver.Optimize({1.0}, &result); }),
            "vector has wrong number of elements.");
  EXPECT_EQ(ThrownText([&] {
              solver.Optimize({1.0, 2.0, 3.0}, &result);
            }),
            "vector has wrong number of elements.");
  EXPECT_EQ(ThrownText([&] { solver.Optimize({}, &result); }),
            "vector has wrong number of elements.");
  EXPECT_EQ(result, (std::vector<double>{7, 8, 9}));
  EXPECT_EQ(model.residualCalls + model.jacobianCalls, 0);
}

TEST_F(LeastSquaresSolverTest, OptimizeResizesResultToTheParameterCount) {
  LineModel model;
  LeastSquaresSolver solver(model);
  std::vector<double> longer = {7, 8, 9};
  solver.Optimize(kZeroStart, &longer);
  std::vector<double> empty;
  solver.Optimize(kZeroStart, &empty);
  EXPECT_EQ(longer.size(), 2u);
  EXPECT_EQ(longer, empty);
}

TEST_F(LeastSquaresSolverTest, SolveChecksBothLengthsBeforeGsl) {
  LineModel model;
  LeastSquaresSolver solver(model);
  gsl_vector* two = gsl_vector_calloc(2);
  gsl_vector* three = gsl_vector_calloc(3);
  gsl_vector_set(three, 0, 5.0);
  EXPECT_EQ(ThrownText([&] { solver.Solve(three, two); }),
            "initParamVec->size != GetNumParameters()");
  EXPECT_EQ(ThrownText([&] { solver.Solve(three, three); }),
            "initParamVec->size != GetNumParameters()");
  EXPECT_EQ(ThrownText([&] { solver.Solve(two, three); }),
            "optParamVec->size != GetNumParameters()");
  EXPECT_EQ(gsl_vector_get(three, 0), 5.0);
  EXPECT_EQ(model.residualCalls + model.jacobianCalls, 0);
  gsl_vector* opt = gsl_vector_alloc(2);
  solver.Solve(two, opt);
  EXPECT_NEAR(gsl_vector_get(opt, 1), 2.0171428571428571, 1e-12);
  gsl_vector_free(opt);
  gsl_vector_free(three);
  gsl_vector_free(two);
}

TEST_F(LeastSquaresSolverTest, ModelErrorTextReachesTheCallerUnchanged) {
  {  // thrown by the first Jacobian, inside gsl_multifit_fdfsolver_set
    ThrowingModel model;
    model.throwOnJacobianCall = 1;
    LeastSquaresSolver solver(model);
    std::vector<double> result = {7};
    EXPECT_EQ(ThrownText([&] { solver.Optimize(kZeroStart, &result); }),
              "Cannot form matrix K with nonzero kappa1");
    EXPECT_EQ(result, (std::vector<double>{7}));
  }
  {  // thrown by residuals inside gsl_multifit_fdfsolver_iterate
    ThrowingModel model;
    model.throwOnResidualCall = 2;
    model.message = "residuals failed";
    LeastSquaresSolver solver(model);
    std::vector<double> result;
    EXPECT_EQ(ThrownText([&] { solver.Optimize(kZeroStart, &result); }),
              "residuals failed");
    EXPECT_TRUE(result.empty());
    EXPECT_EQ(model.residualCalls, 1);  // no call after the failure
  }
  {  // thrown by a later Jacobian, inside an iteration
    ThrowingModel model;
    model.throwOnJacobianCall = 2;
    LeastSquaresSolver solver(model);
    std::vector<double> result;
    EXPECT_EQ(ThrownText([&] { solver.Optimize(kZeroStart, &result); }),
              "Cannot form matrix K with nonzero kappa1");
  }
}

TEST_F(LeastSquaresSolverTest, AnyExceptionIsPassedOnAndSolverStaysUsable) {
  ThrowingModel model;
  model.throwOnResidualCall = 1;
  model.throwInt = true;
  LeastSquaresSolver solver(model);
  std::vector<double> result;
  try {
    solver.Optimize(kZeroStart, &result);
    ADD_FAILURE() << "no exception";
  } catch (int value) {
    EXPECT_EQ(value, 42);
  }
  // The failure belonged to that call only.
  model.throwOnResidualCall = 0;
  solver.Optimize(kZeroStart, &result);
  EXPECT_NEAR(result[1], 2.0171428571428571, 1e-12);
}

TEST_F(LeastSquaresSolverTest, BadSettingsAreRejectedBeforeEvaluating) {
  LineModel model;
  LeastSquaresSolver solver(model);
  std::vector<double> result = {7};
  solver.relTolerance = -1e-8;
  EXPECT_EQ(ThrownText([&] { solver.Optimize(kZeroStart, &result); }),
            "relTolerance must not be negative or NaN");
  solver.relTolerance = std::nan("");
  EXPECT_EQ(ThrownText([&] { solver.Optimize(kZeroStart, &result); }),
            "relTolerance must not be negative or NaN");
  solver.relTolerance = 1e-8;
  solver.improvementWindow = -1;
  EXPECT_EQ(ThrownText([&] { solver.Optimize(kZeroStart, &result); }),
            "improvementWindow must not be negative");
  EXPECT_EQ(result, (std::vector<double>{7}));
  EXPECT_EQ(model.residualCalls + model.jacobianCalls, 0);
}

TEST_F(LeastSquaresSolverTest, TooFewResidualsOrNoParametersAreRejected) {
  SizedModel fewer(1, 2);
  EXPECT_EQ(ThrownText([&] { LeastSquaresSolver solver(fewer); }),
            "model has fewer residuals than parameters");
  SizedModel none(0, 2);
  EXPECT_EQ(ThrownText([&] { LeastSquaresSolver solver(none); }),
            "model has fewer residuals than parameters");
  SizedModel no_params(3, 0);
  EXPECT_EQ(ThrownText([&] { LeastSquaresSolver solver(no_params); }),
            "model has no parameters");
  SizedModel negative(3, -1);
  EXPECT_EQ(ThrownText([&] { LeastSquaresSolver solver(negative); }),
            "model has no parameters");
  SizedModel square(2, 2);
  LeastSquaresSolver solver(square);
  std::vector<double> result;
  solver.Optimize({1.0, 2.0}, &result);
  EXPECT_EQ(result, (std::vector<double>{1.0, 2.0}));
}

TEST_F(LeastSquaresSolverTest, ChangedModelCountsAreRejected) {
  SizedModel model(3, 2);
  LeastSquaresSolver solver(model);
  model.residuals = 4;
  std::vector<double> result;
  EXPECT_EQ(ThrownText([&] {
              solver.Optimize({1.0, 2.0}, &result);
            }),
            "model counts changed after the solver was built");
  model.residuals = 3;
  model.params = 3;
  EXPECT_EQ(ThrownText([&] {
              solver.Optimize({1.0, 2.0, 3.0}, &result);
            }),
            "model counts changed after the solver was built");
  EXPECT_TRUE(result.empty());
}

TEST_F(LeastSquaresSolverTest, GslHandlerIsOffWhileTheModelRuns) {
  gsl_set_error_handler(&HandlerWatchingModel::FailingHandlerForWatch);
  HandlerWatchingModel model;
  LeastSquaresSolver solver(model);
  std::vector<double> result;
  solver.Optimize(kZeroStart, &result);
  EXPECT_GT(model.residualCalls, 0);
  EXPECT_FALSE(model.handlerWasOn);
  EXPECT_EQ(gsl_set_error_handler(&FailingHandler),
            &HandlerWatchingModel::FailingHandlerForWatch);
}

TEST_F(LeastSquaresSolverTest, RestoresTheDefaultHandlerToo) {
  gsl_set_error_handler(nullptr);
  ThrowingModel model;
  LeastSquaresSolver solver(model);
  std::vector<double> result;
  solver.Optimize(kZeroStart, &result);
  EXPECT_EQ(gsl_set_error_handler(nullptr), nullptr);
  model.throwOnResidualCall = model.residualCalls + 2;
  EXPECT_EQ(ThrownText([&] { solver.Optimize(kZeroStart, &result); }),
            "Cannot form matrix K with nonzero kappa1");
  EXPECT_EQ(gsl_set_error_handler(nullptr), nullptr);
  solver.relTolerance = -1.0;
  EXPECT_EQ(ThrownText([&] { solver.Optimize(kZeroStart, &result); }),
            "relTolerance must not be negative or NaN");
  EXPECT_EQ(gsl_set_error_handler(&FailingHandler), nullptr);
}

}  // namespace
}  // namespace silhouette
