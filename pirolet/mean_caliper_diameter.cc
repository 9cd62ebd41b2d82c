#include "pirolet/mean_caliper_diameter.h"

#include <cmath>
#include <vector>

#include "geometry/math_constants.h"

namespace silhouette {
namespace {

// Positions on a ring of n are taken modulo n.
int32_t Wrap(int32_t k, int32_t n) { return ((k % n) + n) % n; }

// acos with its argument clamped to [-1, 1]: a dot product of two unit
// vectors that rounds just past 1 is a turn of 0, not a NaN.
double AcosClamped(double x) {
  if (x <= -1) return MathConstants<double>::kPi;
  if (x >= 1) return 0;
  return std::acos(x);
}

// The power of two, as its exponent, that brings `extent` into [1, 2).
// Scaling differences by it is exact, so a polygon and any power-of-two
// multiple of it give the same numbers, and the fixed 1e-8 cut-off of
// Normalize becomes relative to the polygon's size. For extents below the
// smallest normal double the power itself exceeds the largest double, so
// it is applied with ldexp.
int UnitShift(double extent) {
  if (!(extent > 0) || !std::isfinite(extent)) return 0;
  int exponent = 0;
  std::frexp(extent, &exponent);  // extent = f * 2^exponent, f in [0.5, 1)
  return 1 - exponent;
}

Vec2 Shifted(const Vec2& v, int shift) {
  return Vec2(std::ldexp(v.x, shift), std::ldexp(v.y, shift));
}

// The hull as the calipers need it: strictly convex in the polygon's own
// coordinates. The hull is exact on its 2^20 grid, but its vertices keep
// their real coordinates, so two vertices less than a grid unit apart can
// both stay and form an edge too short to have a direction, or a detour
// that turns clockwise. Such vertices, and exactly collinear ones (steps
// that turn by nothing), are dropped here. The perimeter changes only by the
// length of those sub-grid detours.
std::vector<Vec2> CaliperRing(const std::vector<Vec2>& hull) {
  const int32_t n = static_cast<int32_t>(hull.size());
  std::vector<int32_t> prev(n), next(n), pending(n);
  std::vector<char> alive(n, 1);
  for (int32_t k = 0; k < n; ++k) {
    prev[k] = Wrap(k - 1, n);
    next[k] = Wrap(k + 1, n);
    pending[k] = n - 1 - k;
  }
  int32_t count = n;
  while (!pending.empty() && count > 2) {
    const int32_t k = pending.back();
    pending.pop_back();
    if (!alive[k]) continue;
    const Vec2 in = hull[k] - hull[prev[k]];
    const Vec2 out = hull[next[k]] - hull[k];
    if (in.Length() > 1e-8 && in.Cross(out) > 0) continue;
    alive[k] = 0;
    --count;
    next[prev[k]] = next[k];
    prev[next[k]] = prev[k];
    pending.push_back(next[k]);
    pending.push_back(prev[k]);
  }
  std::vector<Vec2> ring;
  for (int32_t k = 0; k < n; ++k) {
    if (alive[k]) ring.push_back(hull[k]);
  }
  return ring;
}

// Rotating calipers over a strictly convex counter-clockwise ring.
double Calipers(const std::vector<Vec2>& ring) {
  const double pi = MathConstants<double>::kPi;
  const int32_t n = static_cast<int32_t>(ring.size());
  auto point = [&](int32_t k) { return ring[Wrap(k, n)]; };

  // Caliper A lies on edge 0; caliper B touches its antipode j.
  Vec2 nrm = (point(1) - point(0)).RotatedCw();
  nrm.Normalize();
  double best = 0;
  int32_t j = -1;
  for (int32_t k = 0; k < n; ++k) {
    const double h = std::abs((point(k) - point(0)).Dot(nrm));
    if (h > best) {
      best = h;
      j = k;
    }
  }
  if (j < 0) return 0;

  // Every edge's unit direction, and the turn of caliper A from each edge
  // to the next, made once each: the steps below use them many times, with
  // exactly the operations that computing them in place would take.
  std::vector<Vec2> unit(n);
  std::vector<double> turn_after(n);
  for (int32_t k = 0; k < n; ++k) {
    unit[k] = point(k + 1) - point(k);
    unit[k].Normalize();
  }
  for (int32_t k = 0; k < n; ++k) {
    turn_after[k] = AcosClamped(unit[Wrap(k + 1, n)].Dot(unit[k]));
  }

  double total = 0;
  int32_t i = 0;
  // Each step moves one of two position chains forward by one; the first to
  // wrap ends the loop, so 2 n steps always suffice.
  for (int32_t step = 0; step < 2 * n; ++step) {
    const Vec2 u = unit[i];
    const Vec2 v = unit[j];
    const double turn_b = AcosClamped((-u).Dot(v));
    const double turn_a = turn_after[i];

    const Vec2 s = point(i + 1) - point(j);
    const double length = s.Length();
    const Vec2 t = s / length;

    int32_t e;
    bool a_advanced;
    if (turn_b >= turn_a) {
      e = Wrap(i + 1, n);
      a_advanced = true;
    } else {
      e = j;
      j = Wrap(i + 1, n);
      a_advanced = false;
    }
    const Vec2 w = unit[e];

    // The width L |sin| integrated over the step's turn is L (c0 - c1). The
    // chord never crosses a caliper on a convex ring, so c0 - c1 is not
    // negative beyond rounding and needs no sign correction: a step that
    // turns by nothing (parallel edges) adds nothing. A chord of length 0
    // has no width.
    const double c0 = t.Dot(u);
    const double c1 = a_advanced ? t.Dot(w) : t.Dot(-w);
    if (length > 0) total = (c0 - c1) * length / pi + total;
    i = e;
    if (i == 0) break;
  }
  return total;
}

}  // namespace

double MeanCaliperDiameter(const Polygon2& polygon, const int32_t* hull,
                           int32_t n) {
  const double pi = MathConstants<double>::kPi;
  if (n <= 1) return 0;
  if (n == 2) {
    // A segment longer than about 1e154 overflows the squares of its
    // length: it is measured at 2^-513 of its size, exactly, and scaled
    // back.
    const Vec2 d = polygon[hull[1]] - polygon[hull[0]];
    const double length = d.Length();
    if (std::isinf(length) && std::isfinite(d.x) && std::isfinite(d.y)) {
      return 2 * (d * 0x1p-513).Length() / pi * 0x1p513;
    }
    // One shorter than about 1e-154 underflows them: it is measured at
    // unit scale and scaled back.
    const double extent = std::fmax(std::abs(d.x), std::abs(d.y));
    if (extent < 0x1p-500) {
      const int shift = UnitShift(extent);
      return std::ldexp(2 * Shifted(d, shift).Length() / pi, -shift);
    }
    return 2 * length / pi;
  }

  // Work relative to vertex 0 at unit scale; both changes are exact or
  // rounding-sized, and the result is scaled back exactly.
  Vec2 lo = polygon[hull[0]], hi = polygon[hull[0]];
  for (int32_t k = 1; k < n; ++k) {
    const Vec2& p = polygon[hull[k]];
    lo = Vec2(std::fmin(lo.x, p.x), std::fmin(lo.y, p.y));
    hi = Vec2(std::fmax(hi.x, p.x), std::fmax(hi.y, p.y));
  }
  const int shift = UnitShift(std::fmax(hi.x - lo.x, hi.y - lo.y));
  std::vector<Vec2> scaled;
  scaled.reserve(n);
  for (int32_t k = 0; k < n; ++k) {
    scaled.push_back(Shifted(polygon[hull[k]] - polygon[hull[0]], shift));
  }

  const std::vector<Vec2> ring = CaliperRing(scaled);
  if (ring.size() == 2) {
    return std::ldexp(2 * (ring[1] - ring[0]).Length() / pi, -shift);
  }
  if (ring.size() < 2) return 0;
  return std::ldexp(Calipers(ring), -shift);
}

}  // namespace silhouette
