#include "geometry/planar_hull.h"

#include <cmath>
#include <vector>

#include "geometry/grid_hull_insertion.h"
#include "geometry/grid_placement.h"

namespace silhouette {
namespace {

constexpr double kGridSize = 1048576.0;  // 2^20

}  // namespace

PlanarHull::PlanarHull(int32_t count, const Vec2* points)
    : lineOrigin(Vec2::kZero),
      lineDirection(Vec2::kZero),
      dimension(0),
      count_(count),
      points_(points) {}

PlanarHull::~PlanarHull() { FreeVertices(); }

void PlanarHull::FreeVertices() {
  delete[] vertices_;
  vertices_ = nullptr;
  numVertices_ = 0;
}

int32_t* PlanarHull::VertexIndices(bool release) {
  int32_t* list = vertices_;
  if (release) {
    vertices_ = nullptr;
    numVertices_ = 0;
  }
  return list;
}

bool PlanarHull::Compute(double tolerance) {
  if (!(tolerance >= 0)) tolerance = 0;
  FreeVertices();
  lineOrigin = Vec2::kZero;
  lineDirection = Vec2::kZero;
  dimension = 0;
  if (count_ <= 0 || points_ == nullptr) return false;
  const Vec2* const points = points_;
  const int32_t count = count_;

  // One pass: the extremes per axis, ties keeping the earlier index.
  // Points that are not finite are refused; an infinite coordinate shows in
  // the range, a NaN where the grid coordinates are made (or by a check of
  // its own where the points form a single point).
  Vec2 min_corner = points[0];
  Vec2 max_corner = points[0];
  int32_t min_index[2] = {0, 0};
  int32_t max_index[2] = {0, 0};
  for (int32_t k = 1; k < count; ++k) {
    const double x = points[k].x, y = points[k].y;
    if (!(x >= min_corner.x)) {
      min_corner.x = x;
      min_index[0] = k;
    } else if (x > max_corner.x) {
      max_corner.x = x;
      max_index[0] = k;
    }
    if (!(y >= min_corner.y)) {
      min_corner.y = y;
      min_index[1] = k;
    } else if (y > max_corner.y) {
      max_corner.y = y;
      max_index[1] = k;
    }
  }
  const Vec2 range = max_corner - min_corner;
  if (!std::isfinite(range.x) || !std::isfinite(range.y)) return false;
  const int axis = range.y > range.x ? 1 : 0;
  const double extent = axis == 1 ? range.y : range.x;
  const int32_t i0 = min_index[axis];
  const int32_t i1 = max_index[axis];
  const Vec2 origin = points[i0];

  if (!(extent >= tolerance) || extent == 0) {
    for (int32_t k = 0; k < count; ++k) {
      if (!std::isfinite(points[k].x) || !std::isfinite(points[k].y)) {
        return false;
      }
    }
    dimension = 0;
    vertices_ = new int32_t[1]{0};
    numVertices_ = 1;
    return true;
  }

  // One pass: the point farthest from the line through the axis extremes,
  // and every point's place on the grid (where a NaN shows). Lengths are
  // measured in units of `unit`: 1, unless the squares of the line's
  // length overflow (an extent above about 1e154); then 2^-513, which
  // scales every difference exactly and keeps the squares and the
  // distances finite.
  const double unit =
      std::isinf((points[i1] - origin).Length()) ? 0x1p-513 : 1.0;
  Vec2 direction = (points[i1] - origin) * unit;
  direction.Normalize();
  const Vec2 normal = -(direction.RotatedCw());
  if (!grid_) grid_.reset(new GridPoint[static_cast<std::size_t>(count)]);
  GridPoint* const grid = grid_.get();
  const GridFrame frame{min_corner, kGridSize / extent, origin, normal, unit};
  FarthestPoint farthest{0, i0, 0};
  if (!PlaceOnGrid(points, count, frame, grid, &farthest)) return false;
  const double max_distance = farthest.distance;
  const int32_t i_far = farthest.index;
  if (max_distance < extent * unit * tolerance || max_distance == 0) {
    dimension = 1;
    vertices_ = new int32_t[2]{i0, i1};
    numVertices_ = 2;
    lineOrigin = origin;
    lineDirection = direction;
    return true;
  }

  dimension = 2;
  std::vector<int32_t> list;
  if (!InsertGridPoints(grid, count, i0, i1, i_far, farthest.sign > 0, &list)) {
    // A set whose farthest point lies within a grid unit of the line
    // through the extremes (possible with a tolerance of 0 or near it: its
    // distances may be nothing but roundings) is flat at the resolution
    // the ring is built at, and a start that flat can leave the ring
    // broken or without area: such a set is the segment between the
    // extremes.
    if (!(max_distance <= extent * unit / kGridSize)) return false;
    dimension = 1;
    vertices_ = new int32_t[2]{i0, i1};
    numVertices_ = 2;
    lineOrigin = origin;
    lineDirection = direction;
    return true;
  }
  vertices_ = new int32_t[list.size()];
  for (std::size_t k = 0; k < list.size(); ++k) vertices_[k] = list[k];
  numVertices_ = static_cast<int32_t>(list.size());
  return true;
}

}  // namespace silhouette
