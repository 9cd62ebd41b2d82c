// The views of one silhouette set, read from a host struct array.
#pragma once

#include <cstdint>
#include <vector>

#include "camera/view.h"
#include "host/mex_api.h"

namespace silhouette {

// Reads every element of `viewVec` (fields `camera` and `boundary`) into a
// View: the boundary (a real double 2 x N matrix, N >= 1), its convex hull
// with tolerance 0.001, its bounding box, the camera (element 0 of the
// camera struct) and the boundary in normalized camera coordinates, then
// estimates the set's reference point, scales each normalized boundary by
// its depth and indexes each hull by direction (see PrepareReferencePoint).
// Throws ErrorText on the first problem; nothing of a failed set survives.
class ViewSet {
 public:
  explicit ViewSet(const mxArray* viewVec);

  int32_t NumViews() const { return static_cast<int32_t>(views.size()); }
  // View i; i is not checked.
  const View& GetView(int32_t i) const { return views[i]; }

  std::vector<View> views;

 private:
  void ReadView(const mxArray* viewVec, int32_t i);
};

}  // namespace silhouette
