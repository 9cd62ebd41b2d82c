// Kestrim's costs for V = 4, 8, 16 and 32 views whose silhouettes have
// 32, 128, 256 and 512 hull vertices: the viewing-edge computation on a
// read view set, the previous release's computation (law of sines) on the
// same set beside it, the whole module entry through the embedded host,
// and a brute-force reference that clips every ray against every edge of
// every other hull. Each run reports the number of (ray, other view) queries,
// V (V - 1) times the hull size, and the time per query; the silhouettes
// are sampled on the exact outline of a sphere, so every view is
// consistent with every other.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "camera/synthetic_scene.h"
#include "camera/view_set.h"
#include "geometry/mat4.h"
#include "host/embedded_host.h"
#include "kestrim/kestrim_entry.h"
#include "kestrim/reference/previous_query.h"
#include "kestrim/viewing_edge_extractor.h"

namespace silhouette {
namespace {

const double kPi = 3.141592653589793;
const double kSphereRadius = 1.5;
const double kCameraDistance = 6.0;

Vec3 CameraCentre(const Camera& camera) {
  const Mat4 inv = camera.pose.Inverse();
  return Vec3(inv[0][3], inv[1][3], inv[2][3]);
}

// `count` points of the outline of the sphere around the origin seen by
// `camera`: its rim circle, projected, from a random start angle.
Polygon2 SphereOutline(const Camera& camera, int count, std::mt19937* rng) {
  const Vec3 c = CameraCentre(camera);
  const double d = c.Length();
  const Vec3 n = c * (1 / d);
  const Vec3 helper = std::abs(n.x) < 0.9 ? Vec3(1, 0, 0) : Vec3(0, 1, 0);
  const Vec3 e1 = n.Cross(helper).Normalized();
  const Vec3 e2 = n.Cross(e1);
  const double rho = kSphereRadius;
  const Vec3 rim_centre = n * (rho * rho / d);
  const double rim_radius = rho * std::sqrt(1 - rho * rho / (d * d));
  std::uniform_real_distribution<double> phase(0, 2 * kPi);
  const double start = phase(*rng);
  Polygon2 outline;
  for (int k = 0; k < count; ++k) {
    const double theta = start + 2 * kPi * k / count;
    outline.push_back(camera.Project(
        rim_centre +
        (e1 * std::cos(theta) + e2 * std::sin(theta)) * rim_radius));
  }
  return outline;
}

struct Scene {
  std::vector<Camera> cameras;
  std::vector<Polygon2> boundaries;
  host::ArrayPtr viewVec;
};

Scene MakeScene(int views, int outline_points) {
  std::mt19937 rng(1000u * views + outline_points);
  Scene scene;
  scene.cameras = testing::CamerasAround(&rng, views, kCameraDistance);
  for (const Camera& camera : scene.cameras) {
    scene.boundaries.push_back(SphereOutline(camera, outline_points, &rng));
  }
  scene.viewVec = testing::MakeViewVec(scene.cameras, scene.boundaries);
  return scene;
}

// ------------------------------------------------- brute-force reference

// One view's hull as the homogeneous lines of its edges, each oriented so
// that l . (x, y, 1) >= 0 inside, and its pose.
struct ClipView {
  Mat4 pose;
  std::vector<Vec3> lines;
};

std::vector<ClipView> ClipViews(const ViewSet& set) {
  std::vector<ClipView> clip;
  for (int32_t o = 0; o < set.NumViews(); ++o) {
    const View& view = set.GetView(o);
    const int32_t n = view.NumHullVertices();
    double area = 0;
    for (int32_t k = 0; k < n; ++k) {
      area += view.NormalizedHullPoint(k).Cross(
          view.NormalizedHullPoint((k + 1) % n));
    }
    const double sign = area > 0 ? 1 : -1;
    ClipView c;
    c.pose = view.camera.pose;
    for (int32_t k = 0; k < n; ++k) {
      const Vec2 p = view.NormalizedHullPoint(k);
      const Vec2 e = view.NormalizedHullPoint((k + 1) % n) - p;
      c.lines.push_back(
          Vec3(-e.y * sign, e.x * sign, (e.y * p.x - e.x * p.y) * sign));
    }
    clip.push_back(c);
  }
  return clip;
}

// The stretch [lower, upper] of the ray centre + t dir, t >= 0, whose image
// lies in front of the view's camera and inside its hull; lower > upper
// when empty. Every edge of the hull is tested.
void ClipRay(const ClipView& view, const Vec3& centre, const Vec3& dir,
             double* lower, double* upper) {
  const Vec4 a4 = view.pose * Vec4::FromPoint(centre);
  const Vec4 b4 = view.pose * Vec4(dir.x, dir.y, dir.z, 0);
  const Vec3 a(a4.x, a4.y, a4.z), b(b4.x, b4.y, b4.z);
  auto narrow = [lower, upper](double c0, double c1) {
    if (c1 > 0) {
      *lower = std::max(*lower, -c0 / c1);
    } else if (c1 < 0) {
      *upper = std::min(*upper, -c0 / c1);
    } else if (c0 < 0) {
      *upper = -1;
    }
  };
  narrow(a.z, b.z);
  for (const Vec3& line : view.lines) narrow(line.Dot(a), line.Dot(b));
}

// The viewing edges by brute force: the same rays, clipped against every
// edge of every other hull.
std::vector<ViewingEdge> BruteForceEdges(const ViewSet& set,
                                         const std::vector<ClipView>& clip) {
  std::vector<ViewingEdge> edges;
  const int32_t v = set.NumViews();
  if (v < 2) return edges;
  for (int32_t n = 0; n < v; ++n) {
    const View& view = set.GetView(n);
    const Mat4 inv = view.camera.pose.Inverse();
    const Vec3 centre(inv[0][3], inv[1][3], inv[2][3]);
    for (int32_t u = 0; u < view.NumHullVertices(); ++u) {
      const Vec2 p = view.NormalizedHullPoint(u);
      const Vec4 x = inv * Vec4(p.x, p.y, 1, 1);
      const Vec3 dir = (x.ToVec3() - centre).Normalized();
      double lower = 0;
      double upper = std::numeric_limits<double>::infinity();
      for (int32_t j = 0; j < v; ++j) {
        if (j != n) ClipRay(clip[j], centre, dir, &lower, &upper);
      }
      if (lower > upper) continue;
      edges.push_back(
          ViewingEdge{centre + dir * lower, centre + dir * upper, n});
    }
  }
  return edges;
}

// ------------------------------------------------------------ counters

double Queries(const ViewSet& set) {
  double rays = 0;
  for (int32_t o = 0; o < set.NumViews(); ++o) {
    rays += set.GetView(o).NumHullVertices();
  }
  return rays * (set.NumViews() - 1);
}

void SetCounters(benchmark::State& state, const ViewSet& set,
                 std::size_t edges) {
  const double queries = Queries(set);
  state.counters["hull"] = queries / (set.NumViews() * (set.NumViews() - 1.0));
  state.counters["queries"] = queries;
  state.counters["edges"] = static_cast<double>(edges);
  // Time per (ray, other view) query.
  state.counters["per_query"] = benchmark::Counter(
      queries, benchmark::Counter::kIsIterationInvariantRate |
                   benchmark::Counter::kInvert);
}

// Edges of the index-based computation that differ from the brute force
// (by presence, or by more than 1e-6 in an end point).
double Mismatches(const std::vector<ViewingEdge>& a,
                  const std::vector<ViewingEdge>& b) {
  double count = 0;
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const double gap = std::max((a[i].near - b[j].near).Length(),
                                (a[i].far - b[j].far).Length());
    if (a[i].view == b[j].view && gap < 1e-6) {
      ++i;
      ++j;
    } else {
      ++count;
      // Skip the record of the list that is behind.
      if (a[i].view < b[j].view ||
          (a[i].view == b[j].view && a[i].near.Length() < b[j].near.Length())) {
        ++i;
      } else {
        ++j;
      }
    }
  }
  return count + static_cast<double>(a.size() - i + b.size() - j);
}

// -------------------------------------------------------------- benches

void BM_ComputeViewingEdges(benchmark::State& state) {
  const Scene scene = MakeScene(static_cast<int>(state.range(0)),
                                static_cast<int>(state.range(1)));
  const ViewSet set(scene.viewVec.get());
  std::size_t edges = 0;
  for (auto _ : state) {
    ViewingEdgeExtractor extractor;
    extractor.ComputeViewingEdges(set);
    edges = extractor.edges.size();
    benchmark::DoNotOptimize(extractor.edges.data());
  }
  SetCounters(state, set, edges);
  ViewingEdgeExtractor extractor;
  extractor.ComputeViewingEdges(set);
  state.counters["mismatch"] =
      Mismatches(extractor.edges, BruteForceEdges(set, ClipViews(set)));
}

// The previous release's query, on the same scenes (where its cameras all
// see each other in front, so its answers are right); mismatch counts its
// edges that differ from the brute force.
void BM_PreviousQuery(benchmark::State& state) {
  const Scene scene = MakeScene(static_cast<int>(state.range(0)),
                                static_cast<int>(state.range(1)));
  const ViewSet set(scene.viewVec.get());
  std::size_t edges = 0;
  for (auto _ : state) {
    std::vector<ViewingEdge> result;
    PreviousQueryEdges(set, &result);
    edges = result.size();
    benchmark::DoNotOptimize(result.data());
  }
  SetCounters(state, set, edges);
  std::vector<ViewingEdge> result;
  PreviousQueryEdges(set, &result);
  state.counters["mismatch"] =
      Mismatches(result, BruteForceEdges(set, ClipViews(set)));
}

void BM_KestrimEntry(benchmark::State& state) {
  const Scene scene = MakeScene(static_cast<int>(state.range(0)),
                                static_cast<int>(state.range(1)));
  std::size_t edges = 0;
  for (auto _ : state) {
    const host::CallResult r =
        host::CallEntry(KestrimMain, 3, {scene.viewVec.get()});
    edges = mxGetN(r.outputs[0].get());
    benchmark::DoNotOptimize(edges);
  }
  const ViewSet set(scene.viewVec.get());
  SetCounters(state, set, edges);
}

void BM_BruteForceClip(benchmark::State& state) {
  const Scene scene = MakeScene(static_cast<int>(state.range(0)),
                                static_cast<int>(state.range(1)));
  const ViewSet set(scene.viewVec.get());
  std::size_t edges = 0;
  for (auto _ : state) {
    const std::vector<ClipView> clip = ClipViews(set);
    const std::vector<ViewingEdge> result = BruteForceEdges(set, clip);
    edges = result.size();
    benchmark::DoNotOptimize(result.data());
  }
  SetCounters(state, set, edges);
}

// Reading the view set alone (boundaries, hulls, cameras, reference point,
// direction index), with its share of a whole Kestrim call on the same
// scene measured beside it.
void BM_ViewSetConstruction(benchmark::State& state) {
  const Scene scene = MakeScene(static_cast<int>(state.range(0)),
                                static_cast<int>(state.range(1)));
  for (auto _ : state) {
    const ViewSet set(scene.viewVec.get());
    benchmark::DoNotOptimize(set.views.data());
  }
  using Clock = std::chrono::steady_clock;
  double read = 0, call = 0;
  for (int round = 0; round < 5; ++round) {
    const Clock::time_point t0 = Clock::now();
    const ViewSet set(scene.viewVec.get());
    const Clock::time_point t1 = Clock::now();
    const host::CallResult r =
        host::CallEntry(KestrimMain, 3, {scene.viewVec.get()});
    const Clock::time_point t2 = Clock::now();
    benchmark::DoNotOptimize(r.outputs.data());
    read += std::chrono::duration<double>(t1 - t0).count();
    call += std::chrono::duration<double>(t2 - t1).count();
  }
  state.counters["share_of_call"] = read / call;
}

void Sizes(benchmark::internal::Benchmark* bench) {
  for (int views : {4, 8, 16, 32}) {
    for (int points : {32, 128, 256, 512}) bench->Args({views, points});
  }
  bench->ArgNames({"V", "points"})->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_ComputeViewingEdges)->Apply(Sizes);
BENCHMARK(BM_PreviousQuery)->Apply(Sizes);
BENCHMARK(BM_KestrimEntry)->Apply(Sizes);
BENCHMARK(BM_BruteForceClip)->Apply(Sizes);
BENCHMARK(BM_ViewSetConstruction)->Apply(Sizes);

}  // namespace
}  // namespace silhouette

BENCHMARK_MAIN();
