#include "dovanel/dovanel_solve.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "camera/view_set.h"
#include "dovanel/dovanel_entry.h"
#include "dovanel/two_set_scene.h"
#include "geometry/error_text.h"
#include "host/embedded_host.h"

namespace silhouette {
namespace {

using host::ArrayPtr;
using host::CallEntry;
using host::CallResult;
using host::MakeMatrix;
using host::Values;
using testing::MakeTwoSetScene;
using testing::PerturbedPose;
using testing::TwoSetScene;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Equal bit for bit (NaN equals a NaN of the same bits).
bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
  return a.size() == b.size() &&
         (a.empty() ||
          std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0);
}

class DovanelSolve : public ::testing::Test {
 protected:
  DovanelSolve() {
    std::mt19937 rng(71);
    scene_ = MakeTwoSetScene(&rng, 3, 2);
    std::mt19937 starts(72);
    for (const auto& [degrees, fraction] :
         {std::pair{3.0, 0.03}, {40.0, 0.5}, {8.0, 0.1}, {90.0, 0.9}}) {
      const std::vector<double> pose =
          PerturbedPose(&starts, scene_.truePose, degrees, fraction);
      starts_.insert(starts_.end(), pose.begin(), pose.end());
    }
  }

  // The entry's three outputs for the given starts (7 x n) and settings.
  std::vector<std::vector<double>> EntryOutputs(
      const std::vector<double>& starts, double mfe, double tol) const {
    ArrayPtr s = MakeMatrix(7, starts.size() / 7, starts);
    ArrayPtr settings = MakeMatrix(2, 1, {mfe, tol});
    const CallResult r =
        CallEntry(DovanelMain, 3,
                  {scene_.viewVecA.get(), scene_.viewVecB.get(), s.get(),
                   settings.get()});
    EXPECT_FALSE(r.raised) << r.error;
    EXPECT_EQ(r.printed, "");
    std::vector<std::vector<double>> out;
    for (const ArrayPtr& array : r.outputs) out.push_back(Values(array.get()));
    return out;
  }

  TwoSetScene scene_;
  std::vector<double> starts_;
};

// Subsets of the starts: none, one near the answer, a far one alone, all
// four, and all four behind a start of NaNs (which must never win).
TEST_F(DovanelSolve, GivesTheEntrysOutputsBitForBitWhateverTheThreads) {
  std::vector<double> with_nan(7, kNaN);
  with_nan.insert(with_nan.end(), starts_.begin(), starts_.end());
  const std::vector<std::vector<double>> cases = {
      {},
      {starts_.begin(), starts_.begin() + 7},
      {starts_.begin() + 21, starts_.end()},
      starts_,
      with_nan};
  const ViewSet a(scene_.viewVecA.get());
  const ViewSet b(scene_.viewVecB.get());
  for (std::size_t c = 0; c < cases.size(); ++c) {
    const std::vector<std::vector<double>> expected =
        EntryOutputs(cases[c], 100, 1e-10);
    ASSERT_EQ(expected.size(), 3u);
    for (int threads : {0, 1, 2, 5}) {
      const DovanelSolution s =
          SolveDovanel(a, b, cases[c].data(), cases[c].size() / 7,
                       SolverSettings{100, 1e-10}, threads);
      EXPECT_TRUE(SameBits({s.rms}, expected[0])) << c << " " << threads;
      EXPECT_TRUE(SameBits(s.pose, expected[1])) << c << " " << threads;
      EXPECT_TRUE(SameBits(s.residuals, expected[2])) << c << " " << threads;
      EXPECT_EQ(s.residuals.size(), 48u);
    }
  }
}

TEST_F(DovanelSolve, AppliesTheSolverSettings) {
  const ViewSet a(scene_.viewVecA.get());
  const ViewSet b(scene_.viewVecB.get());
  const double* far = starts_.data() + 7;
  const DovanelSolution one =
      SolveDovanel(a, b, far, 1, SolverSettings{1, 1e-10}, 1);
  const DovanelSolution many =
      SolveDovanel(a, b, far, 1, SolverSettings{100, 1e-10}, 1);
  const std::vector<double> far_start(far, far + 7);
  EXPECT_TRUE(SameBits(one.pose, EntryOutputs(far_start, 1, 1e-10)[1]));
  EXPECT_FALSE(SameBits(one.pose, many.pose));
  EXPECT_GT(one.rms, many.rms);
}

TEST_F(DovanelSolve, EmptySetsThrowTheEntrysTexts) {
  const ViewSet a(scene_.viewVecA.get());
  const ViewSet empty{std::vector<View>()};
  struct Case {
    const ViewSet* a;
    const ViewSet* b;
    const char* text;
  };
  const Case cases[] = {
      {&empty, &a, "viewVecA has no views: each set needs at least one."},
      {&a, &empty, "viewVecB has no views: each set needs at least one."},
      {&empty, &empty, "viewVecA has no views: each set needs at least one."},
  };
  for (const Case& c : cases) {
    try {
      SolveDovanel(*c.a, *c.b, starts_.data(), 1, SolverSettings{100, 0}, 1);
      ADD_FAILURE() << "no exception for " << c.text;
    } catch (const ErrorText& error) {
      EXPECT_EQ(std::string(error.what()), c.text);
    }
  }
}

TEST_F(DovanelSolve, DistortedCamerasThrowTheModelsText) {
  ViewSet a(scene_.viewVecA.get());
  const ViewSet b(scene_.viewVecB.get());
  a.views[1].camera.kappa1 = 1e-9;
  try {
    SolveDovanel(a, b, starts_.data(), 1, SolverSettings{100, 0}, 0);
    ADD_FAILURE() << "no exception";
  } catch (const ErrorText& error) {
    EXPECT_EQ(std::string(error.what()),
              "Cannot form matrix K with nonzero kappa1");
  }
}

}  // namespace
}  // namespace silhouette
