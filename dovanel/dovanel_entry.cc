#include "dovanel/dovanel_entry.h"

#include <cstddef>
#include <exception>
#include <new>
#include <vector>

#include "camera/view_set.h"
#include "dovanel/dovanel_solve.h"
#include "dovanel/solver_settings.h"
#include "geometry/error_text.h"
#include "host/array_checks.h"
#include "host/print_failure.h"

namespace silhouette {
namespace {

constexpr std::size_t kPoseSize = 7;

DovanelSolution Run(const mxArray* viewVecA, const mxArray* viewVecB,
                    const mxArray* vecArray, const mxArray* settingsArray) {
  const std::size_t n = mxGetN(vecArray);
  const ViewSet set_a(viewVecA);
  const ViewSet set_b(viewVecB);
  const double* values = mxGetPr(settingsArray);
  // SolveDovanel checks tol, after the sets, as its messages come in.
  const SolverSettings settings{TruncateToInt(values[0]), values[1]};
  // Every core, limited by OMP_NUM_THREADS; no worker touches the host.
  return SolveDovanel(set_a, set_b, mxGetPr(vecArray), n, settings, 0);
}

// Owns a host array until it is handed to the host.
class OutputArray {
 public:
  OutputArray(std::size_t m, std::size_t n)
      : array_(mxCreateDoubleMatrix(m, n, mxREAL)) {
    if (array_ == nullptr) throw std::bad_alloc();
  }
  ~OutputArray() {
    if (array_ != nullptr) mxDestroyArray(array_);
  }
  OutputArray(const OutputArray&) = delete;
  OutputArray& operator=(const OutputArray&) = delete;

  double* data() const { return mxGetPr(array_); }
  mxArray* Release() {
    mxArray* array = array_;
    array_ = nullptr;
    return array;
  }

 private:
  mxArray* array_;
};

// Creates the outputs for the slots the host provides; nothing is stored in
// plhs unless every one of them was created.
void StoreOutputs(int nlhs, mxArray* plhs[], const DovanelSolution& result) {
  const int slots = host::NumOutputSlots(nlhs);
  OutputArray rms(1, 1);
  rms.data()[0] = result.rms;
  if (slots < 2) {
    plhs[0] = rms.Release();
    return;
  }
  OutputArray pose(kPoseSize, 1);
  for (std::size_t i = 0; i < kPoseSize; ++i) pose.data()[i] = result.pose[i];
  if (slots < 3) {
    plhs[0] = rms.Release();
    plhs[1] = pose.Release();
    return;
  }
  OutputArray residuals(1, result.residuals.size());
  for (std::size_t i = 0; i < result.residuals.size(); ++i) {
    residuals.data()[i] = result.residuals[i];
  }
  plhs[0] = rms.Release();
  plhs[1] = pose.Release();
  plhs[2] = residuals.Release();
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

  // From here on nothing raises a host error: MATLAB would end the call
  // without unwinding what is alive. Failures are kept and printed once
  // everything built has been released.
  host::RunPrintingFailures("%s\n", [&] {
    const DovanelSolution result = Run(prhs[0], prhs[1], vecArray, settingsArray);
    StoreOutputs(nlhs, plhs, result);
  });
}

}  // namespace silhouette
