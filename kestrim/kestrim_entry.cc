#include "kestrim/kestrim_entry.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "camera/view_set.h"
#include "geometry/error_text.h"
#include "host/array_checks.h"
#include "host/output_buffer.h"
#include "host/physical_memory.h"
#include "host/print_failure.h"
#include "kestrim/kestrim_working_memory.h"
#include "kestrim/viewing_edge_extractor.h"

namespace silhouette {
namespace {

const char kUsage[] = "Need 1 input arg(s):  Thrandle( silset )";
constexpr int kNumOutputs = 3;

void WriteColumn(const Vec3& p, double* column) {
  column[0] = p.x;
  column[1] = p.y;
  column[2] = p.z;
}

// At least as many viewing edges as `viewVec` can give, read from the host
// arrays alone: an edge per hull vertex at most, and a hull has no more
// vertices than its boundary has points. Anything that cannot be read
// counts for nothing (reading the set then fails).
std::size_t MaxEdgeCount(const mxArray* viewVec) {
  if (!host::IsStructArray(viewVec) ||
      mxGetFieldNumber(viewVec, "boundary") < 0) {
    return 0;
  }
  std::size_t total = 0;
  const std::size_t n = mxGetNumberOfElements(viewVec);
  for (std::size_t i = 0; i < n; ++i) {
    const mxArray* b = mxGetField(viewVec, i, "boundary");
    if (host::IsRealDoubleMatrix(b) && mxGetM(b) == 2) total += mxGetN(b);
  }
  return total;
}

// Computes the edges of `viewVec` into the rooms given (near and far ends
// 3 x count, view numbers 1 x count; a null room is not filled) and
// returns count. Everything it allocates is released when it returns.
std::size_t ComputeEdges(const mxArray* viewVec, std::size_t room,
                         double* near_out, double* far_out,
                         double* view_out) {
  // Tables that cannot fit fail the call before they are allocated: first
  // the least any set of that many views needs, before the set is read,
  // then the estimate from its boundaries and hulls.
  const double memory = host::PhysicalMemoryBytes();
  if (host::IsStructArray(viewVec)) {
    const std::size_t v = mxGetNumberOfElements(viewVec);
    host::RequireMemory(KestrimWorkingBytes(v, v, v), memory);
  }
  const ViewSet view_set(viewVec);
  std::size_t points = 0;
  std::size_t hull_vertices = 0;
  for (const View& view : view_set.views) {
    points += view.boundary.size();
    hull_vertices += view.hull.size();
  }
  host::RequireMemory(
      KestrimWorkingBytes(view_set.views.size(), points, hull_vertices),
      memory);
  ViewingEdgeExtractor extractor;
  extractor.ComputeViewingEdges(view_set);
  const std::vector<ViewingEdge>& edges = extractor.edges;
  if (edges.size() > room) {
    throw ErrorText("more viewing edges than boundary points");
  }
  for (std::size_t i = 0; i < edges.size(); ++i) {
    WriteColumn(edges[i].near, near_out + 3 * i);
    if (far_out != nullptr) WriteColumn(edges[i].far, far_out + 3 * i);
    if (view_out != nullptr) view_out[i] = edges[i].view + 1.0;
  }
  return edges.size();
}

}  // namespace

void KestrimMain(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  if (nrhs != 1) {
    mexErrMsgTxt(kUsage);
    return;
  }
  // A host error, running out of memory in the host included, ends the
  // call in MATLAB without running destructors. So the host is called only
  // while nothing of ours owns memory: the room for the outputs comes from
  // the host first, the computation fills it and releases all it holds,
  // and then the outputs are made (see host::OutputBuffer). Every failure
  // of the computation is printed, and no exception leaves the module. The
  // host gives max(nlhs, 1) slots; nothing is written past them.
  const int slots = std::min(host::NumOutputSlots(nlhs), kNumOutputs);
  const std::size_t room = MaxEdgeCount(prhs[0]);
  host::OutputBuffer near_out(3 * room);
  host::OutputBuffer far_out(slots >= 2 ? 3 * room : 0);
  host::OutputBuffer view_out(slots >= 3 ? room : 0);
  std::size_t count = 0;
  if (!host::RunPrintingFailures("error: %s\n", [&] {
        count = ComputeEdges(prhs[0], room, near_out.data(), far_out.data(),
                             view_out.data());
      })) {
    return;
  }
  mxArray* outputs[kNumOutputs] = {near_out.Release(3, count), nullptr,
                                   nullptr};
  if (slots >= 2) outputs[1] = far_out.Release(3, count);
  if (slots >= 3) outputs[2] = view_out.Release(1, count);
  for (int slot = 0; slot < slots; ++slot) plhs[slot] = outputs[slot];
}

}  // namespace silhouette
