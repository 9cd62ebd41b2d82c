#include "geometry/testing/reference_planar_hull.h"

#include <cmath>
#include <vector>

#include "geometry/grid_predicates.h"
#include "geometry/testing/hull_edge.h"
#include "geometry/testing/hull_fan.h"

namespace silhouette {
namespace {

constexpr double kGridSize = 1048576.0;  // 2^20

}  // namespace

ReferencePlanarHull::ReferencePlanarHull(int32_t count, const Vec2* points)
    : lineOrigin(Vec2::kZero),
      lineDirection(Vec2::kZero),
      dimension(0),
      count_(count),
      points_(points) {}

ReferencePlanarHull::~ReferencePlanarHull() { FreeVertices(); }

void ReferencePlanarHull::FreeVertices() {
  delete[] vertices_;
  vertices_ = nullptr;
  numVertices_ = 0;
}

int32_t* ReferencePlanarHull::VertexIndices(bool release) {
  int32_t* list = vertices_;
  if (release) {
    vertices_ = nullptr;
    numVertices_ = 0;
  }
  return list;
}

bool ReferencePlanarHull::Compute(double tolerance) {
  if (!(tolerance >= 0)) tolerance = 0;
  FreeVertices();
  lineOrigin = Vec2::kZero;
  lineDirection = Vec2::kZero;
  dimension = 0;
  if (count_ <= 0 || points_ == nullptr) return false;
  for (int32_t k = 0; k < count_; ++k) {
    if (!std::isfinite(points_[k].x) || !std::isfinite(points_[k].y)) {
      return false;
    }
  }

  // Extremes per axis; ties keep the earlier index.
  Vec2 min_corner = points_[0];
  Vec2 max_corner = points_[0];
  int32_t min_index[2] = {0, 0};
  int32_t max_index[2] = {0, 0};
  for (int32_t k = 1; k < count_; ++k) {
    const double coordinate[2] = {points_[k].x, points_[k].y};
    double* min_value[2] = {&min_corner.x, &min_corner.y};
    double* max_value[2] = {&max_corner.x, &max_corner.y};
    for (int axis = 0; axis < 2; ++axis) {
      if (!(coordinate[axis] >= *min_value[axis])) {
        *min_value[axis] = coordinate[axis];
        min_index[axis] = k;
      } else if (coordinate[axis] > *max_value[axis]) {
        *max_value[axis] = coordinate[axis];
        max_index[axis] = k;
      }
    }
  }
  const Vec2 range = max_corner - min_corner;
  if (!std::isfinite(range.x) || !std::isfinite(range.y)) return false;
  const int axis = range.y > range.x ? 1 : 0;
  const double extent = axis == 1 ? range.y : range.x;
  const int32_t i0 = min_index[axis];
  const int32_t i1 = max_index[axis];
  const Vec2 origin = points_[i0];

  if (!(extent >= tolerance) || extent == 0) {
    dimension = 0;
    vertices_ = new int32_t[1]{0};
    numVertices_ = 1;
    return true;
  }

  Vec2 direction = points_[i1] - origin;
  direction.Normalize();
  const Vec2 normal = -(direction.RotatedCw());
  double max_distance = 0;
  int32_t i_far = i0;
  double far_sign = 0;
  for (int32_t i = 0; i < count_; ++i) {
    const double distance = normal.Dot(points_[i] - origin);
    if (std::abs(distance) > max_distance) {
      max_distance = std::abs(distance);
      i_far = i;
      far_sign = Sign(distance);
    }
  }
  if (max_distance < extent * tolerance || max_distance == 0) {
    dimension = 1;
    vertices_ = new int32_t[2]{i0, i1};
    numVertices_ = 2;
    lineOrigin = origin;
    lineDirection = direction;
    return true;
  }

  dimension = 2;
  return ComputePolygon(min_corner, extent, i0, i1, i_far, far_sign > 0);
}

bool ReferencePlanarHull::ComputePolygon(const Vec2& min_corner, double extent,
                                int32_t i0, int32_t i1, int32_t i_far,
                                bool ccw) {
  if (!gridPoints_) gridPoints_.reset(new Vec2[count_]);
  const double scale = kGridSize / extent;
  for (int32_t i = 0; i < count_; ++i) {
    gridPoints_[i] = Vec2((points_[i].x - min_corner.x) * scale,
                          (points_[i].y - min_corner.y) * scale);
  }
  GridPredicates* grid = new GridPredicates(count_, gridPoints_.get());
  predicates_.reset(grid);
  const PlanarPredicates& predicates = *predicates_;

  HullEdgePool pool;
  HullEdge* first = ccw ? pool.Create(i0, i1) : pool.Create(i0, i_far);
  HullEdge* second = ccw ? pool.Create(i1, i_far) : pool.Create(i_far, i1);
  HullEdge* third = ccw ? pool.Create(i_far, i0) : pool.Create(i1, i0);
  HullEdgePool::Link(first, second);
  HullEdgePool::Link(second, third);
  HullEdgePool::Link(third, first);
  HullEdge* head = first;

  // A missing link means the ring is broken; the pool frees every edge.
  auto fail = [this]() {
    predicates_.reset();
    return false;
  };

  // When the start triangle has area on the grid, its centroid lies
  // strictly inside every later hull, and a fan of the ring's vertices
  // around it names the one edge a point can see, if any. The ring that
  // results from an insertion does not depend on which visible edge is
  // found first, so this gives the same hull as walking the ring from head,
  // without visiting every edge for points inside.
  std::unique_ptr<HullFan> fan;
  if (predicates.SideOfLineByIndex(i_far, i0, i1) != 0) {
    fan.reset(new HullFan(grid->grid(), count_, i0, i1, i_far));
    fan->Insert(first->from, first, -1);
    fan->Insert(second->from, second, first->from);
    fan->Insert(third->from, third, second->from);
  }
  std::vector<int32_t> removed;

  for (int32_t i = 0; i < count_; ++i) {
    HullEdge* visible = head;
    if (fan) {
      // Points in boundary order see the edge made by the last insertion
      // or the one after it; other points ask the fan.
      if (head->Side(i, predicates) <= 0) {
        visible = head->next;
        if (visible == nullptr) return fail();
        if (visible->Side(i, predicates) <= 0) {
          visible = fan->EdgeToward(i);
          if (visible->Side(i, predicates) <= 0) continue;
        }
      }
    } else {
      bool inside = false;
      while (visible->Side(i, predicates) <= 0) {
        visible = visible->next;
        if (visible == nullptr) return fail();
        if (visible == head) {
          inside = true;
          break;
        }
      }
      if (inside) continue;
    }

    HullEdge* before = visible->prev;
    HullEdge* after = visible->next;
    if (before == nullptr || after == nullptr) return fail();
    removed.assign(1, visible->from);
    HullEdgePool::Remove(visible);
    while (before->Side(i, predicates) > 0) {
      HullEdge* previous = before->prev;
      if (previous == nullptr) return fail();
      removed.push_back(before->from);
      HullEdgePool::Remove(before);
      before = previous;
    }
    while (after->Side(i, predicates) > 0) {
      HullEdge* following = after->next;
      if (following == nullptr) return fail();
      removed.push_back(after->from);
      HullEdgePool::Remove(after);
      after = following;
    }
    HullEdge* to_new = pool.Create(before->to, i);
    HullEdge* from_new = pool.Create(i, after->from);
    HullEdgePool::Link(before, to_new);
    HullEdgePool::Link(to_new, from_new);
    HullEdgePool::Link(from_new, after);
    head = to_new;
    if (fan) {
      // The removed edges started at before->to and at the vertices that
      // leave the ring.
      for (int32_t vertex : removed) {
        if (vertex != before->to) fan->Erase(vertex);
      }
      fan->Update(before->to, to_new);
      fan->Insert(i, from_new, before->to);
    }
  }

  std::vector<int32_t> list;
  HullEdge* edge = head;
  do {
    list.push_back(edge->from);
    edge = edge->next;
    if (edge == nullptr || static_cast<int32_t>(list.size()) > count_) {
      return fail();
    }
  } while (edge != head);

  vertices_ = new int32_t[list.size()];
  for (std::size_t k = 0; k < list.size(); ++k) vertices_[k] = list[k];
  numVertices_ = static_cast<int32_t>(list.size());
  predicates_.reset();
  return true;
}

}  // namespace silhouette
