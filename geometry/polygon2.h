// A polygon: a growable array of vertices, the closing edge implied.
#pragma once

#include <cstddef>
#include <vector>

#include "geometry/vec2.h"

namespace silhouette {

using Polygon2 = std::vector<Vec2>;

// The polygon of a 2 x n column-major matrix: vertex i is
// (data[2i], data[2i+1]). `data` must hold 2 * n doubles.
Polygon2 PolygonFromColumns(const double* data, std::size_t n);

}  // namespace silhouette
