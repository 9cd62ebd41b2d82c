#include "dovanel/multi_start_search.h"

#include <cmath>

namespace silhouette {
namespace {

constexpr std::size_t kPoseSize = 7;

}  // namespace

BestStart::BestStart() : pose_(kPoseSize, 0.0) {}

void BestStart::Offer(double rms, const std::vector<double>& pose) {
  const bool better =
      empty_ || (!std::isnan(rms) && (std::isnan(rms_) || rms < rms_));
  empty_ = false;
  if (!better) return;
  rms_ = rms;
  pose_ = pose;
}

BestStart MultiStartSearch(const RelativePoseModel& model,
                           LeastSquaresSolver& solver, const double* starts,
                           std::size_t n) {
  BestStart best;
  std::vector<double> start(kPoseSize);
  std::vector<double> result;
  for (std::size_t i = 0; i < n; ++i) {
    start.assign(starts + kPoseSize * i, starts + kPoseSize * (i + 1));
    result.assign(kPoseSize, 0.0);
    solver.Optimize(start, &result);
    best.Offer(model.Rms(result), result);
  }
  return best;
}

}  // namespace silhouette
