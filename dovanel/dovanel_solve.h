// Dovanel's computation without a host: the best of a number of local
// optimisations of the relative pose of two prepared view sets.
#pragma once

#include <cstddef>
#include <vector>

#include "camera/view_set.h"
#include "dovanel/solver_settings.h"

namespace silhouette {

struct DovanelSolution {
  // The smallest RMS reached (pixels); 0 without starts.
  double rms;
  // The seven numbers of the pose that reached it (seven zeros without
  // starts).
  std::vector<double> pose;
  // The 8 |A| |B| residuals at that pose.
  std::vector<double> residuals;
};

// Optimises from each of the numStarts start poses (start i is the seven
// numbers starts[7 i .. 7 i + 6]) and returns the best by MultiStartSearch's
// rule. threads: 0 = the machine's cores, limited by OMP_NUM_THREADS; 1 = the
// calling thread alone; n > 1 = at most n threads. The results do not depend
// on it. Throws ErrorText "viewVecA has no views: each set needs at least
// one." (or viewVecB) for an empty set, the model's and the solver's
// ErrorTexts, and std::bad_alloc.
DovanelSolution SolveDovanel(const ViewSet& setA, const ViewSet& setB,
                             const double* starts, std::size_t numStarts,
                             const SolverSettings& settings, int threads);

}  // namespace silhouette
