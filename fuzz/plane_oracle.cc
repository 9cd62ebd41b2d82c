#include "fuzz/plane_oracle.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace silhouette {
namespace fuzz {
namespace {

constexpr long double kTwoPi = 2 * kOraclePi;
constexpr long double kEpsilon = std::numeric_limits<double>::epsilon();

long double Direction(const Vec2& e, const Vec2& p) {
  return std::atan2(static_cast<long double>(p.y) - e.y,
                    static_cast<long double>(p.x) - e.x);
}

bool Finite(const Vec2& p) { return std::isfinite(p.x) && std::isfinite(p.y); }

}  // namespace

long double AngleFrom(long double start, const Vec2& e, const Vec2& p) {
  long double a = Direction(e, p) - start;
  while (a < 0) a += kTwoPi;
  while (a >= kTwoPi) a -= kTwoPi;
  return a;
}

VisibleArc ArcSeenFrom(const Vec2& e, const std::vector<Vec2>& points,
                       long double margin) {
  VisibleArc arc;
  if (points.empty() || !Finite(e)) return arc;
  std::vector<long double> angles;
  for (const Vec2& p : points) {
    if (!Finite(p) || p == e) return arc;
    angles.push_back(Direction(e, p));
  }
  std::sort(angles.begin(), angles.end());
  // The largest gap between neighbours, the wrap-around one included.
  long double gap = angles.front() + kTwoPi - angles.back();
  long double start = angles.front();
  for (std::size_t k = 1; k < angles.size(); ++k) {
    if (angles[k] - angles[k - 1] > gap) {
      gap = angles[k] - angles[k - 1];
      start = angles[k];
    }
  }
  if (!(gap > kOraclePi + margin)) return arc;
  arc.valid = true;
  arc.start = start;
  arc.width = kTwoPi - gap;
  return arc;
}

int StrictlyInsideRing(const Vec2& e, const std::vector<Vec2>& ring) {
  const std::size_t n = ring.size();
  if (n < 3 || !Finite(e)) return 0;
  int left = 0, right = 0;
  for (std::size_t k = 0; k < n; ++k) {
    const Vec2& a = ring[k];
    const Vec2& b = ring[(k + 1) % n];
    if (!Finite(a) || !Finite(b)) return 0;
    const long double bx = static_cast<long double>(b.x) - a.x;
    const long double by = static_cast<long double>(b.y) - a.y;
    const long double ex = static_cast<long double>(e.x) - a.x;
    const long double ey = static_cast<long double>(e.y) - a.y;
    const long double cross = bx * ey - by * ex;
    const long double doubt =
        64 * kEpsilon * std::sqrt((bx * bx + by * by) * (ex * ex + ey * ey));
    if (cross > doubt) {
      ++left;
    } else if (cross < -doubt) {
      ++right;
    }
  }
  if (left == static_cast<int>(n)) return 1;
  if (right == static_cast<int>(n)) return -1;
  return 0;
}

bool StrictlyConvexRing(const std::vector<Vec2>& points) {
  // Vertices a rounding away from the one kept before them are left out:
  // the hull keeps such pairs, and the index must cope with them.
  long double size = 0;
  for (const Vec2& p : points) {
    size = std::max({size, std::fabs(static_cast<long double>(p.x)),
                     std::fabs(static_cast<long double>(p.y))});
  }
  std::vector<Vec2> ring;
  for (const Vec2& p : points) {
    if (!ring.empty() &&
        std::hypot(static_cast<long double>(p.x) - ring.back().x,
                   static_cast<long double>(p.y) - ring.back().y) <=
            1e-12L * size) {
      continue;
    }
    ring.push_back(p);
  }
  while (ring.size() > 1 &&
         std::hypot(static_cast<long double>(ring.front().x) - ring.back().x,
                    static_cast<long double>(ring.front().y) - ring.back().y) <=
             1e-12L * size) {
    ring.pop_back();
  }
  const std::size_t n = ring.size();
  if (n < 3) return true;
  int left = 0, right = 0;
  for (std::size_t k = 0; k < n; ++k) {
    const Vec2& a = ring[k];
    const Vec2& b = ring[(k + 1) % n];
    const Vec2& c = ring[(k + 2) % n];
    const long double ux = static_cast<long double>(b.x) - a.x;
    const long double uy = static_cast<long double>(b.y) - a.y;
    const long double vx = static_cast<long double>(c.x) - b.x;
    const long double vy = static_cast<long double>(c.y) - b.y;
    const long double cross = ux * vy - uy * vx;
    const long double doubt =
        64 * kEpsilon * std::sqrt((ux * ux + uy * uy) * (vx * vx + vy * vy));
    if (cross > doubt) {
      ++left;
    } else if (cross < -doubt) {
      ++right;
    }
  }
  return left == static_cast<int>(n) || right == static_cast<int>(n);
}

long double DistanceToRing(const Vec2& e, const std::vector<Vec2>& ring) {
  long double best = std::numeric_limits<long double>::infinity();
  const std::size_t n = ring.size();
  for (std::size_t k = 0; k < n; ++k) {
    const Vec2& a = ring[k];
    const Vec2& b = ring[(k + 1) % n];
    const long double dx = static_cast<long double>(b.x) - a.x;
    const long double dy = static_cast<long double>(b.y) - a.y;
    const long double ex = static_cast<long double>(e.x) - a.x;
    const long double ey = static_cast<long double>(e.y) - a.y;
    const long double length2 = dx * dx + dy * dy;
    long double t = length2 > 0 ? (ex * dx + ey * dy) / length2 : 0;
    t = std::min(std::max(t, 0.0L), 1.0L);
    best = std::min(best, std::hypot(ex - t * dx, ey - t * dy));
  }
  return best;
}

std::vector<long double> RingCrossings(const Vec2& e, const Vec2& q,
                                       const std::vector<Vec2>& ring,
                                       long double min_sine, bool* grazing) {
  std::vector<long double> t;
  *grazing = false;
  const std::size_t n = ring.size();
  const long double rx = static_cast<long double>(q.x) - e.x;
  const long double ry = static_cast<long double>(q.y) - e.y;
  const long double r_length = std::sqrt(rx * rx + ry * ry);
  for (std::size_t k = 0; k < n; ++k) {
    const Vec2& a = ring[k];
    const Vec2& b = ring[(k + 1) % n];
    const long double dx = static_cast<long double>(b.x) - a.x;
    const long double dy = static_cast<long double>(b.y) - a.y;
    const long double ax = static_cast<long double>(a.x) - e.x;
    const long double ay = static_cast<long double>(a.y) - e.y;
    const long double d_length = std::sqrt(dx * dx + dy * dy);
    if (d_length == 0) continue;
    // e + t r = a + u d: t = (a - e) x d / (r x d), u = (a - e) x r / (r x d).
    const long double denominator = rx * dy - ry * dx;
    const long double u = (ax * ry - ay * rx) / denominator;
    // A crossing a rounding behind e (e on or next to the edge) counts, at
    // e itself.
    long double tk = (ax * dy - ay * dx) / denominator;
    if (tk < 0 && tk > -1e-12L) tk = 0;
    const bool meets = u >= -1e-12L && u <= 1 + 1e-12L && tk >= 0;
    if (std::fabs(denominator) < min_sine * r_length * d_length) {
      // Near-parallel: an edge near the line may touch the half-line
      // anywhere along it.
      const long double distance = std::fabs(ax * ry - ay * rx) / r_length;
      if (!(distance > min_sine * d_length)) *grazing = true;
      continue;
    }
    if (meets) t.push_back(tk);
  }
  return t;
}

Vec2 DecodeQueryPoint(FuzzInput* in, const std::vector<Vec2>& ring) {
  const uint8_t mode = in->Byte() % 6;
  const std::size_t n = ring.size();
  if (n == 0 || mode == 0) {
    const double x = in->Number();
    return Vec2(x, in->Number());
  }
  const Vec2 a = ring[in->Below(static_cast<uint32_t>(n))];
  const Vec2 b = ring[in->Below(static_cast<uint32_t>(n))];
  switch (mode) {
    case 1:
      return a;
    case 2: {  // on the line through a and b
      const double t = static_cast<int8_t>(in->Byte()) / 16.0;
      return Vec2(a.x + t * (b.x - a.x), a.y + t * (b.y - a.y));
    }
    case 3: {  // (reads in sequence: argument order is unspecified)
      const double x = std::nextafter(a.x, in->Bool() ? 1e308 : -1e308);
      return Vec2(x, std::nextafter(a.y, in->Bool() ? 1e308 : -1e308));
    }
    case 4: {  // far away in a direction from a
      const double angle = 2 * 3.141592653589793 * in->Byte() / 256.0;
      const double distance = in->NumberOr(1e6);
      return Vec2(a.x + distance * std::cos(angle),
                  a.y + distance * std::sin(angle));
    }
    default: {  // between a and b, pulled towards a
      const double t = in->Byte() / 256.0;
      return Vec2(a.x + t * (b.x - a.x), a.y + t * (b.y - a.y));
    }
  }
}

}  // namespace fuzz
}  // namespace silhouette
