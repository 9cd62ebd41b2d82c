// The least-squares model of the rigid transform between two view sets,
// fitted to the epipolar tangency misfits of every pair of views.
#pragma once

#include <gsl/gsl_matrix.h>
#include <gsl/gsl_vector.h>

#include <cstddef>
#include <vector>

#include "camera/view_set.h"
#include "dovanel/tangency_residuals.h"
#include "dovanel/tangent_search.h"
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
// and stay unchanged (their cameras and hulls are read once, by the
// constructor).
//
// The values are those of the plain recipe above bit for bit, computed
// with less work: what depends on a view alone is prepared once (pose and
// intrinsic inverses, a TangentSearch per view), the epipole and tangent
// pair that both halves of a group share are found once, and an
// evaluation allocates nothing. The model keeps scratch space and the
// residuals of the latest evaluation, which a Jacobian at the same pose
// reuses: one model serves one thread at a time (a parallel search builds
// one per thread).
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
  // Forward differences with the step fdStep, exactly as
  // ForwardDifferenceJacobian computes them (same checks and messages),
  // without allocating.
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
  // The residuals at pose, from the latest Residuals call when it was made
  // at the same pose (bit for bit), otherwise evaluated and kept.
  const double* ResidualsOfLatest(const double* pose);

  const ViewSet& setA_;
  const ViewSet& setB_;
  int numResiduals_;
  std::vector<ViewInverses> inversesA_;
  std::vector<ViewInverses> inversesB_;
  std::vector<TangentSearch> searchA_;
  std::vector<TangentSearch> searchB_;

  // Scratch of one evaluation: each view's pose times T (A) or inverse(T)
  // (B), and the flags of the half groups (two per pair). What grows with
  // the residuals is sized by the first evaluation that needs it.
  mutable std::vector<Mat4> poseTimesA_;
  mutable std::vector<Mat4> poseTimesB_;
  mutable std::vector<unsigned char> flags_;
  // Per pair, where the latest evaluation found A's and B's tangents.
  mutable std::vector<TangentSearch::Hint> hintsA_;
  mutable std::vector<TangentSearch::Hint> hintsB_;
  // Residuals for SumOfSquares and for vectors with a stride.
  mutable std::vector<double> values_;
  // The latest evaluated pose and its residuals, and the Jacobian's steps.
  double latestPose_[7] = {};
  bool haveLatest_ = false;
  std::vector<double> latest_;
  std::vector<double> stepped_;
};

}  // namespace silhouette
