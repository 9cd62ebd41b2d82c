// TangentSearch against the TangentPoints scan, which it must reproduce bit
// for bit: on hulls and on polygons listed in any order, from points
// anywhere, without a hint, with the hint its previous answer left (as the
// pose model carries it from one evaluation to the next), and with hint
// positions taken from the bytes.
#include <cmath>
#include <cstring>
#include <numeric>
#include <string>
#include <vector>

#include "dovanel/tangent_points.h"
#include "dovanel/tangent_search.h"
#include "fuzz/fuzz_scene.h"
#include "fuzz/fuzz_targets.h"
#include "fuzz/hull_view.h"
#include "fuzz/plane_oracle.h"
#include "geometry/polygon2.h"

namespace silhouette {
namespace fuzz {
namespace {

// Leaves hold 16 vertices: up to 256 gives a tree of several levels.
constexpr std::size_t kMaxPoints = 256;

bool SameBits(const Vec2& a, const Vec2& b) {
  return std::memcmp(&a.x, &b.x, sizeof a.x) == 0 &&
         std::memcmp(&a.y, &b.y, sizeof a.y) == 0;
}

bool SamePair(const TangentPair& a, const TangentPair& b) {
  return SameBits(a.first, b.first) && SameBits(a.second, b.second);
}

// With a zero byte the hull of decoded points (hull_view.h); otherwise the
// decoded points themselves, in their order, as the "hull": the search
// promises the scan's answer for any polygon.
bool DecodeSearchView(FuzzInput* in, View* view) {
  if (in->Byte() == 0) return DecodeHullView(in, view, kMaxPoints);
  const std::vector<double> xy = DecodePlanarPoints(in, kMaxPoints);
  view->boundary = PolygonFromColumns(xy.data(), xy.size() / 2);
  view->normalizedBoundary = view->boundary;
  view->hull.resize(view->boundary.size());
  std::iota(view->hull.begin(), view->hull.end(), 0);
  return !view->hull.empty();
}

// A point near `e`: moved by up to half the hull's box in each direction,
// in steps of a power of two of it, so that consecutive points walk.
Vec2 Nudge(FuzzInput* in, const Vec2& e, const std::vector<Vec2>& ring) {
  Vec2 lo = ring[0], hi = ring[0];
  for (const Vec2& p : ring) {
    lo = Vec2(std::fmin(lo.x, p.x), std::fmin(lo.y, p.y));
    hi = Vec2(std::fmax(hi.x, p.x), std::fmax(hi.y, p.y));
  }
  const double size = std::fmax(hi.x - lo.x, hi.y - lo.y);
  const double step = std::ldexp(size, -static_cast<int>(in->Byte() % 48));
  const double dx = static_cast<int8_t>(in->Byte()) / 256.0 * step;
  const double dy = static_cast<int8_t>(in->Byte()) / 256.0 * step;
  return Vec2(e.x + dx, e.y + dy);
}

}  // namespace

std::string TangentSearchTarget(const uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  View view;
  if (!DecodeSearchView(&in, &view)) return "";
  const std::vector<Vec2> ring = HullRing(view);
  const TangentSearch search(view);
  const int32_t n = search.NumVertices();
  if (n != view.NumHullVertices()) return "search of another vertex count";

  TangentSearch::Hint carried;
  Vec2 e = DecodeQueryPoint(&in, ring);
  for (std::size_t k = 1 + in.Count(31); k > 0; --k) {
    const TangentPair plain = TangentPoints(view, e);
    bool searched = false;
    const TangentPair fast = search.Find(e, nullptr, &searched);
    if (!SamePair(fast, plain)) {
      return searched ? "search differs from the scan"
                      : "search's own scan differs from the scan";
    }
    const TangentSearch::Hint before = carried;
    bool hinted_search = false;
    const TangentPair from_carried = search.Find(e, &carried, &hinted_search);
    if (!SamePair(from_carried, plain)) {
      return "search from the previous answer differs from the scan";
    }
    if (hinted_search != searched) return "a hint changed who answered";
    if (hinted_search) {
      if (carried.first < 0 || carried.first >= n || carried.second < 0 ||
          carried.second >= n) {
        return "hint left out of range";
      }
      if (!SameBits(view.HullPoint(carried.first), plain.first) ||
          !SameBits(view.HullPoint(carried.second), plain.second)) {
        return "hint left at other vertices than the answer";
      }
    } else if (carried.first != before.first ||
               carried.second != before.second) {
      return "the scan changed the hint";
    }
    // Any positions, out of range included.
    TangentSearch::Hint given;
    given.first = static_cast<int32_t>(in.Below(static_cast<uint32_t>(n) + 4)) - 2;
    given.second =
        static_cast<int32_t>(in.Below(static_cast<uint32_t>(n) + 4)) - 2;
    if (!SamePair(search.Find(e, &given), plain)) {
      return "search from given positions differs from the scan";
    }
    e = in.Bool() ? DecodeQueryPoint(&in, ring) : Nudge(&in, e, ring);
  }
  return "";
}

}  // namespace fuzz
}  // namespace silhouette
