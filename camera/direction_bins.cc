// The direction index of a view's hull.
#include <cmath>
#include <vector>

#include "camera/view.h"

namespace silhouette {

void View::BuildDirectionBins(int32_t binCount) {
  const double pi = 4 * std::atan2(1.0, 1.0);
  directionBins.assign(binCount > 0 ? binCount : 0, {});
  const int32_t m = NumHullVertices();
  if (binCount <= 0 || m == 0) return;
  auto point = [this](int32_t k) { return scaledBoundary[hull[k]]; };

  // The value of each edge's line direction in [0, binCount), with a
  // vertical edge in bin 0.
  std::vector<double> value(m);
  bool directed = true;
  for (int32_t l = 0; l < m; ++l) {
    const int32_t next = l == m - 1 ? 0 : l + 1;
    const Vec2 a = point(l), b = point(next);
    double v =
        (std::atan((a.y - b.y) / (a.x - b.x)) + pi * 0.5) / pi * binCount;
    const bool finite = std::isfinite(a.x) && std::isfinite(a.y) &&
                        std::isfinite(b.x) && std::isfinite(b.y);
    if (!finite || !(v >= 0 && v <= binCount)) {
      directed = false;  // 0 / 0, or a coordinate that is not finite
      break;
    }
    if (static_cast<int32_t>(v) == binCount) v = 0;
    value[l] = v;
  }
  // A point or a segment touches the support lines of every direction with
  // every vertex; its two edges share one line, so the ranges below would
  // collapse to one bin.
  if (!directed || m < 3) {
    for (std::vector<int32_t>& bin : directionBins) {
      for (int32_t k = 0; k < m; ++k) bin.push_back(k);
    }
    return;
  }

  for (int32_t v = 0; v < m; ++v) {
    const double a = value[v == 0 ? m - 1 : v - 1];  // edge arriving at v
    const double b = value[v];                       // edge leaving v
    const int32_t ta = static_cast<int32_t>(a);
    const int32_t tb = static_cast<int32_t>(b);
    if (a > b) {
      // The range wraps past the last bin. When it comes back into the bin
      // it started in (an edge turn of almost a half turn, or a rounding
      // that turns slightly backwards), that bin is listed once.
      for (int32_t i = ta; i <= binCount - 1; ++i)
        directionBins[i].push_back(v);
      const int32_t end = tb < ta ? tb : ta - 1;
      for (int32_t i = 0; i <= end; ++i) directionBins[i].push_back(v);
    } else {
      for (int32_t i = ta; i <= tb; ++i) directionBins[i].push_back(v);
    }
  }
}

}  // namespace silhouette
