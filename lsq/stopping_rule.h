// The solver's own stopping rules, decided after every iteration on top of
// GSL's step test.
//
// At least one iteration always runs. After iteration k the RMS residual is
// appended to the history (history[0] is the RMS at the start), and with a
// window w <= k the relative improvement becomes
//   rel = (history[k - w] - history[k]) / history[k - w];
// before that rel keeps its start value 9999999.0. Another iteration runs
// only while the step test asks to go on, k < maxIterations, the RMS is a
// number and rel is not <= minRelImprovement (a NaN rel, as 0/0 when both
// RMS values are zero, does not stop the loop; an RMS that is NaN does,
// since no iteration can then be measured, and the step test would go on
// for all maxIterations).
#pragma once

#include <vector>

namespace silhouette {

class StoppingRule {
 public:
  // Throws ErrorText "improvementWindow must not be negative" for w < 0
  // (a negative window would look past the end of the history). A window
  // of 0 compares an RMS with itself, so it stops after one iteration
  // unless that RMS is zero.
  StoppingRule(int maxIterations, double minRelImprovement,
               int improvementWindow);

  // Begins a run at the given RMS residual, forgetting any earlier run.
  void Start(double startRms);

  // Records the RMS residual after one more iteration and tells whether to
  // run another. stepTestContinues is true when GSL's step test answered
  // GSL_CONTINUE.
  bool Continue(bool stepTestContinues, double rms);

  // Iterations recorded since Start.
  int iterations() const { return k_; }
  // The current relative improvement rel.
  double relImprovement() const { return rel_; }

 private:
  int maxIterations_;
  double minRelImprovement_;
  int improvementWindow_;
  std::vector<double> history_;
  double rel_ = 9999999.0;
  int k_ = 0;
};

}  // namespace silhouette
