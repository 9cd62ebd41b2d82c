#include "pirolet/testing/hull_fixture_line.h"

#include <cstdio>

#include "geometry/planar_hull.h"
#include "pirolet/mean_caliper_diameter.h"

namespace silhouette {
namespace testing {
namespace {

std::string Hex(double v) {
  char text[64];
  std::snprintf(text, sizeof(text), "%a", v);
  return text;
}

}  // namespace

std::string HullFixtureLine(const HullPointSet& set) {
  const int32_t n = static_cast<int32_t>(set.points.size());
  PlanarHull hull(n, set.points.data());
  const bool ok = hull.Compute(set.tolerance);
  const int32_t count = hull.NumVertices();
  const int32_t* list = hull.VertexIndices(false);
  std::string line = set.name + (ok ? " 1 " : " 0 ") +
                     std::to_string(hull.dimension) + " diam=" +
                     Hex(MeanCaliperDiameter(set.points, list, count)) +
                     " line=" + Hex(hull.lineOrigin.x) + "," +
                     Hex(hull.lineOrigin.y) + "," +
                     Hex(hull.lineDirection.x) + "," +
                     Hex(hull.lineDirection.y) + " idx=";
  for (int32_t k = 0; k < count; ++k) {
    if (k > 0) line += ",";
    line += std::to_string(list[k]);
  }
  return line;
}

}  // namespace testing
}  // namespace silhouette
