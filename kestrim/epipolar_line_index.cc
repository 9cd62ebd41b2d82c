#include "kestrim/epipolar_line_index.h"

#include <algorithm>
#include <cmath>

namespace silhouette {
namespace {

// The sine below which two directions count as parallel.
const double kMinSine = 1e-9;
// Sixteen units in the last place: differences of coordinates of this
// relative size may be nothing but their roundings.
const double kRoundings = 16 * 0x1p-53;
// Hull vertices farther than this from the image centre, in normalized
// coordinates, are seen more than 89.994 degrees off the optical axis.
// The faces of such a hull lie within a hair of the plane through the
// centre parallel to the image, and so of each other and of the front
// condition: where a ray crosses that plane their bounds are the
// roundings' to order, and a stretch the two crossed faces keep there can
// lie well outside the cone (a third face, across the plane, excludes
// it). No lens a pinhole models sees that far out; such a hull is left to
// the clip by every face.
const double kFarOut = 1e4;

bool IsFinite(const Vec2& p) { return std::isfinite(p.x) && std::isfinite(p.y); }

}  // namespace

void EpipolarLineIndex::Clear() {
  mode_ = Mode::kNone;
  order_.clear();
  directions_.clear();
  near_.clear();
  far_.clear();
  grazed_.clear();
  cursor_ = 0;
  back_cursor_ = 0;
}

void EpipolarLineIndex::Build(const View& view, const Vec2& epipole) {
  Clear();
  const int32_t n = view.NumHullVertices();
  if (n < 3 || !IsFinite(epipole)) return;
  for (int32_t k = 0; k < n; ++k) {
    const Vec2 v = view.NormalizedHullPoint(k);
    if (!(std::abs(v.x) <= kFarOut && std::abs(v.y) <= kFarOut)) return;
  }
  double area = 0;
  for (int32_t k = 0; k < n; ++k) {
    area += view.NormalizedHullPoint(k).Cross(
        view.NormalizedHullPoint((k + 1) % n));
  }
  // A negative focal length mirrors the hull: its order turns clockwise.
  if (!(area != 0) || !std::isfinite(area)) return;
  orientation_ = area > 0 ? 1 : -1;

  std::vector<Vec2> d(n);
  std::vector<double> squared(n);
  double farthest = 0;
  for (int32_t k = 0; k < n; ++k) {
    d[k] = view.NormalizedHullPoint(k) - epipole;
    squared[k] = d[k].Dot(d[k]);
    // A vertex at the epipole has no direction.
    if (!(squared[k] > 0) || !IsFinite(d[k])) return;
    farthest = std::max(farthest, squared[k]);
  }
  // Nor has a vertex closer to it than the roundings of the coordinates,
  // or than a kMinSine fraction of the farthest vertex: the order of the
  // directions, and so the sectors, would be the roundings' choice.
  const double min_sine2 = kMinSine * kMinSine;
  for (int32_t k = 0; k < n; ++k) {
    const Vec2 v = view.NormalizedHullPoint(k);
    const double rounding =
        kRoundings * (std::abs(epipole.x) + std::abs(epipole.y) +
                      std::abs(v.x) + std::abs(v.y));
    if (!(squared[k] > min_sine2 * farthest) ||
        !(squared[k] > rounding * rounding)) {
      return;
    }
  }
  // s[k] > 0: the epipole lies on the inner side of edge k; inside it is
  // clearly so when the sine of the angle under which the edge is seen,
  // s[k] / (|d[k]| |d[k + 1]|), exceeds kMinSine.
  // Edge k is grazed when that sine, taken either way, is kMinSine or
  // less.
  std::vector<double> s(n);
  std::vector<char> grazed(n);
  bool inside = true;
  bool outside = false;
  for (int32_t k = 0; k < n; ++k) {
    const int32_t next = k + 1 == n ? 0 : k + 1;
    s[k] = Turn(d[k], d[next]);
    const bool clear = s[k] * s[k] > min_sine2 * squared[k] * squared[next];
    grazed[k] = !clear;
    if (!(s[k] > 0 && clear)) inside = false;
    if (s[k] < 0) outside = true;
  }
  if (inside) {
    order_.resize(n);
    for (int32_t k = 0; k < n; ++k) order_[k] = k;
    directions_ = d;
    mode_ = Mode::kInside;
  } else if (outside) {
    BuildOutside(d, s, grazed);
  }
}

bool EpipolarLineIndex::Apart(const Vec2& a, const Vec2& b) const {
  // Squares: overflow and underflow make two directions not apart, never
  // apart.
  const double t = Turn(a, b);
  return t > 0 && t * t > kMinSine * kMinSine * a.Dot(a) * b.Dot(b);
}

void EpipolarLineIndex::BuildOutside(const std::vector<Vec2>& d,
                                     const std::vector<double>& s,
                                     const std::vector<char>& grazed) {
  const int32_t n = static_cast<int32_t>(d.size());
  // The edges the epipole sees from outside (s < 0) form one run from
  // vertex i to vertex j, the near side; the far side runs from j on to i.
  int32_t i = -1;
  int32_t j = -1;
  for (int32_t k = 0; k < n; ++k) {
    const bool seen = s[k] < 0;
    const bool seen_before = s[(k + n - 1) % n] < 0;
    if (seen && !seen_before) {
      if (i >= 0) return;  // two runs: rounding broke convexity
      i = k;
    }
    if (!seen && seen_before) {
      if (j >= 0) return;
      j = k;
    }
  }
  if (i < 0 || j < 0) return;

  // From j the directions turn positively along the far side (j, j + 1,
  // ..., i) and along the near side walked backwards (j, j - 1, ..., i):
  // merge the two into ascending order, noting for each sector the edge of
  // each side that spans it.
  order_.reserve(n);
  near_.reserve(n - 1);
  far_.reserve(n - 1);
  order_.push_back(j);
  int32_t f = j;  // last vertex taken from the far side
  int32_t m = j;  // last vertex taken from the near side
  while (f != i || m != i) {
    const int32_t fn = (f + 1) % n;
    const int32_t mn = (m + n - 1) % n;
    bool take_far;
    if (f == i) {
      take_far = false;
    } else if (m == i) {
      take_far = true;
    } else if (fn == i && mn == i) {
      // Both sides end at i, taken once.
      near_.push_back(mn);
      far_.push_back(f);
      order_.push_back(i);
      f = i;
      m = i;
      continue;
    } else if (fn == i) {
      take_far = false;
    } else if (mn == i) {
      take_far = true;
    } else {
      take_far = !(Turn(d[mn], d[fn]) > 0);
    }
    near_.push_back(mn);  // edge mn runs from mn to m
    far_.push_back(f);    // edge f runs from f to fn
    if (take_far) {
      order_.push_back(fn);
      f = fn;
    } else {
      order_.push_back(mn);
      m = mn;
    }
    if (static_cast<int32_t>(order_.size()) > n) {
      Clear();
      return;
    }
  }
  if (static_cast<int32_t>(order_.size()) != n) {
    Clear();
    return;
  }
  directions_.resize(n);
  for (int32_t k = 0; k < n; ++k) directions_[k] = d[order_[k]];
  for (int32_t k = 0; k + 1 < n; ++k) {
    // Near ties may come out in the order rounding reverses.
    if (!(Turn(directions_[k], directions_[k + 1]) >= 0)) {
      Clear();
      return;
    }
  }
  const Vec2& lo = directions_.front();
  const Vec2& hi = directions_.back();
  // The sine of the span: near 0 for a half turn (an epipole on an edge)
  // or for directions made parallel by a far epipole.
  if (!Apart(lo, hi)) {
    Clear();
    return;
  }
  // An edge seen under an angle of sine kMinSine or less nearly points at
  // the epipole (its line passes through it or near it, or it is a stub
  // between vertices a rounding apart): a line crossing it runs along it,
  // and its face, met at a grazing angle, may bound the ray anywhere or
  // not at all. Sectors it spans are left to the caller.
  grazed_.resize(n - 1);
  for (int32_t k = 0; k + 1 < n; ++k) {
    grazed_[k] = grazed[near_[k]] || grazed[far_[k]];
  }
  mode_ = Mode::kOutside;
}

EpipolarLineIndex::Answer EpipolarLineIndex::CrossedEdges(const Vec2& r,
                                                          int32_t* first,
                                                          int32_t* second) {
  if (mode_ == Mode::kNone) return Answer::kUnsure;
  if (!(r.x != 0 || r.y != 0) || !IsFinite(r)) return Answer::kUnsure;
  if (mode_ == Mode::kOutside) return SeekOutside(r, first, second);
  int32_t a;
  int32_t b;
  if (!SeekInside(r, &cursor_, &a) ||
      !SeekInside(Vec2(-r.x, -r.y), &back_cursor_, &b)) {
    return Answer::kUnsure;
  }
  *first = a;
  *second = b;
  return Answer::kCrossed;
}

EpipolarLineIndex::Answer EpipolarLineIndex::SeekOutside(const Vec2& r,
                                                         int32_t* first,
                                                         int32_t* second) {
  const Vec2& lo = directions_.front();
  const Vec2& hi = directions_.back();
  // Within a span of less than a half turn at most one of r and -r lies
  // between the extreme directions.
  Vec2 q = r;
  if (!(Turn(lo, q) >= 0 && Turn(q, hi) >= 0)) {
    q = Vec2(-r.x, -r.y);
    if (!(Turn(lo, q) >= 0 && Turn(q, hi) >= 0)) return Answer::kMissed;
  }
  const int last = static_cast<int>(near_.size()) - 1;
  while (cursor_ < last && Turn(directions_[cursor_ + 1], q) > 0) ++cursor_;
  while (cursor_ > 0 && Turn(directions_[cursor_], q) < 0) --cursor_;
  // A line in a grazed sector is left to the caller, and so is a line
  // within a kMinSine angle of the direction of a vertex: which side of
  // the vertex it passes is then the choice of the roundings of r and of
  // the epipole, and with an epipole far from the hull the two sides may
  // be far apart on the image.
  if (grazed_[cursor_] || !Apart(directions_[cursor_], q) ||
      !Apart(q, directions_[cursor_ + 1])) {
    return Answer::kUnsure;
  }
  *first = near_[cursor_];
  *second = far_[cursor_];
  return Answer::kCrossed;
}

bool EpipolarLineIndex::SeekInside(const Vec2& r, int* cursor,
                                   int32_t* edge) const {
  const int n = static_cast<int>(directions_.size());
  int k = *cursor;
  // Every sector is less than a half turn wide: a direction clockwise of
  // d[k] lies in an earlier sector, one counter-clockwise in a later one,
  // so the walk never turns back.
  for (int steps = 0; steps < n; ++steps) {
    const int next = k + 1 == n ? 0 : k + 1;
    const bool after_start = Turn(directions_[k], r) >= 0;
    if (after_start && Turn(r, directions_[next]) > 0) {
      *cursor = k;
      // Within a kMinSine angle of a vertex's direction, which of its two
      // edges the half-line leaves by is the roundings' choice (as
      // outside).
      if (!Apart(directions_[k], r) || !Apart(r, directions_[next])) {
        return false;
      }
      *edge = k;
      return true;
    }
    k = after_start ? next : (k == 0 ? n - 1 : k - 1);
  }
  *cursor = k;
  return false;
}

}  // namespace silhouette
