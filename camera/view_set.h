// The views of one silhouette set, prepared from C++ data or read from a
// host struct array.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "camera/view.h"
#include "host/mex_api.h"

namespace silhouette {

// Prepares every view from its camera and boundary: the convex hull of the
// boundary with tolerance 0.001, its bounding box and the boundary in
// normalized camera coordinates; then estimates the set's reference point,
// scales each normalized boundary by its depth and indexes each hull by
// direction (see PrepareReferencePoint). Throws ErrorText on the first
// problem; nothing of a failed set survives.
class ViewSet {
 public:
  // Takes views whose `camera` and `boundary` are set; everything else in
  // them is recomputed. Each boundary needs at least one point and finite
  // coordinates; messages name views by one-based number ("boundary of
  // view 2 has a coordinate that is not finite.").
  explicit ViewSet(std::vector<View> views);

  // Reads every element of `viewVec` (fields `camera`, element 0 of the
  // struct, and `boundary`, a real double 2 x N matrix with N >= 1) into a
  // view, in element order, each view's boundary and hull before its
  // camera. Built with a host only (view_set_read.cc), not in the host-free
  // C++ libraries.
  explicit ViewSet(const mxArray* viewVec);

  int32_t NumViews() const { return static_cast<int32_t>(views.size()); }
  // View i; i is not checked.
  const View& GetView(int32_t i) const { return views[i]; }

  std::vector<View> views;

 private:
  // "view i + 1", as the messages name views.
  static std::string ViewLabel(int32_t i);

  void ReadView(const mxArray* viewVec, int32_t i);
  // Checks the boundary of view i and computes its hull and box.
  void PrepareHull(int32_t i);
  // Once every view has its hull and camera: the normalized boundaries,
  // then the reference point and what depends on it.
  void PrepareSet();
};

}  // namespace silhouette
