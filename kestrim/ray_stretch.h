// A stretch of a viewing ray, as the distances s >= 0 from the camera
// centre that satisfy a set of signed linear conditions c0 + s c1 >= 0.
#pragma once

#include <limits>

namespace silhouette {

struct RayStretch {
  // Whether no distance is left. Once set, it stays set.
  bool empty = false;
  // The whole forward ray to begin with.
  double lower = 0;
  double upper = std::numeric_limits<double>::infinity();

  bool IsEmpty() const { return empty || !(lower <= upper); }
};

namespace ray_stretch_detail {

// Inline: the viewing-edge computation calls it a few times per query.
inline void Narrow(double c0, double c1, bool strict, RayStretch* stretch) {
  if (c1 > 0) {
    const double bound = -c0 / c1;
    if (bound > stretch->lower) {
      stretch->lower = bound;
    } else if (!(bound <= stretch->lower)) {
      stretch->empty = true;  // not a number
    }
  } else if (c1 < 0) {
    // Failing at s = 0 and worsening along the ray, the condition holds
    // nowhere on it, even where its (negative) bound underflows to -0,
    // which would compare equal to a lower end at 0.
    if (c0 < 0) stretch->empty = true;
    const double bound = -c0 / c1;
    if (bound < stretch->upper) {
      stretch->upper = bound;
    } else if (!(bound >= stretch->upper)) {
      stretch->empty = true;
    }
  } else if (c1 == 0) {
    // The condition holds along the whole ray or nowhere on it.
    if (strict ? !(c0 > 0) : !(c0 >= 0)) stretch->empty = true;
  } else {
    stretch->empty = true;
  }
  if (!(stretch->lower <= stretch->upper)) stretch->empty = true;
}

}  // namespace ray_stretch_detail

// Keeps the distances s of `stretch` with c0 + s c1 >= 0. A bound -c0 / c1
// that is not a number, a c1 that is not a number, c1 = 0 with c0 < 0
// (or c0 not a number), and c1 < 0 with c0 < 0 leave nothing. Bounds that meet leave a stretch of
// length 0.
inline void NarrowRayStretch(double c0, double c1, RayStretch* stretch) {
  ray_stretch_detail::Narrow(c0, c1, false, stretch);
}

// The same for c0 + s c1 > 0, the condition of lying strictly in front of
// a camera: with c1 = 0 it asks c0 > 0. For c1 != 0 the bound itself is
// kept, like the others; it is a point at depth 0, which no face condition
// of a silhouette cone admits except the apex.
inline void NarrowRayStretchStrictly(double c0, double c1,
                                     RayStretch* stretch) {
  ray_stretch_detail::Narrow(c0, c1, true, stretch);
}

}  // namespace silhouette
