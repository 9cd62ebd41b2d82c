// Kestrim's per-pair clip of a viewing ray by another view's cone (the two
// faces EpipolarLineIndex names, SilhouetteCone::ClipTwoFaces) against the
// plain clip by every face (ClipEveryFace), as ViewingEdgeExtractor
// chooses between them.
//
// The agreement required:
//  - The per-pair clip tests a subset of the same conditions, each
//    computed the same way, so it keeps every distance the plain clip
//    keeps, bit for bit: its lower end is not above the plain one's, its
//    upper end not below.
//  - Where it keeps more, the excess stays on the cone: on a convex hull,
//    every end of the per-pair stretch beyond the plain one's, seen from
//    the cone's apex, lies within 1e-6 radians of every face and of the
//    front plane (an end at infinity: the ray's direction), beyond the
//    rounding of the point itself and of the bound that set the end
//    (which grows as the ray meets that bound's plane at a smaller
//    angle); a point within a million such roundings of the apex has no
//    direction to measure and passes. Exact equality would be wrong to ask:
//    near a hull vertex the two faces meeting there give bounds a rounding
//    apart, either may be the tighter, and a face that the ray meets at a
//    small angle moves its bound along the ray by the rounding over that
//    angle; the plain clip's end moves alike. A wrong pair of edges leaves
//    out a face that bounds the ray well away from the cone, and the end
//    lies far outside it.
//  - A line the index says misses the hull is clipped by every face, as
//    the extractor does (near the hull's boundary, at extreme scales, the
//    index's miss can be the roundings'), so it keeps what the plain
//    clip keeps.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "fuzz/fuzz_targets.h"
#include "fuzz/hull_view.h"
#include "fuzz/plane_oracle.h"
#include "kestrim/epipolar_line_index.h"
#include "kestrim/ray_stretch.h"
#include "kestrim/silhouette_cone.h"

namespace silhouette {
namespace fuzz {
namespace {

using Real = long double;

// Ends of the per-pair stretch lie at most this angle (radians, as a
// sine) outside the cone, seen from its apex.
constexpr Real kAngleDoubt = 1e-6L;
constexpr Real kUnit = 0x1p-53L;
// Edges no longer than this fraction of the hull's coordinates join
// vertices a rounding apart (as StrictlyConvexRing counts them).
constexpr Real kStub = 1e-12L;

bool Finite(const Vec3& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// 0, or well inside the range of normal doubles.
bool Moderate(Real x) { return x == 0 || (x >= 0x1p-960L && x <= 0x1p960L); }

Real Norm(const Vec3& v) {
  return std::sqrt(static_cast<Real>(v.x) * v.x +
                   static_cast<Real>(v.y) * v.y +
                   static_cast<Real>(v.z) * v.z);
}

Real Dot(const Vec3& f, const Vec3& v) {
  return static_cast<Real>(f.x) * v.x + static_cast<Real>(f.y) * v.y +
         static_cast<Real>(f.z) * v.z;
}

struct RayCheck {
  Vec3 a, b;
  // The cone's faces but those of stub edges, and the front condition.
  std::vector<Vec3> conditions;

  // How far the computed end s may lie from the point where the condition
  // that set it is met: 16 roundings of the condition's terms over the
  // sine of the angle at which the ray meets it, the least over the
  // conditions whose computed bound is s (0 for none: the start at 0).
  Real EndDoubt(const std::vector<Vec3>& setters, double s) const {
    Real doubt = INFINITY;
    for (const Vec3& f : setters) {
      const double c0 = f.Dot(a);
      const double c1 = f.Dot(b);
      if (c1 == 0 || -c0 / c1 != s) continue;
      const Real size = Norm(a) + std::fabs(static_cast<Real>(s)) * Norm(b);
      doubt = std::fmin(doubt, 16 * kUnit * size * Norm(f) * Norm(b) /
                                   std::fabs(Dot(f, b)));
    }
    return std::isinf(doubt) ? 0 : doubt;
  }

  // Whether the point a + s b (s finite), seen from camera j's centre,
  // lies within kAngleDoubt of every condition, beyond the rounding of
  // the point itself and the `doubt` of the end. A point at the centre
  // (within those) has no direction and passes.
  bool NearCone(double s, Real doubt) const {
    const Real x = a.x + static_cast<Real>(s) * b.x;
    const Real y = a.y + static_cast<Real>(s) * b.y;
    const Real z = a.z + static_cast<Real>(s) * b.z;
    const Real size = Norm(a) + std::fabs(static_cast<Real>(s)) * Norm(b);
    const Real length = std::sqrt(x * x + y * y + z * z);
    const Real rounding = 16 * kUnit * size + doubt;
    if (length <= 1e6L * rounding) return true;
    for (const Vec3& f : conditions) {
      const Real value = static_cast<Real>(f.x) * x +
                         static_cast<Real>(f.y) * y +
                         static_cast<Real>(f.z) * z;
      if (value < -Norm(f) * (kAngleDoubt * length + rounding)) return false;
    }
    return true;
  }

  // The same for the far end of an endless stretch: the direction b.
  bool RunsOutNearCone() const {
    for (const Vec3& f : conditions) {
      if (Dot(f, b) < -kAngleDoubt * Norm(f) * Norm(b)) return false;
    }
    return true;
  }
};

// The ray from a through the point w (t, 1), or along free numbers, at
// unit length where it can be had (as the extractor's rays are).
Vec3 DecodeDirection(FuzzInput* in, const Vec3& a, const Vec2& t) {
  Vec3 b;
  if (in->Byte() == 0) {
    const double w = in->NumberOr(2.0);
    b = Vec3(t.x * w - a.x, t.y * w - a.y, w - a.z);
  } else {
    const double x = in->Number();
    const double y = in->Number();
    b = Vec3(x, y, in->Number());
  }
  const double length = b.Length();
  if (length > 0 && std::isfinite(length)) b = b * (1 / length);
  return b;
}

std::string CheckRay(const View& view, const SilhouetteCone& cone,
                     const RayCheck& check, bool convex,
                     EpipolarLineIndex* index) {
  const Vec3& a = check.a;
  const Vec3& b = check.b;
  const int32_t n = view.NumHullVertices();
  const Vec2 r(a.z * b.x - b.z * a.x, a.z * b.y - b.z * a.y);
  int32_t first = -7;
  int32_t second = -7;
  RayStretch fast;
  const EpipolarLineIndex::Answer answer =
      index->CrossedEdges(r, &first, &second);
  switch (answer) {
    case EpipolarLineIndex::Answer::kCrossed:
      if (first < 0 || first >= n || second < 0 || second >= n) {
        return "crossed edges out of range";
      }
      cone.ClipTwoFaces(first, second, a, b, &fast);
      break;
    case EpipolarLineIndex::Answer::kMissed:
    case EpipolarLineIndex::Answer::kUnsure:
      if (first != -7 || second != -7) return "no crossing, but edges were set";
      cone.ClipEveryFace(a, b, &fast);
      break;
  }
  RayStretch plain;
  cone.ClipEveryFace(a, b, &plain);

  if (!plain.IsEmpty() &&
      (fast.IsEmpty() || !(fast.lower <= plain.lower) ||
       !(fast.upper >= plain.upper))) {
    return "the per-pair clip keeps less than the plain clip";
  }
  // The rest is measured in extended precision, on a convex hull and with
  // finite numbers whose products the clips compute to full precision
  // (neither subnormal nor overflowing). PlanarHull's hull is exact on its
  // grid, and its vertices may stray from convex position by a grid unit
  // or stand a rounding apart; the face of such a stub of an edge points
  // anywhere, and only the plain clip heeds it.
  if (!convex || !Finite(a) || !Finite(b)) return "";
  for (const Vec3& f : cone.faces()) {
    if (!Finite(f) || !Moderate(Norm(f) * Norm(a)) ||
        !Moderate(Norm(f) * Norm(b))) {
      return "";
    }
  }
  if (answer != EpipolarLineIndex::Answer::kCrossed || fast.IsEmpty()) {
    return "";
  }
  // Only an end beyond the plain clip's needs a look.
  const bool same_lower = !plain.IsEmpty() && fast.lower == plain.lower;
  const bool same_upper = !plain.IsEmpty() && fast.upper == plain.upper;
  const std::vector<Vec3> setters = {cone.faces()[first], cone.faces()[second],
                                     Vec3(0, 0, 1)};
  if (!same_lower &&
      !check.NearCone(fast.lower, check.EndDoubt(setters, fast.lower))) {
    return "the per-pair stretch starts outside the cone";
  }
  if (same_upper) return "";
  if (std::isinf(fast.upper)
          ? !check.RunsOutNearCone()
          : !check.NearCone(fast.upper, check.EndDoubt(setters, fast.upper))) {
    return "the per-pair stretch ends outside the cone";
  }
  return "";
}

}  // namespace

std::string RayClipTarget(const uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  View view;
  if (!DecodeHullView(&in, &view)) return "";
  const std::vector<Vec2> ring = HullRing(view);
  // The epipole, then the image points the rays pass through; the depths
  // and other choices follow them.
  const Vec2 e = DecodeQueryPoint(&in, ring);
  std::vector<Vec2> targets;
  for (std::size_t k = in.Count(16); k > 0; --k) {
    targets.push_back(DecodeQueryPoint(&in, ring));
  }
  // The other camera's centre: at depth d on the line through the epipole
  // (d = 1 by default, so that the epipole is e exactly), or free.
  Vec3 a;
  if (in.Byte() == 0) {
    const double d = in.NumberOr(1.0);
    a = Vec3(e.x * d, e.y * d, d);
  } else {
    const double x = in.Number();
    const double y = in.Number();
    a = Vec3(x, y, in.Number());
  }

  // As ViewingEdgeExtractor builds a pair.
  const SilhouetteCone cone(view);
  EpipolarLineIndex index;
  const Vec2 epipole(a.x / a.z, a.y / a.z);
  index.Build(view, epipole);
  if (index.Answers() && view.NumHullVertices() < 3) {
    return "index answers for a hull of fewer than three vertices";
  }
  // The conditions the checks hold the per-pair ends to: every face but
  // those of stub edges, and the front condition.
  Real scale = 0;
  for (const Vec2& p : ring) {
    scale = std::max({scale, std::fabs(static_cast<Real>(p.x)),
                      std::fabs(static_cast<Real>(p.y))});
  }
  RayCheck check{a, Vec3(0, 0, 0), {}};
  const int32_t n = view.NumHullVertices();
  for (int32_t k = 0; k < n && n >= 3; ++k) {
    const Vec2 p = view.NormalizedHullPoint(k);
    const Vec2 q = view.NormalizedHullPoint((k + 1) % n);
    const Real length = std::hypot(static_cast<Real>(q.x) - p.x,
                                   static_cast<Real>(q.y) - p.y);
    if (length > kStub * scale) check.conditions.push_back(cone.faces()[k]);
  }
  check.conditions.push_back(Vec3(0, 0, 1));
  const bool convex = n >= 3 && StrictlyConvexRing(ring);
  for (const Vec2& t : targets) {
    check.b = DecodeDirection(&in, a, t);
    const std::string finding = CheckRay(view, cone, check, convex, &index);
    if (!finding.empty()) return finding;
  }
  return "";
}

}  // namespace fuzz
}  // namespace silhouette
