#include "lsq/point_triangulation_model.h"

#include <gsl/gsl_matrix.h>
#include <gsl/gsl_vector.h>
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "camera/synthetic_scene.h"
#include "geometry/error_text.h"
#include "lsq/least_squares_solver.h"

namespace silhouette {
namespace {

Camera IdentityCamera(double kappa1 = 0) {
  Camera camera;
  camera.efl = 100;
  camera.u0 = 0;
  camera.v0 = 0;
  camera.kappa1 = kappa1;
  camera.pose = Mat4::kIdentity;
  return camera;
}

struct Evaluated {
  std::vector<double> f;
  std::vector<double> jacobian;  // row-major
};

Evaluated Evaluate(PointTriangulationModel& model, const Vec3& point) {
  gsl_vector* x = gsl_vector_alloc(3);
  gsl_vector_set(x, 0, point.x);
  gsl_vector_set(x, 1, point.y);
  gsl_vector_set(x, 2, point.z);
  const int n = model.NumResiduals();
  gsl_vector* f = gsl_vector_alloc(n);
  gsl_matrix* j = gsl_matrix_alloc(n, 3);
  Evaluated out;
  try {
    model.ResidualsAndJacobian(f, j, x);
    for (int i = 0; i < n; ++i) out.f.push_back(gsl_vector_get(f, i));
    for (int r = 0; r < n; ++r) {
      for (int c = 0; c < 3; ++c)
        out.jacobian.push_back(gsl_matrix_get(j, r, c));
    }
  } catch (...) {
    gsl_vector_free(x);
    gsl_vector_free(f);
    gsl_matrix_free(j);
    throw;
  }
  gsl_vector_free(x);
  gsl_vector_free(f);
  gsl_matrix_free(j);
  return out;
}

TEST(PointTriangulationModel, ProjectionAndAnalyticJacobian) {
  const std::vector<Camera> cameras = {IdentityCamera(), IdentityCamera()};
  const std::vector<Vec2> observations = {{0, 0}, {20, 40}};
  PointTriangulationModel model(observations, cameras);
  EXPECT_EQ(model.NumResiduals(), 4);
  EXPECT_EQ(model.NumParams(), 3);
  const Evaluated e = Evaluate(model, Vec3(1, 2, 4));
  EXPECT_EQ(e.f, (std::vector<double>{25, 50, 5, 10}));
  EXPECT_EQ(e.jacobian, (std::vector<double>{25, 0, -6.25, 0, 25, -12.5, 25, 0,
                                             -6.25, 0, 25, -12.5}));
}

TEST(PointTriangulationModel, ForwardDifferencesAndDistortion) {
  std::vector<Camera> cameras = {IdentityCamera()};
  const std::vector<Vec2> observations = {{0, 0}};
  PointTriangulationModel model(observations, cameras);
  model.analyticJacobian = false;
  const Evaluated e = Evaluate(model, Vec3(1, 2, 4));
  EXPECT_NEAR(e.jacobian[0], 25, 1e-6);
  EXPECT_NEAR(e.jacobian[2], -6.2499984, 1e-6);
  EXPECT_NE(e.jacobian[2], -6.25);  // a forward difference, not the exact one
  cameras[0].kappa1 = 0.001;
  EXPECT_NO_THROW(Evaluate(model, Vec3(1, 2, 4)));
  model.analyticJacobian = true;
  try {
    Evaluate(model, Vec3(1, 2, 4));
    FAIL() << "no error for kappa1 != 0";
  } catch (const ErrorText& error) {
    EXPECT_STREQ(error.what(), "Cannot form matrix K with nonzero kappa1");
  }
}

TEST(PointTriangulationModel, MismatchedArraysAreRefused) {
  const std::vector<Camera> cameras = {IdentityCamera(), IdentityCamera()};
  const std::vector<Vec2> observations = {{0, 0}};
  EXPECT_THROW(PointTriangulationModel(observations, cameras), ErrorText);
}

TEST(PointTriangulationModel, AnalyticJacobianMatchesForwardDifferences) {
  std::mt19937 rng(8);
  const std::vector<Camera> cameras = testing::CamerasAround(&rng, 4, 10);
  const std::vector<Vec2> observations(4, Vec2(300, 200));
  PointTriangulationModel model(observations, cameras);
  const Evaluated analytic = Evaluate(model, Vec3(0.3, -0.2, 0.5));
  model.analyticJacobian = false;
  const Evaluated numeric = Evaluate(model, Vec3(0.3, -0.2, 0.5));
  for (std::size_t k = 0; k < analytic.jacobian.size(); ++k) {
    EXPECT_NEAR(analytic.jacobian[k], numeric.jacobian[k],
                1e-4 * (1 + std::abs(analytic.jacobian[k])));
  }
}

TEST(PointTriangulationModel, SolverFindsThePointSeenByThreeCameras) {
  std::mt19937 rng(3);
  const std::vector<Camera> cameras = testing::CamerasAround(&rng, 3, 20);
  const Vec3 truth(0.4, -0.7, 1.1);
  std::vector<Vec2> observations;
  for (const Camera& camera : cameras) {
    observations.push_back(camera.Project(truth));
  }
  PointTriangulationModel model(observations, cameras);
  LeastSquaresSolver solver(model);
  solver.maxIterations = 50;
  solver.relTolerance = 1e-10;
  std::vector<double> result;
  solver.Optimize({0, 0, 0}, &result);
  EXPECT_NEAR(result[0], truth.x, 1e-6);
  EXPECT_NEAR(result[1], truth.y, 1e-6);
  EXPECT_NEAR(result[2], truth.z, 1e-6);
}

}  // namespace
}  // namespace silhouette
