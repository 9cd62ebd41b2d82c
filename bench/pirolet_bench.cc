// Pirolet: the hull and the calipers on outlines of growing size, through
// the entry as a user calls it.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "host/embedded_host.h"
#include "pirolet/pirolet_entry.h"

namespace silhouette {
namespace {

// A closed, wavy outline in boundary order (as a traced silhouette comes),
// or the same points shuffled.
host::ArrayPtr Outline(int n, bool shuffled) {
  std::vector<double> xy;
  for (int i = 0; i < n; ++i) {
    const double a = 2 * M_PI * i / n;
    const double r = 10 + std::sin(7 * a) + 0.3 * std::cos(23 * a);
    xy.push_back(r * std::cos(a));
    xy.push_back(0.7 * r * std::sin(a));
  }
  if (shuffled) {
    std::mt19937 rng(1);
    for (int i = n - 1; i > 0; --i) {
      const int j = std::uniform_int_distribution<int>(0, i)(rng);
      std::swap(xy[2 * i], xy[2 * j]);
      std::swap(xy[2 * i + 1], xy[2 * j + 1]);
    }
  }
  return host::MakeMatrix(2, n, xy);
}

void BM_Pirolet(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const host::ArrayPtr poly = Outline(n, state.range(1) != 0);
  std::size_t hull = 0;
  for (auto _ : state) {
    const host::CallResult r = host::CallEntry(PiroletMain, 2, {poly.get()});
    hull = mxGetN(r.outputs[1].get());
    benchmark::DoNotOptimize(hull);
  }
  state.counters["hull"] = static_cast<double>(hull);
  state.counters["ns_per_point"] = benchmark::Counter(
      static_cast<double>(n), benchmark::Counter::kIsIterationInvariantRate |
                                  benchmark::Counter::kInvert);
}

BENCHMARK(BM_Pirolet)
    ->ArgsProduct({{1000, 10000, 100000, 1000000}, {0, 1}})
    ->ArgNames({"points", "shuffled"})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace silhouette

BENCHMARK_MAIN();
