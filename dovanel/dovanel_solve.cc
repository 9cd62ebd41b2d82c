#include "dovanel/dovanel_solve.h"

#include "dovanel/multi_start_search.h"
#include "dovanel/relative_pose_model.h"
#include "geometry/error_text.h"
#include "lsq/least_squares_solver.h"

namespace silhouette {

// This version runs every start on the calling thread, whatever `threads`
// asks for.
DovanelSolution SolveDovanel(const ViewSet& setA, const ViewSet& setB,
                             const double* starts, std::size_t numStarts,
                             const SolverSettings& settings, int /*threads*/) {
  // No residuals, no solver: GSL needs at least as many residuals as
  // parameters.
  if (setA.NumViews() == 0) {
    throw ErrorText("viewVecA has no views: each set needs at least one.");
  }
  if (setB.NumViews() == 0) {
    throw ErrorText("viewVecB has no views: each set needs at least one.");
  }
  RelativePoseModel model(setA, setB);
  LeastSquaresSolver solver(model);
  solver.maxIterations = settings.maxIterations;
  solver.relTolerance = settings.relTolerance;

  const BestStart best = MultiStartSearch(model, solver, starts, numStarts);
  DovanelSolution solution;
  solution.rms = best.rms();
  solution.pose = best.pose();
  solution.residuals.resize(static_cast<std::size_t>(model.NumResiduals()));
  model.ResidualsAt(solution.residuals.data(), solution.pose.data());
  return solution;
}

}  // namespace silhouette
