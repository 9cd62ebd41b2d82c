// Test support: the relative pose model exactly as it was before its
// evaluation was made faster (a scan over every hull vertex for each
// tangent pair, four per view pair, a flag array allocated per evaluation,
// the generic forward-difference Jacobian). Kept word for word as the
// reference that the fast model must match bit for bit, and as the
// baseline of the benchmarks.
#pragma once

#include <gsl/gsl_matrix.h>
#include <gsl/gsl_vector.h>

#include <vector>

#include "camera/view_set.h"
#include "dovanel/tangency_residuals.h"
#include "lsq/least_squares_model.h"

namespace silhouette {
namespace testing {

class ReferencePoseModel : public LeastSquaresModel {
 public:
  ReferencePoseModel(const ViewSet& setA, const ViewSet& setB);

  void Residuals(gsl_vector* f, const gsl_vector* x) override;
  void Jacobian(gsl_matrix* J, const gsl_vector* x) override;
  int NumResiduals() const override { return numResiduals_; }
  int NumParams() const override { return 7; }

  void ResidualsAt(double* out, const double* pose) const;
  double SumOfSquares(const gsl_vector* x) const;
  double Rms(const std::vector<double>& pose) const;

  double fdStep = 1e-6;

 private:
  const ViewSet& setA_;
  const ViewSet& setB_;
  int numResiduals_;
  std::vector<ViewInverses> inversesA_;
  std::vector<ViewInverses> inversesB_;
};

}  // namespace testing
}  // namespace silhouette
