#include "lsq/least_squares_model.h"

#include <gsl/gsl_errno.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "geometry/error_text.h"

namespace silhouette {
namespace {

// f = (x0^2, x0 x1, 3 x1), recording every point its residuals are taken at
// and the order in which its routines run.
class QuadraticModel : public LeastSquaresModel {
 public:
  explicit QuadraticModel(double fdStep) : fdStep_(fdStep) {}

  void Residuals(gsl_vector* f, const gsl_vector* x) override {
    log += "f";
    const double x0 = gsl_vector_get(x, 0);
    const double x1 = gsl_vector_get(x, 1);
    points.push_back({x0, x1});
    gsl_vector_set(f, 0, x0 * x0);
    gsl_vector_set(f, 1, x0 * x1);
    gsl_vector_set(f, 2, 3.0 * x1);
  }
  void Jacobian(gsl_matrix* J, const gsl_vector* x) override {
    log += "J";
    ForwardDifferenceJacobian(*this, J, x, fdStep_);
  }
  int NumResiduals() const override { return 3; }
  int NumParams() const override { return 2; }

  std::string log;
  std::vector<std::vector<double>> points;

 private:
  double fdStep_;
};

struct GslObjects {
  GslObjects(int rows, int cols, int params)
      : J(gsl_matrix_alloc(rows, cols)),
        f(gsl_vector_alloc(rows)),
        x(gsl_vector_alloc(params)) {
    gsl_matrix_set_all(J, -7.0);
  }
  ~GslObjects() {
    gsl_matrix_free(J);
    gsl_vector_free(f);
    gsl_vector_free(x);
  }
  gsl_matrix* J;
  gsl_vector* f;
  gsl_vector* x;
};

std::string ThrownText(QuadraticModel& model, const GslObjects& g) {
  try {
    ForwardDifferenceJacobian(model, g.J, g.x, 0.5);
  } catch (const ErrorText& e) {
    return e.what();
  }
  return "no exception";
}

TEST(ForwardDifferenceJacobian, HandComputedColumns) {
  QuadraticModel model(0.5);
  GslObjects g(3, 2, 2);
  gsl_vector_set(g.x, 0, 1.0);
  gsl_vector_set(g.x, 1, 2.0);
  model.Jacobian(g.J, g.x);
  // f(1, 2) = (1, 2, 6); f(1.5, 2) = (2.25, 3, 6); f(1, 2.5) = (1, 2.5, 7.5);
  // differences times 1/0.5.
  const double expected[3][2] = {{2.5, 0.0}, {2.0, 1.0}, {0.0, 3.0}};
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 2; ++j) {
      EXPECT_EQ(gsl_matrix_get(g.J, i, j), expected[i][j]) << i << "," << j;
    }
  }
  // f at x, then at x + h e_0, then at x + h e_1; x itself is unchanged.
  EXPECT_EQ(model.log, "Jfff");
  EXPECT_EQ(model.points, (std::vector<std::vector<double>>{
                              {1.0, 2.0}, {1.5, 2.0}, {1.0, 2.5}}));
  EXPECT_EQ(gsl_vector_get(g.x, 0), 1.0);
  EXPECT_EQ(gsl_vector_get(g.x, 1), 2.0);
}

TEST(ForwardDifferenceJacobian, StepIsAbsolute) {
  QuadraticModel model(0.5);
  GslObjects g(3, 2, 2);
  gsl_vector_set(g.x, 0, 1000.0);
  gsl_vector_set(g.x, 1, 2.0);
  model.Jacobian(g.J, g.x);
  EXPECT_EQ(model.points[1], (std::vector<double>{1000.5, 2.0}));
  // ((1000.5)^2 - 1000^2) / 0.5
  EXPECT_EQ(gsl_matrix_get(g.J, 0, 0), 2000.5);
}

TEST(ForwardDifferenceJacobian, SmallStepApproachesDerivative) {
  QuadraticModel model(1e-6);
  GslObjects g(3, 2, 2);
  gsl_vector_set(g.x, 0, 1.5);
  gsl_vector_set(g.x, 1, -2.0);
  model.Jacobian(g.J, g.x);
  const double exact[3][2] = {{3.0, 0.0}, {-2.0, 1.5}, {0.0, 3.0}};
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 2; ++j) {
      EXPECT_NEAR(gsl_matrix_get(g.J, i, j), exact[i][j], 1e-5);
    }
  }
  // The forward step overshoots d(x0^2)/dx0 by h.
  EXPECT_GT(gsl_matrix_get(g.J, 0, 0), 3.0);
}

TEST(ForwardDifferenceJacobian, WrongSizesThrowBeforeEvaluating) {
  gsl_error_handler_t* saved = gsl_set_error_handler_off();
  QuadraticModel model(0.5);
  {
    GslObjects g(3, 2, 3);
    gsl_vector_set_all(g.x, 1.0);
    EXPECT_EQ(ThrownText(model, g), "paramVec->size != NumParams()");
  }
  {
    GslObjects g(3, 2, 1);
    gsl_vector_set_all(g.x, 1.0);
    EXPECT_EQ(ThrownText(model, g), "paramVec->size != NumParams()");
  }
  {
    GslObjects g(4, 2, 2);
    gsl_vector_set_all(g.x, 1.0);
    EXPECT_EQ(ThrownText(model, g), "J->size1 != NumResiduals()");
  }
  {
    GslObjects g(3, 3, 2);
    gsl_vector_set_all(g.x, 1.0);
    EXPECT_EQ(ThrownText(model, g), "J->size2 != NumParams()");
    EXPECT_EQ(gsl_matrix_get(g.J, 0, 0), -7.0);  // untouched
  }
  EXPECT_EQ(model.log, "");
  gsl_set_error_handler(saved);
}

TEST(LeastSquaresModel, ResidualsAndJacobianTakesJacobianFirst) {
  QuadraticModel model(0.5);
  GslObjects g(3, 2, 2);
  gsl_vector_set(g.x, 0, 1.0);
  gsl_vector_set(g.x, 1, 2.0);
  model.ResidualsAndJacobian(g.f, g.J, g.x);
  EXPECT_EQ(model.log, "Jffff");
  EXPECT_EQ(gsl_vector_get(g.f, 2), 6.0);
  EXPECT_EQ(gsl_matrix_get(g.J, 2, 1), 3.0);
}

}  // namespace
}  // namespace silhouette
