#include "kestrim/ray_stretch.h"

namespace silhouette {
namespace {

void Narrow(double c0, double c1, bool strict, RayStretch* stretch) {
  if (c1 > 0) {
    const double bound = -c0 / c1;
    if (bound > stretch->lower) {
      stretch->lower = bound;
    } else if (!(bound <= stretch->lower)) {
      stretch->empty = true;  // not a number
    }
  } else if (c1 < 0) {
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

}  // namespace

void NarrowRayStretch(double c0, double c1, RayStretch* stretch) {
  Narrow(c0, c1, false, stretch);
}

void NarrowRayStretchStrictly(double c0, double c1, RayStretch* stretch) {
  Narrow(c0, c1, true, stretch);
}

}  // namespace silhouette
