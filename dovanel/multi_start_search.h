// The search over start poses: one local optimisation per start, and the
// choice of the best result.
#pragma once

#include <cstddef>
#include <vector>

#include "dovanel/relative_pose_model.h"
#include "lsq/least_squares_solver.h"

namespace silhouette {

// Keeps the best of a sequence of results offered in start order. Before any
// offer the best is RMS 0 with the pose of seven zeros.
class BestStart {
 public:
  BestStart();

  // The first offer always becomes the best. A later one replaces the best
  // only when its RMS is a number and either the best's RMS is not a number
  // or the new RMS is smaller: an equal RMS keeps the earlier start, and a
  // NaN RMS never wins over a number, whatever the order.
  void Offer(double rms, const std::vector<double>& pose);

  double rms() const { return rms_; }
  const std::vector<double>& pose() const { return pose_; }

 private:
  bool empty_ = true;
  double rms_ = 0;
  std::vector<double> pose_;
};

// Runs solver.Optimize from each of the n start poses (column i is the
// seven numbers starts[7 i .. 7 i + 6]) in column order, measures each
// result with model.Rms and returns the best. The solver must be built over
// the model.
BestStart MultiStartSearch(const RelativePoseModel& model,
                           LeastSquaresSolver& solver, const double* starts,
                           std::size_t n);

}  // namespace silhouette
