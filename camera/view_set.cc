#include "camera/view_set.h"

#include <cmath>
#include <limits>
#include <string>
#include <utility>

#include "camera/reference_point.h"
#include "geometry/error_text.h"
#include "geometry/planar_hull.h"

namespace silhouette {
namespace {

constexpr double kHullTolerance = 0.001;

}  // namespace

ViewSet::ViewSet(std::vector<View> input) : views(std::move(input)) {
  if (views.size() >
      static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
    throw ErrorText("view set has too many views.");
  }
  for (int32_t i = 0; i < NumViews(); ++i) PrepareHull(i);
  PrepareSet();
}

std::string ViewSet::ViewLabel(int32_t i) {
  return "view " + std::to_string(i + 1);
}

void ViewSet::PrepareHull(int32_t i) {
  View& view = views[i];
  if (view.boundary.size() >
      static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
    throw ErrorText("boundary of " + ViewLabel(i) + " has too many points.");
  }
  for (const Vec2& p : view.boundary) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
      throw ErrorText("boundary of " + ViewLabel(i) +
                      " has a coordinate that is not finite.");
    }
  }

  // An empty boundary has no hull either.
  PlanarHull hull(static_cast<int32_t>(view.boundary.size()),
                  view.boundary.data());
  if (!hull.Compute(kHullTolerance)) {
    throw ErrorText("could not compute the convex hull of the boundary of " +
                    ViewLabel(i) + ".");
  }
  const int32_t* indices = hull.VertexIndices(false);
  view.hull.assign(indices, indices + hull.NumVertices());

  // The box starts at vertex 0; a coordinate that is not >= the minimum
  // replaces it.
  view.boxMin = view.boxMax = view.boundary[0];
  for (int32_t k = 0; k < view.NumHullVertices(); ++k) {
    const Vec2 p = view.HullPoint(k);
    if (!(p.x >= view.boxMin.x)) view.boxMin.x = p.x;
    if (!(p.y >= view.boxMin.y)) view.boxMin.y = p.y;
    if (p.x > view.boxMax.x) view.boxMax.x = p.x;
    if (p.y > view.boxMax.y) view.boxMax.y = p.y;
  }
}

void ViewSet::PrepareSet() {
  for (View& view : views) {
    view.normalizedBoundary.clear();
    view.normalizedBoundary.reserve(view.boundary.size());
    for (const Vec2& p : view.boundary) {
      view.normalizedBoundary.push_back(view.camera.ImageToNormalized(p));
    }
  }
  PrepareReferencePoint(&views);
}

}  // namespace silhouette
