// Dovanel's search without a host: every start pose optimised, on as many
// threads as asked for, and the best result with its residuals.
#pragma once

#include <cstddef>
#include <vector>

#include "camera/view_set.h"
#include "dovanel/solver_settings.h"

namespace silhouette {

struct DovanelSolution {
  double rms;
  std::vector<double> pose;
  std::vector<double> residuals;
};

// Runs the solver (maxIterations and relTolerance from `settings`) from
// each of the numStarts start poses (start i is the seven numbers
// starts[7 i .. 7 i + 6]) over the relative pose model of setA and setB,
// and returns the best result by BestStart's rule (the smallest RMS, the
// earliest start on equal RMS, a NaN RMS never winning over a number), its
// pose, and the model's residuals at that pose. With no starts: RMS 0, the
// pose of seven zeros and the residuals of that pose.
//
// threads: 0 = the machine's cores, limited by OMP_NUM_THREADS (read at
// each call); 1 = the calling thread alone; n > 1 = at most n threads
// (negative numbers count as 0; never more threads than starts, nor than
// kMaxThreads of thread_count.h). Each
// thread has its own model and solver and takes the next start not yet
// taken; the calling thread takes part. The result is bit for bit the
// same for any number of threads.
//
// Throws, on the calling thread and after every other thread has joined,
// what the plain sequential search throws, in its order: ErrorText
// "viewVecA has no views: each set needs at least one." (and viewVecB),
// "tol in [mfe;tol] must not be negative or NaN", the model's and the
// solver's messages; std::bad_alloc when memory runs out. An error in a
// start is that of the lowest-numbered failing start, which is where the
// sequential search would have stopped.
//
// GSL's error handler is switched off by one GslErrorScope held on the
// calling thread for the whole call (the worker threads' solvers only
// count themselves in it, never touching the handler), and restored when
// the call ends.
DovanelSolution SolveDovanel(const ViewSet& setA, const ViewSet& setB,
                             const double* starts, std::size_t numStarts,
                             const SolverSettings& settings, int threads);

}  // namespace silhouette
