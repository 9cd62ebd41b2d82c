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

// Keeps the distances s of `stretch` with c0 + s c1 >= 0. A bound -c0 / c1
// that is not a number, a c1 that is not a number, and c1 = 0 with c0 < 0
// (or c0 not a number) leave nothing. Bounds that meet leave a stretch of
// length 0.
void NarrowRayStretch(double c0, double c1, RayStretch* stretch);

// The same for c0 + s c1 > 0, the condition of lying strictly in front of
// a camera: with c1 = 0 it asks c0 > 0. For c1 != 0 the bound itself is
// kept, like the others; it is a point at depth 0, which no face condition
// of a silhouette cone admits except the apex.
void NarrowRayStretchStrictly(double c0, double c1, RayStretch* stretch);

}  // namespace silhouette
