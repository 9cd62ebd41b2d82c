#include "kestrim/reference/epipolar_hull_index.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "geometry/math_constants.h"

namespace silhouette {

bool HullAngleLess(const HullAngle& a, const HullAngle& b) {
  return a.angle < b.angle || (a.angle == b.angle && a.vertex < b.vertex);
}

Vec2 EpipolarHullIndex::HullVertex(int32_t k) const {
  return view_->NormalizedHullPoint(k);
}

void EpipolarHullIndex::Clear() {
  sorted_.clear();
  sectors_.clear();
  cursor_ = 0;
  epipoleInside_ = false;
}

void EpipolarHullIndex::Build(const View& view, const Vec2& epipole) {
  view_ = &view;
  epipole_ = epipole;
  Clear();
  const int32_t n = view.NumHullVertices();
  referenceAngle_ = std::numeric_limits<double>::quiet_NaN();
  if (n >= 1) {
    const Vec2 p = HullVertex(0);
    referenceAngle_ = std::atan2(p.y - epipole.y, p.x - epipole.x);
  }
  if (n < 2 || std::isnan(epipole.x) || std::isnan(epipole.y)) return;

  sorted_.resize(n);
  for (int32_t k = 0; k < n; ++k) {
    const Vec2 p = HullVertex(k);
    const double angle =
        RelativeAngle(std::atan2(p.y - epipole.y, p.x - epipole.x));
    if (std::isnan(angle)) {
      // No order exists for such an angle; the index stays unusable.
      Clear();
      return;
    }
    sorted_[k] = HullAngle{angle, k};
  }
  std::sort(sorted_.begin(), sorted_.end(), HullAngleLess);

  sectors_.resize(n - 1);
  int32_t a = sorted_[0].vertex;
  int32_t b = (a + 1) % n;
  for (int32_t s = 0; s <= n - 2; ++s) {
    sectors_[s].ascending = a;
    if (sorted_[s + 1].vertex == b) {
      a = b;
      b = (b + 1) % n;
    }
  }
  a = sorted_[n - 1].vertex;
  b = (a + 1) % n;
  for (int32_t s = n - 2; s >= 0; --s) {
    sectors_[s].descending = a;
    if (sorted_[s].vertex == b) {
      a = b;
      b = (b + 1) % n;
    }
  }
  epipoleInside_ = IsStrictlyInside();
}

bool EpipolarHullIndex::IsStrictlyInside() const {
  const int32_t n = static_cast<int32_t>(sorted_.size());
  if (n < 3) return false;
  int positive = 0;
  int negative = 0;
  for (int32_t k = 0; k < n; ++k) {
    const Vec2 a = HullVertex(k);
    const Vec2 b = HullVertex((k + 1) % n);
    const double side = (b - a).Cross(epipole_ - a);
    if (side > 0) {
      ++positive;
    } else if (side < 0) {
      ++negative;
    }
  }
  // Either orientation: a camera with a negative focal length mirrors the
  // hull in normalized coordinates.
  return positive == n || negative == n;
}

double EpipolarHullIndex::RelativeAngle(double angle) const {
  const double two_pi = MathConstants<double>::kTwoPi;
  double d = angle - referenceAngle_;
  if (!std::isfinite(d)) return std::numeric_limits<double>::quiet_NaN();
  // Directions from atan2 differ by at most 2 pi and need one step at most;
  // larger arguments are first reduced exactly so the steps stay bounded.
  if (d < -two_pi || d > two_pi) d = std::fmod(d, two_pi);
  while (d < 0) d = d + two_pi;
  while (d > two_pi) d = d - two_pi;
  if (d > MathConstants<double>::kPi) d = d - two_pi;
  return d;
}

void EpipolarHullIndex::SeekSector(double angle) {
  if (sectors_.empty() || std::isnan(angle)) return;
  const int last = static_cast<int>(sectors_.size()) - 1;
  while (cursor_ < last && angle > sorted_[cursor_ + 1].angle) ++cursor_;
  while (cursor_ > 0 && angle < sorted_[cursor_].angle) --cursor_;
}

Vec2 EpipolarHullIndex::CrossLine(int32_t a, int32_t b, const Vec2& r) const {
  const Vec2 pa = HullVertex(a);
  const Vec2 w = pa - epipole_;
  const Vec2 m = (HullVertex(b) - pa).RotatedCw();  // the edge's normal
  const double lambda = w.Dot(m) / r.Dot(m);
  return epipole_ + r * lambda;
}

bool EpipolarHullIndex::CrossHull(const Vec2& q, Vec2* first, Vec2* second) {
  if (sectors_.empty()) return false;
  const double angle =
      RelativeAngle(std::atan2(q.y - epipole_.y, q.x - epipole_.x));
  if (std::isnan(angle)) return false;
  const int32_t n = static_cast<int32_t>(sorted_.size());
  const bool in_span =
      sorted_.front().angle <= angle && angle <= sorted_.back().angle;
  if (!in_span && !epipoleInside_) return false;

  Vec2 r = q - epipole_;
  r.Normalize();
  if (epipoleInside_) {
    // The half-line leaves the hull through the edge joining the two
    // vertices that bound its direction; the gap past the span is closed by
    // the edge from the last vertex in angle order to the first.
    int32_t a = sorted_[n - 1].vertex;
    int32_t b = sorted_[0].vertex;
    if (in_span) {
      SeekSector(angle);
      a = sorted_[cursor_].vertex;
      b = sorted_[cursor_ + 1].vertex;
    }
    *first = epipole_;
    *second = CrossLine(a, b, r);
    return true;
  }

  SeekSector(angle);
  const SectorEdges& sector = sectors_[cursor_];
  *first = CrossLine(sector.ascending, (sector.ascending + 1) % n, r);
  *second = CrossLine(sector.descending, (sector.descending + 1) % n, r);
  return true;
}

}  // namespace silhouette
