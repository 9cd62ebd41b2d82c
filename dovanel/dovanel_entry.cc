#include "dovanel/dovanel_entry.h"

#include <cstddef>
#include <limits>
#include <vector>

#include "camera/view_set.h"
#include "dovanel/dovanel_solve.h"
#include "dovanel/dovanel_working_memory.h"
#include "dovanel/solver_settings.h"
#include "dovanel/thread_count.h"
#include "geometry/error_text.h"
#include "host/array_checks.h"
#include "host/output_buffer.h"
#include "host/physical_memory.h"
#include "host/print_failure.h"

namespace silhouette {
namespace {

constexpr std::size_t kPoseSize = 7;

// The number of views a set will have once read (0 for what is no set).
std::size_t ViewCount(const mxArray* viewVec) {
  return host::IsStructArray(viewVec) ? mxGetNumberOfElements(viewVec) : 0;
}

// Throws std::bad_alloc (Dovanel's "out of memory") when the call's working
// memory on the threads SolveDovanel will use exceeds the machine's
// physical memory; hullVertices 0 before the sets are read.
void RequireWorkingMemory(const mxArray* viewVecA, const mxArray* viewVecB,
                          std::size_t hullVertices, std::size_t starts) {
  const int threads =
      ThreadCountHere(0, static_cast<long long>(starts));
  host::RequireMemory(DovanelWorkingBytes(ViewCount(viewVecA),
                                          ViewCount(viewVecB), hullVertices,
                                          starts, threads),
                      host::PhysicalMemoryBytes());
}

std::size_t HullVertices(const ViewSet& set) {
  std::size_t total = 0;
  for (const View& view : set.views) total += view.hull.size();
  return total;
}

DovanelSolution Run(const mxArray* viewVecA, const mxArray* viewVecB,
                    const mxArray* vecArray, const mxArray* settingsArray) {
  const std::size_t n = mxGetN(vecArray);
  const ViewSet set_a(viewVecA);
  const ViewSet set_b(viewVecB);
  // Once the hulls are known, the searches' tables count too.
  RequireWorkingMemory(viewVecA, viewVecB,
                       HullVertices(set_a) + HullVertices(set_b), n);
  const double* values = mxGetPr(settingsArray);
  // SolveDovanel checks tol, after the sets, as its messages come in.
  const SolverSettings settings{TruncateToInt(values[0]), values[1]};
  // Every core, limited by OMP_NUM_THREADS; no worker touches the host.
  return SolveDovanel(set_a, set_b, mxGetPr(vecArray), n, settings, 0);
}

// The number of residuals of the two sets, read from the host arrays
// alone: eight for each pair of views (see RelativePoseModel). 0 where the
// sets cannot be read or the count does not fit an int; the model then
// fails before it has residuals.
std::size_t ResidualCount(const mxArray* viewVecA, const mxArray* viewVecB) {
  if (!host::IsStructArray(viewVecA) || !host::IsStructArray(viewVecB)) {
    return 0;
  }
  const std::size_t a = mxGetNumberOfElements(viewVecA);
  const std::size_t b = mxGetNumberOfElements(viewVecB);
  const std::size_t limit = std::numeric_limits<int>::max();
  if (a == 0 || b == 0 || a > limit / 8 || b > limit / 8 / a) return 0;
  return 8 * a * b;
}

}  // namespace

void DovanelMain(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  if (nrhs != 4) {
    mexErrMsgTxt(
        "Need 4 input args: Dovanel( viewVecA,  viewVecB, vecArray, "
        "[mfe;tol] )");
    return;
  }
  const mxArray* vecArray = prhs[2];
  const mxArray* settingsArray = prhs[3];
  if (mxGetM(vecArray) != kPoseSize) {
    mexErrMsgTxt(
        "Need 3rd arg must be 7xn matrix of n quattran starting points )");
    return;
  }
  if (!host::IsRealDoubleArray(vecArray)) {
    mexErrMsgTxt("Need 3rd arg vecArray as a real, full double 7xn matrix");
    return;
  }
  if (!host::IsRealDoubleArray(settingsArray) ||
      mxGetNumberOfElements(settingsArray) < 2) {
    mexErrMsgTxt(
        "Need 4th arg [mfe;tol] as a real, full double array of at least 2 "
        "numbers");
    return;
  }

  // A host error, running out of memory in the host included, ends the
  // call in MATLAB without unwinding what is alive. So the host is called
  // only while nothing of ours owns memory: the room for the residuals
  // comes from the host first, the computation fills it (and the RMS and
  // pose, on the stack) and releases all it holds, and then the outputs are
  // made (see host::OutputBuffer). Failures of the computation are kept and
  // printed once everything built has been released. Outputs are made for
  // the slots the host provides, and stored only once all of them exist.
  const int slots = host::NumOutputSlots(nlhs);
  // A call whose working memory cannot fit fails before anything is read
  // or allocated, the room for the residuals included.
  if (!host::RunPrintingFailures("%s\n", [&] {
        RequireWorkingMemory(prhs[0], prhs[1], 0, mxGetN(vecArray));
      })) {
    return;
  }
  host::OutputBuffer residuals_out(
      slots >= 3 ? ResidualCount(prhs[0], prhs[1]) : 0);
  double rms = 0;
  double pose[kPoseSize] = {};
  std::size_t num_residuals = 0;
  if (!host::RunPrintingFailures("%s\n", [&] {
        const DovanelSolution result =
            Run(prhs[0], prhs[1], vecArray, settingsArray);
        rms = result.rms;
        for (std::size_t i = 0; i < kPoseSize; ++i) pose[i] = result.pose[i];
        if (slots >= 3) {
          num_residuals = result.residuals.size();
          if (num_residuals > residuals_out.capacity()) {
            throw ErrorText("more residuals than eight per pair of views");
          }
          for (std::size_t i = 0; i < num_residuals; ++i) {
            residuals_out.data()[i] = result.residuals[i];
          }
        }
      })) {
    return;
  }
  mxArray* outputs[3] = {mxCreateDoubleScalar(rms), nullptr, nullptr};
  if (slots >= 2) {
    host::OutputBuffer pose_out(kPoseSize);
    for (std::size_t i = 0; i < kPoseSize; ++i) pose_out.data()[i] = pose[i];
    outputs[1] = pose_out.Release(kPoseSize, 1);
  }
  if (slots >= 3) outputs[2] = residuals_out.Release(1, num_residuals);
  for (int slot = 0; slot < slots && slot < 3; ++slot) {
    plhs[slot] = outputs[slot];
  }
}

}  // namespace silhouette
