// The convex hull and the calipers of Pirolet on 10^3 to 10^6 points: random
// in a disc, on a circle in boundary order, and on a circle shuffled; and a
// whole Pirolet call through the entry on a wavy outline in boundary order.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "geometry/planar_hull.h"
#include "host/embedded_host.h"
#include "pirolet/mean_caliper_diameter.h"
#include "pirolet/pirolet_entry.h"

namespace silhouette {
namespace {

enum Layout { kDisc = 0, kCircle = 1, kShuffledCircle = 2 };

Polygon2 Points(int n, int layout) {
  std::mt19937 rng(1);
  std::uniform_real_distribution<double> unit(0, 1);
  Polygon2 points;
  for (int i = 0; i < n; ++i) {
    if (layout == kDisc) {
      const double r = std::sqrt(unit(rng)), a = 2 * M_PI * unit(rng);
      points.emplace_back(r * std::cos(a), r * std::sin(a));
    } else {
      const double a = 2 * M_PI * i / n;
      points.emplace_back(std::cos(a), std::sin(a));
    }
  }
  if (layout == kShuffledCircle)
    std::shuffle(points.begin(), points.end(), rng);
  return points;
}

void Sizes(benchmark::internal::Benchmark* bench) {
  bench->ArgsProduct({{1000, 10000, 100000, 1000000}, {0, 1, 2}})
      ->ArgNames({"points", "layout"})
      ->Unit(benchmark::kMillisecond);
}

void PerPoint(benchmark::State& state, int n) {
  state.counters["ns_per_point"] =
      benchmark::Counter(n, benchmark::Counter::kIsIterationInvariantRate |
                                benchmark::Counter::kInvert);
}

// layout 0: disc, 1: circle in boundary order, 2: circle shuffled.
void BM_PlanarHull(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const Polygon2 points = Points(n, static_cast<int>(state.range(1)));
  int32_t hull_size = 0;
  for (auto _ : state) {
    PlanarHull hull(n, points.data());
    hull.Compute(0.001);
    hull_size = hull.NumVertices();
    benchmark::DoNotOptimize(hull.VertexIndices(false));
  }
  state.counters["hull"] = hull_size;
  PerPoint(state, n);
}

void BM_MeanCaliperDiameter(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const Polygon2 points = Points(n, static_cast<int>(state.range(1)));
  PlanarHull hull(n, points.data());
  hull.Compute(0.001);
  const int32_t* indices = hull.VertexIndices(false);
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        MeanCaliperDiameter(points, indices, hull.NumVertices()));
  }
  state.counters["hull"] = hull.NumVertices();
}

// A closed, wavy outline in boundary order, as a traced silhouette comes:
// half of its points lie in dents, inside the hull.
void BM_PiroletWavyOutline(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  std::vector<double> xy;
  for (int i = 0; i < n; ++i) {
    const double a = 2 * M_PI * i / n;
    const double r = 10 + std::sin(7 * a) + 0.3 * std::cos(23 * a);
    xy.push_back(r * std::cos(a));
    xy.push_back(0.7 * r * std::sin(a));
  }
  const host::ArrayPtr poly = host::MakeMatrix(2, n, xy);
  for (auto _ : state) {
    const host::CallResult r = host::CallEntry(PiroletMain, 2, {poly.get()});
    benchmark::DoNotOptimize(r.outputs.data());
  }
  PerPoint(state, n);
}

BENCHMARK(BM_PlanarHull)->Apply(Sizes);
BENCHMARK(BM_MeanCaliperDiameter)->Apply(Sizes);
BENCHMARK(BM_PiroletWavyOutline)
    ->RangeMultiplier(10)
    ->Range(1000, 1000000)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace silhouette

BENCHMARK_MAIN();
