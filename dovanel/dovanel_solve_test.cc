#include "dovanel/dovanel_solve.h"

#include <gsl/gsl_errno.h>
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "camera/view_set.h"
#include "dovanel/testing/fixture_problems.h"
#include "dovanel/relative_pose_model.h"
#include "dovanel/two_set_scene.h"
#include "geometry/error_text.h"

namespace silhouette {
namespace {

using testing::FixtureProblem;
using testing::RecordedAnswer;

std::string ThrownText(const std::function<void()>& call) {
  try {
    call();
  } catch (const ErrorText& error) {
    return error.what();
  }
  return "(nothing thrown)";
}

RecordedAnswer AnswerOf(const std::string& name, const DovanelSolution& s) {
  RecordedAnswer a;
  a.name = name;
  a.rms = s.rms;
  a.pose = s.pose;
  a.residuals = s.residuals;
  return a;
}

// The answers recorded before the search was made faster and parallel,
// bit for bit, whatever the number of threads.
TEST(SolveDovanel, ReproducesTheRecordedAnswersOnAnyNumberOfThreads) {
  const std::vector<RecordedAnswer> recorded = testing::ParseAnswers(
      testing::ReadTextFile(DOVANEL_TESTDATA_DIR "/recorded_answers.txt"));
  const std::vector<FixtureProblem> problems =
      testing::MakeFixtureProblems(DOVANEL_TESTDATA_DIR);
  ASSERT_EQ(recorded.size(), problems.size());
  for (const int threads : {1, 2, 3, 0}) {
    for (std::size_t i = 0; i < problems.size(); ++i) {
      const FixtureProblem& p = problems[i];
      const ViewSet a(p.viewVecA.get());
      const ViewSet b(p.viewVecB.get());
      const SolverSettings settings = ReadSolverSettings(p.mfe, p.tol);
      const DovanelSolution s =
          SolveDovanel(a, b, p.starts.data(), p.numStarts, settings, threads);
      EXPECT_EQ(testing::AnswerDifference(recorded[i], AnswerOf(p.name, s)), "")
          << threads << " threads";
    }
  }
}

class SolveDovanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::mt19937 rng(5);
    scene_ = testing::MakeTwoSetScene(&rng, 2, 3);
    a_ = std::make_unique<ViewSet>(scene_.viewVecA.get());
    b_ = std::make_unique<ViewSet>(scene_.viewVecB.get());
    for (int k = 0; k < 6; ++k) {
      const std::vector<double> s =
          testing::PerturbedPose(&rng, scene_.truePose, 2 + 3 * k, 0.02 * k);
      starts_.insert(starts_.end(), s.begin(), s.end());
    }
  }
  testing::TwoSetScene scene_;
  std::unique_ptr<ViewSet> a_;
  std::unique_ptr<ViewSet> b_;
  std::vector<double> starts_;
  SolverSettings settings_{20, 1e-10};
};

TEST_F(SolveDovanelTest, SameAnswerForEveryThreadRequest) {
  const DovanelSolution one =
      SolveDovanel(*a_, *b_, starts_.data(), 6, settings_, 1);
  for (const int threads : {2, 3, 5, 6, 7, 64, 0, -1}) {
    const DovanelSolution s =
        SolveDovanel(*a_, *b_, starts_.data(), 6, settings_, threads);
    EXPECT_EQ(testing::AnswerDifference(AnswerOf("one", one), AnswerOf("one", s)),
              "")
        << threads;
  }
}

TEST_F(SolveDovanelTest, NoStartsGiveTheZeroPose) {
  for (const int threads : {1, 3}) {
    const DovanelSolution s =
        SolveDovanel(*a_, *b_, nullptr, 0, settings_, threads);
    EXPECT_EQ(s.rms, 0);
    EXPECT_EQ(s.pose, std::vector<double>(7, 0.0));
    const RelativePoseModel model(*a_, *b_);
    std::vector<double> expected(48);
    model.ResidualsAt(expected.data(), s.pose.data());
    ASSERT_EQ(s.residuals.size(), 48u);
    for (std::size_t i = 0; i < 48; ++i) {
      EXPECT_TRUE(testing::SameBits(s.residuals[i], expected[i])) << i;
    }
  }
}

// The messages of the sequential search, in its order, before any thread
// starts.
TEST_F(SolveDovanelTest, ErrorsComeInTheSequentialOrder) {
  ViewSet empty = *b_;
  empty.views.clear();
  ViewSet distorted = *b_;
  distorted.views[1].camera.kappa1 = 1e-7;
  const SolverSettings bad_tol{20, -1};
  const std::string no_a = "viewVecA has no views: each set needs at least one.";
  const std::string no_b = "viewVecB has no views: each set needs at least one.";
  const std::string tol = "tol in [mfe;tol] must not be negative or NaN";
  const std::string kappa = "Cannot form matrix K with nonzero kappa1";
  const struct {
    const ViewSet* a;
    const ViewSet* b;
    SolverSettings settings;
    std::string message;
  } cases[] = {
      {&empty, &empty, bad_tol, no_a},      {b_.get(), &empty, bad_tol, no_b},
      {a_.get(), &distorted, bad_tol, tol}, {a_.get(), &distorted, settings_, kappa},
      {&distorted, a_.get(), SolverSettings{20, std::nan("")}, tol},
  };
  for (const auto& c : cases) {
    for (const int threads : {1, 3}) {
      EXPECT_EQ(ThrownText([&] {
                  SolveDovanel(*c.a, *c.b, starts_.data(), 6, c.settings,
                               threads);
                }),
                c.message);
    }
  }
}

void Silent(const char*, const char*, int, int) {}

// The handler installed before the call is back after it, also when the
// call fails; the threads' solvers never change it in between.
TEST_F(SolveDovanelTest, RestoresTheGslErrorHandler) {
  gsl_error_handler_t* const before = gsl_set_error_handler(&Silent);
  SolveDovanel(*a_, *b_, starts_.data(), 6, settings_, 3);
  EXPECT_EQ(gsl_set_error_handler(&Silent), &Silent);
  ViewSet distorted = *b_;
  distorted.views[0].camera.kappa1 = 1e-7;
  EXPECT_EQ(ThrownText([&] {
              SolveDovanel(*a_, distorted, starts_.data(), 6, settings_, 3);
            }),
            "Cannot form matrix K with nonzero kappa1");
  EXPECT_EQ(gsl_set_error_handler(before), &Silent);
}

}  // namespace
}  // namespace silhouette
