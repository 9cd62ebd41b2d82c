// One world point seen by several cameras: the least-squares model whose
// residuals are the differences between the point's projections and the
// observed image points.
#pragma once

#include <vector>

#include "camera/camera.h"
#include "geometry/vec2.h"
#include "lsq/least_squares_model.h"

namespace silhouette {

// Three parameters, the point's world coordinates; residuals 2i and 2i + 1
// are the x and y pixel differences of camera i. The analytic Jacobian (the
// default) is that of the projection without distortion and throws "Cannot
// form matrix K with nonzero kappa1" for a camera with kappa1 != 0; with
// `analyticJacobian` false the forward differences of step `fdStep` are
// used instead.
class PointTriangulationModel : public LeastSquaresModel {
 public:
  // Both arrays must outlive the model and hold one entry per camera;
  // arrays of different lengths are refused with an ErrorText.
  PointTriangulationModel(const std::vector<Vec2>& observations,
                          const std::vector<Camera>& cameras);

  void Residuals(gsl_vector* f, const gsl_vector* x) override;
  void Jacobian(gsl_matrix* J, const gsl_vector* x) override;
  int NumResiduals() const override;
  int NumParams() const override { return 3; }

  double fdStep = 1e-6;
  bool analyticJacobian = true;

 private:
  void AnalyticJacobian(gsl_matrix* J, const gsl_vector* x) const;

  const std::vector<Vec2>& observations_;
  const std::vector<Camera>& cameras_;
};

}  // namespace silhouette
