#include "dovanel/multi_start_search.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "camera/view_set.h"
#include "dovanel/two_set_scene.h"

namespace silhouette {
namespace {

using testing::MakeTwoSetScene;
using testing::PerturbedPose;
using testing::TwoSetScene;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::vector<double> Pose(double label) { return {label, 0, 0, 1, 0, 0, 0}; }

TEST(BestStart, StartsAtZeroWithTheZeroPose) {
  const BestStart best;
  EXPECT_EQ(best.rms(), 0);
  EXPECT_EQ(best.pose(), std::vector<double>(7, 0.0));
}

TEST(BestStart, KeepsTheSmallestRms) {
  BestStart best;
  best.Offer(3, Pose(1));
  best.Offer(2, Pose(2));
  best.Offer(5, Pose(3));
  EXPECT_EQ(best.rms(), 2);
  EXPECT_EQ(best.pose(), Pose(2));
}

TEST(BestStart, TheFirstOfEqualRmsWins) {
  BestStart best;
  best.Offer(2, Pose(1));
  best.Offer(2, Pose(2));
  EXPECT_EQ(best.pose(), Pose(1));
  best.Offer(1, Pose(3));
  best.Offer(1, Pose(4));
  EXPECT_EQ(best.pose(), Pose(3));
}

TEST(BestStart, TheFirstOfferWinsEvenWhenLarge) {
  BestStart best;
  best.Offer(1e300, Pose(1));
  EXPECT_EQ(best.rms(), 1e300);
  EXPECT_EQ(best.pose(), Pose(1));
}

TEST(BestStart, NaNNeverWinsOverANumber) {
  BestStart nan_first;
  nan_first.Offer(kNaN, Pose(1));
  EXPECT_TRUE(std::isnan(nan_first.rms()));
  nan_first.Offer(7, Pose(2));
  nan_first.Offer(kNaN, Pose(3));
  EXPECT_EQ(nan_first.rms(), 7);
  EXPECT_EQ(nan_first.pose(), Pose(2));

  BestStart nan_last;
  nan_last.Offer(7, Pose(1));
  nan_last.Offer(kNaN, Pose(2));
  EXPECT_EQ(nan_last.rms(), 7);
  EXPECT_EQ(nan_last.pose(), Pose(1));
}

TEST(BestStart, AllNaNKeepsTheFirst) {
  BestStart best;
  best.Offer(kNaN, Pose(1));
  best.Offer(kNaN, Pose(2));
  EXPECT_TRUE(std::isnan(best.rms()));
  EXPECT_EQ(best.pose(), Pose(1));
}

TEST(BestStart, InfinityIsANumber) {
  BestStart best;
  best.Offer(kNaN, Pose(1));
  best.Offer(std::numeric_limits<double>::infinity(), Pose(2));
  EXPECT_EQ(best.pose(), Pose(2));
}

struct Search {
  TwoSetScene scene;
  ViewSet a;
  ViewSet b;
};

Search ReadSearch(unsigned seed) {
  std::mt19937 rng(seed);
  TwoSetScene scene = MakeTwoSetScene(&rng, 3, 3);
  ViewSet a(scene.viewVecA.get());
  ViewSet b(scene.viewVecB.get());
  return Search{std::move(scene), std::move(a), std::move(b)};
}

TEST(MultiStartSearch, NoStartsGiveZeroAndTheZeroPose) {
  const Search s = ReadSearch(1);
  RelativePoseModel model(s.a, s.b);
  LeastSquaresSolver solver(model);
  const BestStart best = MultiStartSearch(model, solver, nullptr, 0);
  EXPECT_EQ(best.rms(), 0);
  EXPECT_EQ(best.pose(), std::vector<double>(7, 0.0));
}

TEST(MultiStartSearch, ReturnsTheBestOptimisedStart) {
  const Search s = ReadSearch(2);
  RelativePoseModel model(s.a, s.b);
  LeastSquaresSolver solver(model);
  solver.maxIterations = 50;
  solver.relTolerance = 1e-12;
  std::mt19937 rng(3);
  // A poor start (far off) between two good ones.
  const std::vector<double> good =
      PerturbedPose(&rng, s.scene.truePose, 2, 0.02);
  const std::vector<double> poor =
      PerturbedPose(&rng, s.scene.truePose, 60, 0.8);
  std::vector<double> starts = poor;
  starts.insert(starts.end(), good.begin(), good.end());
  starts.insert(starts.end(), poor.begin(), poor.end());

  std::vector<double> from_good;
  solver.Optimize(good, &from_good);
  const BestStart best = MultiStartSearch(model, solver, starts.data(), 3);
  EXPECT_EQ(best.pose(), from_good);
  EXPECT_EQ(best.rms(), model.Rms(from_good));
  EXPECT_LT(best.rms(), 1e-6);
}

TEST(MultiStartSearch, EveryStartRunsFromItsOwnColumn) {
  // The solver keeps nothing from one start to the next: a repeated start
  // gives exactly the result of a single one.
  const Search s = ReadSearch(4);
  RelativePoseModel model(s.a, s.b);
  LeastSquaresSolver solver(model);
  solver.maxIterations = 1;
  std::vector<double> start = s.scene.truePose;
  std::vector<double> starts = start;
  starts.insert(starts.end(), start.begin(), start.end());
  const BestStart twice = MultiStartSearch(model, solver, starts.data(), 2);
  std::vector<double> once;
  solver.Optimize(start, &once);
  EXPECT_EQ(twice.pose(), once);
  EXPECT_EQ(twice.rms(), model.Rms(once));
}

TEST(MultiStartSearch, ANaNStartNeverWins) {
  const Search s = ReadSearch(5);
  RelativePoseModel model(s.a, s.b);
  LeastSquaresSolver solver(model);
  solver.maxIterations = 20;
  std::vector<double> nan_start = s.scene.truePose;
  nan_start[4] = kNaN;
  std::mt19937 rng(6);
  const std::vector<double> good =
      PerturbedPose(&rng, s.scene.truePose, 2, 0.02);
  std::vector<double> from_good;
  solver.Optimize(good, &from_good);
  for (bool nan_first : {true, false}) {
    std::vector<double> starts = nan_first ? nan_start : good;
    const std::vector<double>& second = nan_first ? good : nan_start;
    starts.insert(starts.end(), second.begin(), second.end());
    const BestStart best = MultiStartSearch(model, solver, starts.data(), 2);
    EXPECT_EQ(best.pose(), from_good) << nan_first;
    EXPECT_FALSE(std::isnan(best.rms()));
  }
  const BestStart only_nan =
      MultiStartSearch(model, solver, nan_start.data(), 1);
  EXPECT_TRUE(std::isnan(only_nan.rms()));
}

}  // namespace
}  // namespace silhouette
