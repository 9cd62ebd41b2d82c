#include "lsq/stopping_rule.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "geometry/error_text.h"

namespace silhouette {
namespace {

// Iterations run with a steadily halving RMS and a step test that always
// asks to go on.
int IterationsWithHalvingRms(int maxIterations) {
  StoppingRule rule(maxIterations, 1e-10, 1);
  rule.Start(1.0);
  double rms = 1.0;
  do {
    rms *= 0.5;
  } while (rule.Continue(true, rms));
  return rule.iterations();
}

TEST(StoppingRule, AtLeastOneIterationWhateverTheLimit) {
  EXPECT_EQ(IterationsWithHalvingRms(1), 1);
  EXPECT_EQ(IterationsWithHalvingRms(0), 1);
  EXPECT_EQ(IterationsWithHalvingRms(-3), 1);
  EXPECT_EQ(IterationsWithHalvingRms(10), 10);
  EXPECT_EQ(IterationsWithHalvingRms(2), 2);
}

TEST(StoppingRule, StepTestEndsTheLoop) {
  StoppingRule rule(10, 1e-10, 1);
  rule.Start(1.0);
  EXPECT_TRUE(rule.Continue(true, 0.5));
  EXPECT_FALSE(rule.Continue(false, 0.25));
  EXPECT_EQ(rule.iterations(), 2);
}

TEST(StoppingRule, NoImprovementEndsTheLoop) {
  StoppingRule rule(10, 1e-10, 1);
  rule.Start(1.0);
  EXPECT_FALSE(rule.Continue(true, 1.0));
  EXPECT_EQ(rule.relImprovement(), 0.0);
  rule.Start(1.0);
  EXPECT_FALSE(rule.Continue(true, 1.5));  // worse
  EXPECT_EQ(rule.relImprovement(), -0.5);
  rule.Start(1.0);
  EXPECT_FALSE(rule.Continue(true, 1.0 - std::ldexp(1.0, -40)));  // 9.1e-13
  rule.Start(1.0);
  EXPECT_TRUE(rule.Continue(true, 1.0 - std::ldexp(1.0, -30)));  // 9.3e-10
}

TEST(StoppingRule, ImprovementEqualToTheMinimumEndsTheLoop) {
  StoppingRule rule(10, 0.25, 1);
  rule.Start(1.0);
  EXPECT_TRUE(rule.Continue(true, 0.5));     // rel 0.5
  EXPECT_FALSE(rule.Continue(true, 0.375));  // rel 0.25 exactly
  EXPECT_EQ(rule.relImprovement(), 0.25);
}

TEST(StoppingRule, BothRmsZeroGivesNaNWhichGoesOn) {
  StoppingRule rule(10, 1e-10, 1);
  rule.Start(0.0);
  EXPECT_TRUE(rule.Continue(true, 0.0));
  EXPECT_TRUE(std::isnan(rule.relImprovement()));
  EXPECT_TRUE(rule.Continue(true, 0.0));
  EXPECT_FALSE(rule.Continue(false, 0.0));  // the step test decides
  EXPECT_EQ(rule.iterations(), 3);
}

TEST(StoppingRule, AnRmsThatIsNotANumberEndsTheLoop) {
  // Whatever the limit and the step test: with NaN residuals (every
  // residual of a Dovanel pair set flagged, say) nothing can improve, and
  // the step test would go on to the limit, INT_MAX for an mfe of Inf.
  for (double start : {1.0, std::nan("")}) {
    StoppingRule rule(std::numeric_limits<int>::max(), 1e-10, 1);
    rule.Start(start);
    EXPECT_FALSE(rule.Continue(true, std::nan("")));
    EXPECT_EQ(rule.iterations(), 1);
  }
  StoppingRule later(std::numeric_limits<int>::max(), 1e-10, 1);
  later.Start(1.0);
  EXPECT_TRUE(later.Continue(true, 0.5));
  EXPECT_FALSE(later.Continue(true, std::nan("")));
}

TEST(StoppingRule, WindowComparesWithTheRmsWIterationsBack) {
  StoppingRule rule(10, 0.1, 3);
  rule.Start(1.0);
  EXPECT_TRUE(rule.Continue(true, 1.0));  // no change, but k < w
  EXPECT_EQ(rule.relImprovement(), 9999999.0);
  EXPECT_TRUE(rule.Continue(true, 1.0));
  EXPECT_EQ(rule.relImprovement(), 9999999.0);
  EXPECT_TRUE(rule.Continue(true, 0.5));  // against history[0] = 1.0
  EXPECT_EQ(rule.relImprovement(), 0.5);
  EXPECT_FALSE(rule.Continue(true, 0.95));  // against history[1] = 1.0
  EXPECT_NEAR(rule.relImprovement(), 0.05, 1e-15);
  rule.Start(1.0);
  EXPECT_TRUE(rule.Continue(true, 0.96));
  EXPECT_TRUE(rule.Continue(true, 0.93));
  EXPECT_FALSE(rule.Continue(true, 0.91));  // rel 0.09 over three steps
  EXPECT_EQ(rule.iterations(), 3);
}

TEST(StoppingRule, ZeroWindowStopsUnlessRmsIsZero) {
  StoppingRule rule(10, 1e-10, 0);
  rule.Start(1.0);
  EXPECT_FALSE(rule.Continue(true, 0.5));
  EXPECT_EQ(rule.relImprovement(), 0.0);
  rule.Start(1.0);
  EXPECT_TRUE(rule.Continue(true, 0.0));
}

TEST(StoppingRule, NegativeWindowIsRejected) {
  try {
    StoppingRule rule(10, 1e-10, -1);
    ADD_FAILURE() << "no exception";
  } catch (const ErrorText& e) {
    EXPECT_STREQ(e.what(), "improvementWindow must not be negative");
  }
}

TEST(StoppingRule, StartForgetsTheEarlierRun) {
  StoppingRule rule(2, 1e-10, 1);
  rule.Start(1.0);
  EXPECT_TRUE(rule.Continue(true, 0.5));
  EXPECT_FALSE(rule.Continue(true, 0.25));
  rule.Start(8.0);
  EXPECT_EQ(rule.iterations(), 0);
  EXPECT_EQ(rule.relImprovement(), 9999999.0);
  EXPECT_TRUE(rule.Continue(true, 4.0));
  EXPECT_EQ(rule.relImprovement(), 0.5);
}

}  // namespace
}  // namespace silhouette
