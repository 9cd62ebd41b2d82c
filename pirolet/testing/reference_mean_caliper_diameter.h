// The mean caliper diameter as it was computed before its edge directions
// and turns were made once per edge: kept literally, as the reference the
// current one must match bit for bit.
#pragma once

#include <cstdint>

#include "geometry/polygon2.h"

namespace silhouette {

double ReferenceMeanCaliperDiameter(const Polygon2& polygon, const int32_t* hull,
                                    int32_t n);

}  // namespace silhouette
