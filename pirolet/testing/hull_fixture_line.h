// One fixture record: what PlanarHull and MeanCaliperDiameter give on a
// point set, as a line of text with every double as a hex float.
#pragma once

#include <string>

#include "geometry/testing/hull_point_sets.h"

namespace silhouette {
namespace testing {

// "name ok dimension diam=<hex> line=<hex>,<hex>,<hex>,<hex> idx=i,i,...":
// ok is 1 when Compute succeeded, diam is MeanCaliperDiameter over the
// index list, line holds lineOrigin and lineDirection.
std::string HullFixtureLine(const HullPointSet& set);

}  // namespace testing
}  // namespace silhouette
