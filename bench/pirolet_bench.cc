// The convex hull and the calipers of Pirolet on 10^3 to 10^6 points: random
// in a disc, on a circle in boundary order, on a circle shuffled, and a
// traced outline (the pixel chain of a wavy blob, in boundary order); and a
// whole Pirolet call through the entry on the traced outline. The plain
// incremental hull the fast one replaced (the test code's reference) is
// timed beside it in the same run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "geometry/planar_hull.h"
#include "geometry/testing/hull_point_sets.h"
#include "geometry/testing/reference_planar_hull.h"
#include "host/embedded_host.h"
#include "pirolet/mean_caliper_diameter.h"
#include "pirolet/pirolet_entry.h"

namespace silhouette {
namespace {

enum Layout { kDisc = 0, kCircle = 1, kShuffledCircle = 2, kTraced = 3 };

// About n points; exactly n but for the traced outline.
Polygon2 Points(int n, int layout) {
  if (layout == kTraced) return testing::TracedOutline(n / 7.93);
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
  bench->ArgsProduct({{1000, 10000, 100000, 1000000}, {0, 1, 2, 3}})
      ->ArgNames({"points", "layout"})
      ->Unit(benchmark::kMillisecond);
}

void PerPoint(benchmark::State& state, int n) {
  state.counters["points"] = n;
  state.counters["ns_per_point"] =
      benchmark::Counter(n, benchmark::Counter::kIsIterationInvariantRate |
                                benchmark::Counter::kInvert);
}

// layout 0: disc, 1: circle in boundary order, 2: circle shuffled, 3: traced
// outline.
template <typename Hull>
void HullBench(benchmark::State& state) {
  const Polygon2 points =
      Points(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  const int n = static_cast<int>(points.size());
  int32_t hull_size = 0;
  for (auto _ : state) {
    Hull hull(n, points.data());
    hull.Compute(0.001);
    hull_size = hull.NumVertices();
    benchmark::DoNotOptimize(hull.VertexIndices(false));
  }
  state.counters["hull"] = hull_size;
  PerPoint(state, n);
}

void BM_PlanarHull(benchmark::State& state) { HullBench<PlanarHull>(state); }
void BM_ReferenceHull(benchmark::State& state) {
  HullBench<ReferencePlanarHull>(state);
}

void BM_MeanCaliperDiameter(benchmark::State& state) {
  const Polygon2 points =
      Points(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  const int n = static_cast<int>(points.size());
  PlanarHull hull(n, points.data());
  hull.Compute(0.001);
  const int32_t* indices = hull.VertexIndices(false);
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        MeanCaliperDiameter(points, indices, hull.NumVertices()));
  }
  state.counters["hull"] = hull.NumVertices();
}

// A whole Pirolet call on a traced outline of about n points.
void BM_PiroletTracedOutline(benchmark::State& state) {
  const Polygon2 points = Points(static_cast<int>(state.range(0)), kTraced);
  std::vector<double> xy;
  for (const Vec2& p : points) {
    xy.push_back(p.x);
    xy.push_back(p.y);
  }
  const host::ArrayPtr poly = host::MakeMatrix(2, points.size(), xy);
  for (auto _ : state) {
    const host::CallResult r = host::CallEntry(PiroletMain, 2, {poly.get()});
    benchmark::DoNotOptimize(r.outputs.data());
  }
  PerPoint(state, static_cast<int>(points.size()));
}

BENCHMARK(BM_ReferenceHull)->Apply(Sizes);
BENCHMARK(BM_PlanarHull)->Apply(Sizes);
BENCHMARK(BM_MeanCaliperDiameter)->Apply(Sizes);
BENCHMARK(BM_PiroletTracedOutline)
    ->Arg(2000)
    ->RangeMultiplier(10)
    ->Range(1000, 1000000)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace silhouette

BENCHMARK_MAIN();
