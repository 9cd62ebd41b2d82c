// A view's silhouette hull indexed by direction around one image point: the
// index of the previous release's viewing-edge computation, kept verbatim
// beside it (previous_query.h) and used by nothing else. Kestrim itself
// indexes hulls with EpipolarLineIndex.
#pragma once

#include <cstdint>
#include <vector>

#include "camera/view.h"
#include "geometry/vec2.h"

namespace silhouette {

// A hull vertex and the direction in which it is seen from the epipole,
// relative to the direction of hull vertex 0.
struct HullAngle {
  double angle;
  int32_t vertex;
};

// Ascending order of angle, ties by vertex number. Not an ordering for NaN
// angles, which are never sorted.
bool HullAngleLess(const HullAngle& a, const HullAngle& b);

// The two hull edges that cross one angular sector, each given by the hull
// vertex it starts at (the edge runs from v to (v + 1) mod n).
struct SectorEdges {
  int32_t ascending;
  int32_t descending;
};

// The convex hull of one view (normalized camera coordinates) sorted by the
// direction in which its vertices are seen from the epipole, the image of
// another camera's centre. Answers whether the half-line from the epipole
// through a query point meets the hull, and where it crosses the hull's two
// sides. Consecutive queries in nearby directions are cheap: the sector of
// the last answer is remembered in the cursor.
//
// The index refers to its view without owning it; the view must outlive it.
//
// Cases the plain construction leaves undefined, and what the index does:
//  - a hull of fewer than two vertices, an epipole with a NaN coordinate
//    (two camera centres that coincide), or any hull vertex whose direction
//    from the epipole is not a number (for example a camera with a NaN
//    parameter): the index is unusable and CrossHull answers false to every
//    query;
//  - an epipole strictly inside the hull: every half-line leaves the hull
//    exactly once, so CrossHull answers true for every direction, with
//    `first` the epipole itself (where the half-line starts, inside the
//    hull) and `second` the point where it leaves the hull;
//  - an epipole on the hull's boundary is indexed like an outside one; on an
//    edge that contains the epipole the crossing point is the epipole.
// The cursor always stays within [0, n - 2]; every loop is bounded by the
// table size.
class EpipolarHullIndex {
 public:
  EpipolarHullIndex() = default;

  // Indexes the hull of `view` around `epipole`. May be called again to
  // re-index; the cursor restarts at 0.
  void Build(const View& view, const Vec2& epipole);

  // Whether the half-line from the epipole through `q` meets the hull. On
  // true, `first` and `second` receive its crossings with the supporting
  // lines of the ascending-side and the descending-side edge of the
  // direction's sector (see the class comment for an epipole inside the
  // hull); on false both are left untouched. Directions at the ends of the
  // hull's angular span count as inside. A query point at the epipole, or a
  // half-line parallel to an edge, gives crossing points that are not
  // finite numbers; the answer is still true.
  bool CrossHull(const Vec2& q, Vec2* first, Vec2* second);

  // `angle` relative to the direction of hull vertex 0, in (-pi, pi]. NaN
  // and infinite angles give NaN.
  double RelativeAngle(double angle) const;

  // Moves the cursor to the sector holding the relative angle `angle`: a
  // few steps up or down from where it is. An angle on a sector boundary
  // stays in the sector the cursor comes from. Outside the angular span the
  // cursor stops at the end sector; NaN or an unusable index leaves it.
  void SeekSector(double angle);

  // Whether the index answers queries (see the class comment).
  bool IsUsable() const { return !sectors_.empty(); }
  // Whether the epipole lies strictly inside the hull.
  bool EpipoleInside() const { return epipoleInside_; }

  const View* view() const { return view_; }
  const Vec2& epipole() const { return epipole_; }
  // One entry per hull vertex, ascending in HullAngleLess; empty when the
  // index is unusable.
  const std::vector<HullAngle>& sorted() const { return sorted_; }
  // n - 1 entries; entry s covers the directions between sorted()[s] and
  // sorted()[s + 1]. Empty when the index is unusable.
  const std::vector<SectorEdges>& sectors() const { return sectors_; }
  // Raw direction (atan2) of hull vertex 0 from the epipole; NaN without a
  // hull vertex.
  double referenceAngle() const { return referenceAngle_; }
  int cursor() const { return cursor_; }

 private:
  // Hull vertex k of the view, normalized camera coordinates.
  Vec2 HullVertex(int32_t k) const;
  // The point e + lambda * r on the line through hull vertices a and b.
  Vec2 CrossLine(int32_t a, int32_t b, const Vec2& r) const;
  bool IsStrictlyInside() const;
  void Clear();

  const View* view_ = nullptr;
  Vec2 epipole_ = Vec2(0, 0);
  std::vector<HullAngle> sorted_;
  std::vector<SectorEdges> sectors_;
  double referenceAngle_ = 0;
  int cursor_ = 0;
  bool epipoleInside_ = false;
};

}  // namespace silhouette
