#include "lsq/stopping_rule.h"

#include <cmath>

#include "geometry/error_text.h"

namespace silhouette {

StoppingRule::StoppingRule(int maxIterations, double minRelImprovement,
                           int improvementWindow)
    : maxIterations_(maxIterations),
      minRelImprovement_(minRelImprovement),
      improvementWindow_(improvementWindow) {
  if (improvementWindow < 0) {
    throw ErrorText("improvementWindow must not be negative");
  }
}

void StoppingRule::Start(double startRms) {
  history_.assign(1, startRms);
  rel_ = 9999999.0;
  k_ = 0;
}

bool StoppingRule::Continue(bool stepTestContinues, double rms) {
  ++k_;
  history_.push_back(rms);
  if (k_ >= improvementWindow_) {
    const double before = history_[k_ - improvementWindow_];
    rel_ = (before - history_[k_]) / before;
  }
  // Written as !(rel <= min) so that a NaN rel goes on. An RMS that is not
  // a number leaves nothing to improve or measure: the loop ends, however
  // many iterations are allowed.
  return stepTestContinues && k_ < maxIterations_ && !std::isnan(rms) &&
         !(rel_ <= minRelImprovement_);
}

}  // namespace silhouette
