// The least-squares model of the rigid transform between two view sets,
// fitted to the epipolar tangency misfits of every pair of views.
#pragma once

#include <gsl/gsl_matrix.h>
#include <gsl/gsl_vector.h>

#include <cstddef>
#include <vector>

#include "camera/view_set.h"
#include "dovanel/tangency_residuals.h"
#include "geometry/mat4.h"
#include "lsq/least_squares_model.h"

namespace silhouette {

// The transform T of a pose of seven numbers p[0..6]: the quaternion
// (x, y, z, w) = (p[0], p[1], p[2], p[3]) gives the rotation block after it
// is scaled to unit length (a quaternion of length 1e-8 or less stands for
// the identity rotation), the translation column is (p[4], p[5], p[6])
// unchanged, and the bottom row is (0, 0, 0, 1). A quaternion and any
// nonzero multiple of it (its negative included) give the same rotation.
Mat4 PoseToMatrix(const double* pose);

// Overwrites every residual out[i] whose flags[i] is nonzero with the root
// mean square of the others, sqrt(s / c), s being the sum of their squares
// added in index order and c their number. When every residual is flagged
// there is nothing to measure them by, and they all become NaN.
void ReplaceFlaggedResiduals(double* out, const unsigned char* flags,
                             std::size_t n);

// Seven parameters, a pose (see PoseToMatrix) of the transform T that
// carries world coordinates of view set B into world coordinates of view
// set A; 8 |A| |B| residuals, one group of eight for each pair of view i of
// A and view j of B, starting at 8 (i |B| + j):
//   0..3  PairResiduals of A's view i against B's view j under T,
//   4..7  PairResiduals of B's view j against A's view i under inverse(T).
// A half group whose epipole lies inside its view's box (EpipoleInside) is
// flagged, and its four slots are replaced as ReplaceFlaggedResiduals says.
// The view sets are referred to, not owned; they must outlive the model
// and stay unchanged (their cameras are read once, by the constructor).
class RelativePoseModel : public LeastSquaresModel {
 public:
  // Throws ErrorText when 8 |A| |B| does not fit an int, when a view of
  // either set has no hull vertices, and "Cannot form matrix K with nonzero
  // kappa1" when a camera has kappa1 != 0 (the views' pose and intrinsic
  // inverses are computed here once). Sets without views are accepted here
  // (no residuals); no solver can be built for them.
  RelativePoseModel(const ViewSet& setA, const ViewSet& setB);

  // ResidualsAt at the pose x. Throws "paramVec->size != NumParams()" and
  // "f->size != NumResiduals()" for vectors of the wrong length.
  void Residuals(gsl_vector* f, const gsl_vector* x) override;
  // Forward differences with the step fdStep.
  void Jacobian(gsl_matrix* J, const gsl_vector* x) override;
  int NumResiduals() const override { return numResiduals_; }
  int NumParams() const override { return 7; }

  // Fills NumResiduals() doubles at out from the seven doubles at pose.
  void ResidualsAt(double* out, const double* pose) const;

  // The sum of the squared residuals at x (seven numbers), added in index
  // order.
  double SumOfSquares(const gsl_vector* x) const;

  // sqrt(SumOfSquares / NumResiduals()) at the pose; throws "vector has
  // wrong number of elements." unless pose holds exactly seven numbers.
  // NaN when every residual is flagged, and when there are no residuals.
  double Rms(const std::vector<double>& pose) const;

  double fdStep = 1e-6;

 private:
  const ViewSet& setA_;
  const ViewSet& setB_;
  int numResiduals_;
  std::vector<ViewInverses> inversesA_;
  std::vector<ViewInverses> inversesB_;
};

}  // namespace silhouette
