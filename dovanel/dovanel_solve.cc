#include "dovanel/dovanel_solve.h"

#include <algorithm>
#include <exception>
#include <limits>
#include <memory>

#include "dovanel/multi_start_search.h"
#include "dovanel/relative_pose_model.h"
#include "dovanel/start_pool.h"
#include "dovanel/thread_count.h"
#include "geometry/error_text.h"
#include "lsq/gsl_error_scope.h"
#include "lsq/least_squares_solver.h"

namespace silhouette {
namespace {

constexpr std::size_t kPoseSize = 7;

// A model and a solver over it, with the call's settings.
struct Searcher {
  Searcher(const ViewSet& setA, const ViewSet& setB,
           const SolverSettings& settings)
      : model(setA, setB), solver(model) {
    solver.maxIterations = settings.maxIterations;
    solver.relTolerance = settings.relTolerance;
  }
  RelativePoseModel model;
  LeastSquaresSolver solver;
};

// A thread's searcher, writing each start's result into its own slot.
class SearchRunner : public StartRunner {
 public:
  SearchRunner(Searcher& searcher, const double* starts,
               std::vector<double>* rms, std::vector<double>* poses)
      : searcher_(searcher), starts_(starts), rms_(rms), poses_(poses) {}

  void Run(std::size_t i) override {
    start_.assign(starts_ + kPoseSize * i, starts_ + kPoseSize * (i + 1));
    result_.assign(kPoseSize, 0.0);
    searcher_.solver.Optimize(start_, &result_);
    (*rms_)[i] = searcher_.model.Rms(result_);
    std::copy(result_.begin(), result_.end(), poses_->begin() + kPoseSize * i);
  }

 private:
  Searcher& searcher_;
  const double* starts_;
  std::vector<double>* rms_;
  std::vector<double>* poses_;
  std::vector<double> start_;
  std::vector<double> result_;
};

// A worker's runner, owning the worker's model and solver.
class OwningRunner : public StartRunner {
 public:
  OwningRunner(const ViewSet& setA, const ViewSet& setB,
               const SolverSettings& settings, const double* starts,
               std::vector<double>* rms, std::vector<double>* poses)
      : searcher_(setA, setB, settings),
        runner_(searcher_, starts, rms, poses) {}
  void Run(std::size_t i) override { runner_.Run(i); }

 private:
  Searcher searcher_;
  SearchRunner runner_;
};

}  // namespace

DovanelSolution SolveDovanel(const ViewSet& setA, const ViewSet& setB,
                             const double* starts, std::size_t numStarts,
                             const SolverSettings& settings, int threads) {
  // No residuals, no solver: GSL needs at least as many residuals as
  // parameters.
  if (setA.NumViews() == 0) {
    throw ErrorText("viewVecA has no views: each set needs at least one.");
  }
  if (setB.NumViews() == 0) {
    throw ErrorText("viewVecB has no views: each set needs at least one.");
  }
  const SolverSettings checked =
      ReadSolverSettings(settings.maxIterations, settings.relTolerance);

  const GslErrorScope scope;
  Searcher searcher(setA, setB, checked);
  const int count = ThreadCountHere(
      threads, static_cast<long long>(std::min<std::size_t>(
                   numStarts, std::numeric_limits<int>::max())));

  std::vector<double> rms(numStarts);
  std::vector<double> poses(kPoseSize * numStarts);
  SearchRunner own(searcher, starts, &rms, &poses);
  const PoolFailure failure = RunStarts(numStarts, count, own, [&] {
    return std::make_unique<OwningRunner>(setA, setB, checked, starts, &rms,
                                          &poses);
  });
  if (failure.error) std::rethrow_exception(failure.error);
  // The same rule over the same results, in start order, as one thread.
  BestStart best;
  std::vector<double> pose(kPoseSize);
  for (std::size_t i = 0; i < numStarts; ++i) {
    pose.assign(poses.begin() + kPoseSize * i,
                poses.begin() + kPoseSize * (i + 1));
    best.Offer(rms[i], pose);
  }

  DovanelSolution solution;
  solution.rms = best.rms();
  solution.pose = best.pose();
  solution.residuals.resize(static_cast<std::size_t>(searcher.model.NumResiduals()));
  searcher.model.ResidualsAt(solution.residuals.data(), solution.pose.data());
  return solution;
}

}  // namespace silhouette
