#include "kestrim/kestrim_entry.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "camera/view_set.h"
#include "host/array_checks.h"
#include "host/print_failure.h"
#include "kestrim/viewing_edge_extractor.h"

namespace silhouette {
namespace {

const char kUsage[] = "Need 1 input arg(s):  Thrandle( silset )";
constexpr int kNumOutputs = 3;

// Output matrices made but not yet handed to the host; whatever is still
// held when the call fails is destroyed.
class PendingOutputs {
 public:
  PendingOutputs() = default;
  PendingOutputs(const PendingOutputs&) = delete;
  PendingOutputs& operator=(const PendingOutputs&) = delete;
  ~PendingOutputs() {
    for (mxArray* array : arrays_) {
      if (array != nullptr) mxDestroyArray(array);
    }
  }

  double* Create(int slot, std::size_t rows, std::size_t cols) {
    arrays_[slot] = mxCreateDoubleMatrix(rows, cols, mxREAL);
    return mxGetPr(arrays_[slot]);
  }

  mxArray* Release(int slot) {
    mxArray* array = arrays_[slot];
    arrays_[slot] = nullptr;
    return array;
  }

 private:
  mxArray* arrays_[kNumOutputs] = {nullptr, nullptr, nullptr};
};

void WriteColumn(const Vec3& p, double* column) {
  column[0] = p.x;
  column[1] = p.y;
  column[2] = p.z;
}

void ComputeAndReturn(int nlhs, mxArray* plhs[], const mxArray* viewVec) {
  std::vector<ViewingEdge> edges;
  {
    const ViewSet view_set(viewVec);
    ViewingEdgeExtractor extractor;
    extractor.ComputeViewingEdges(view_set);
    edges.swap(extractor.edges);
  }

  // The host gives max(nlhs, 1) slots; nothing is written past them.
  const int slots = std::min(host::NumOutputSlots(nlhs), kNumOutputs);
  const std::size_t count = edges.size();
  PendingOutputs outputs;
  double* near_out = outputs.Create(0, 3, count);
  double* far_out = slots >= 2 ? outputs.Create(1, 3, count) : nullptr;
  double* view_out = slots >= 3 ? outputs.Create(2, 1, count) : nullptr;
  for (std::size_t i = 0; i < count; ++i) {
    WriteColumn(edges[i].near, near_out + 3 * i);
    if (far_out != nullptr) WriteColumn(edges[i].far, far_out + 3 * i);
    if (view_out != nullptr) view_out[i] = edges[i].view + 1.0;
  }
  for (int slot = 0; slot < slots; ++slot) plhs[slot] = outputs.Release(slot);
}

}  // namespace

void KestrimMain(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  if (nrhs != 1) {
    mexErrMsgTxt(kUsage);
    return;
  }
  // From here on nothing raises a host error: in MATLAB it would end the
  // call without running destructors. Every failure is printed instead, and
  // no exception leaves the module.
  host::RunPrintingFailures("error: %s\n",
                            [&] { ComputeAndReturn(nlhs, plhs, prhs[0]); });
}

}  // namespace silhouette
