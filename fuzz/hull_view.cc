#include "fuzz/hull_view.h"

#include <algorithm>

#include "fuzz/fuzz_scene.h"
#include "geometry/planar_hull.h"

namespace silhouette {
namespace fuzz {

bool DecodeHullView(FuzzInput* in, View* view, std::size_t max_points) {
  const uint8_t t = in->Byte();
  const double tolerance = t == 0 ? 1e-3 : (t == 1 ? 0.0 : in->Number());
  const uint8_t order = in->Byte();
  const std::vector<double> xy = DecodePlanarPoints(in, max_points);
  view->boundary = PolygonFromColumns(xy.data(), xy.size() / 2);
  view->normalizedBoundary = view->boundary;
  PlanarHull hull(static_cast<int32_t>(view->boundary.size()),
                  view->boundary.data());
  if (!hull.Compute(tolerance)) return false;
  const int32_t* ring = hull.VertexIndices(false);
  view->hull.assign(ring, ring + hull.NumVertices());
  if (order & 1) std::reverse(view->hull.begin(), view->hull.end());
  const std::size_t shift = (order >> 1) % view->hull.size();
  std::rotate(view->hull.begin(), view->hull.begin() + shift, view->hull.end());
  return true;
}

std::vector<Vec2> HullRing(const View& view) {
  std::vector<Vec2> ring;
  for (int32_t k = 0; k < view.NumHullVertices(); ++k) {
    ring.push_back(view.HullPoint(k));
  }
  return ring;
}

}  // namespace fuzz
}  // namespace silhouette
