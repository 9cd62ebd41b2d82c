#include "geometry/polygon2.h"

namespace silhouette {

Polygon2 PolygonFromColumns(const double* data, std::size_t n) {
  Polygon2 polygon;
  polygon.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    polygon.emplace_back(data[2 * i], data[2 * i + 1]);
  }
  return polygon;
}

}  // namespace silhouette
