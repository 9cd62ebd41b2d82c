#include "camera/view_set.h"

#include <cmath>
#include <limits>
#include <string>

#include "camera/reference_point.h"
#include "geometry/error_text.h"
#include "geometry/planar_hull.h"
#include "host/array_checks.h"

namespace silhouette {
namespace {

constexpr double kHullTolerance = 0.001;

std::string ViewLabel(int32_t i) { return "view " + std::to_string(i + 1); }

// The boundary of element i, checked before any of it is read.
Polygon2 ReadBoundary(const mxArray* viewVec, int32_t i) {
  const mxArray* b = mxGetField(viewVec, static_cast<mwIndex>(i), "boundary");
  if (!host::IsRealDoubleMatrix(b) || mxGetM(b) != 2 || mxGetN(b) < 1) {
    throw ErrorText("boundary of " + ViewLabel(i) +
                    " is not a real double matrix of 2 rows and at least 1 "
                    "column.");
  }
  if (mxGetN(b) >
      static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
    throw ErrorText("boundary of " + ViewLabel(i) + " has too many points.");
  }
  const std::size_t n = mxGetN(b);
  const double* d = mxGetPr(b);
  for (std::size_t k = 0; k < 2 * n; ++k) {
    if (!std::isfinite(d[k])) {
      throw ErrorText("boundary of " + ViewLabel(i) +
                      " has a coordinate that is not finite.");
    }
  }
  return PolygonFromColumns(d, n);
}

}  // namespace

ViewSet::ViewSet(const mxArray* viewVec) {
  if (!host::IsStructArray(viewVec)) {
    throw ErrorText(
        "viewVec is not a struct array with fields camera and boundary.");
  }
  const std::size_t n = mxGetNumberOfElements(viewVec);
  if (n > static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
    throw ErrorText("viewVec has too many elements.");
  }
  views.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    ReadView(viewVec, static_cast<int32_t>(i));
  }
  for (View& view : views) {
    view.normalizedBoundary.clear();
    view.normalizedBoundary.reserve(view.boundary.size());
    for (const Vec2& p : view.boundary) {
      view.normalizedBoundary.push_back(view.camera.ImageToNormalized(p));
    }
  }
  PrepareReferencePoint(&views);
}

void ViewSet::ReadView(const mxArray* viewVec, int32_t i) {
  View& view = views[i];
  if (mxGetFieldNumber(viewVec, "boundary") < 0) {
    throw ErrorText("missing boundary field in viewVec from Matlab.");
  }
  view.boundary = ReadBoundary(viewVec, i);

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

  if (mxGetFieldNumber(viewVec, "camera") < 0) {
    throw ErrorText("missing camera field in viewVec from Matlab.");
  }
  view.camera.ReadFromMxStruct(
      mxGetField(viewVec, static_cast<mwIndex>(i), "camera"), 0);
}

}  // namespace silhouette
