// Dovanel's costs, the plain implementation as it was before the search
// was made faster (ReferencePoseModel: a scan over every hull vertex,
// sequential starts) and the current one measured side by side in one
// run: one residual evaluation, one start of the multi-start search (a
// local optimisation of at most 20 iterations from a start near the
// answer), for view sets of 2x2, 4x4 and 8x8 views whose silhouettes have
// about 32, 128 and 512 hull vertices, and a whole search of 16 starts at
// 8x8 views and 512 vertices on 1 and 2 threads. The silhouettes are
// polygons sampled on the exact outline of an ellipsoid, so the true pose
// fits them up to the sampling.
//
// The first argument of the side-by-side benchmarks is the
// implementation: 0 the plain one, 1 the current one. For the table and
// the plot in docs/benchmarks.md:
//   build/bench/dovanel_bench --benchmark_out=bench/dovanel_bench.json
//     --benchmark_out_format=json
//   /usr/bin/python3 bench/dovanel_bench_plot.py bench/dovanel_bench.json
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "camera/synthetic_scene.h"
#include "camera/view_set.h"
#include "dovanel/dovanel_entry.h"
#include "dovanel/dovanel_solve.h"
#include "dovanel/multi_start_search.h"
#include "dovanel/relative_pose_model.h"
#include "dovanel/testing/reference_pose_model.h"
#include "host/embedded_host.h"
#include "lsq/least_squares_model.h"
#include "lsq/least_squares_solver.h"

namespace silhouette {
namespace {

// Half-axes of the ellipsoid, centred at A's origin.
const Vec3 kAxes(1.0, 0.7, 0.5);

// `count` points of the outline of the ellipsoid seen by `camera`: the
// contour generator {X = D u : |u| = 1, u . g = -1}, g = D^-1 (0 - centre),
// projected.
Polygon2 EllipsoidOutline(const Camera& camera, const Vec3& centre, int count) {
  const Vec3 g(-centre.x / kAxes.x, -centre.y / kAxes.y, -centre.z / kAxes.z);
  const double g_length = g.Length();
  const Vec3 n = g * (1 / g_length);
  const Vec3 helper = std::abs(n.x) < 0.9 ? Vec3(1, 0, 0) : Vec3(0, 1, 0);
  const Vec3 e1 = n.Cross(helper).Normalized();
  const Vec3 e2 = n.Cross(e1);
  const double radius = std::sqrt(1 - 1 / (g_length * g_length));
  Polygon2 outline;
  for (int k = 0; k < count; ++k) {
    const double theta = 2 * 3.141592653589793 * k / count;
    const Vec3 u = n * (-1 / g_length) +
                   (e1 * std::cos(theta) + e2 * std::sin(theta)) * radius;
    outline.push_back(
        camera.Project(Vec3(kAxes.x * u.x, kAxes.y * u.y, kAxes.z * u.z)));
  }
  return outline;
}

struct BenchScene {
  std::vector<double> truePose;
  host::ArrayPtr viewVecA;
  host::ArrayPtr viewVecB;
};

BenchScene MakeScene(int views, int outline_points, unsigned seed) {
  std::mt19937 rng(seed);
  std::normal_distribution<double> normal(0, 1);
  BenchScene scene;
  const double half = 0.4;
  Vec3 axis(normal(rng), normal(rng), normal(rng));
  axis = axis.Normalized();
  scene.truePose = {axis.x * std::sin(half),
                    axis.y * std::sin(half),
                    axis.z * std::sin(half),
                    std::cos(half),
                    0.4,
                    -0.3,
                    0.6};
  const Mat4 t = PoseToMatrix(scene.truePose.data());
  std::vector<Camera> cameras_a;
  std::vector<Camera> cameras_b;
  std::vector<Polygon2> outlines_a;
  std::vector<Polygon2> outlines_b;
  while (static_cast<int>(cameras_a.size() + cameras_b.size()) < 2 * views) {
    const Vec3 d =
        Vec3(normal(rng), normal(rng), normal(rng)).Normalized() * 6.0;
    const Camera camera =
        testing::LookAtCamera(d, Vec3(0, 0, 0), 800, 320, 240);
    const Polygon2 outline = EllipsoidOutline(camera, d, outline_points);
    if (static_cast<int>(cameras_a.size()) < views) {
      cameras_a.push_back(camera);
      outlines_a.push_back(outline);
    } else {
      Camera in_b = camera;
      in_b.pose = camera.pose * t;
      cameras_b.push_back(in_b);
      outlines_b.push_back(outline);
    }
  }
  scene.viewVecA = testing::MakeViewVec(cameras_a, outlines_a);
  scene.viewVecB = testing::MakeViewVec(cameras_b, outlines_b);
  return scene;
}

// The start: the true rotation turned by 3 degrees, the translation moved by
// 3 percent of its length.
std::vector<double> NearStart(const std::vector<double>& pose) {
  const double h = 1.5 * 3.141592653589793 / 180;
  const double s = std::sin(h);
  const double c = std::cos(h);
  // (s, 0, 0, c) * q, quaternions stored (x, y, z, w).
  std::vector<double> start = {
      c * pose[0] + s * pose[3], c * pose[1] - s * pose[2],
      c * pose[2] + s * pose[1], c * pose[3] - s * pose[0]};
  const double length =
      std::sqrt(pose[4] * pose[4] + pose[5] * pose[5] + pose[6] * pose[6]);
  start.push_back(pose[4] + 0.03 * length);
  start.push_back(pose[5]);
  start.push_back(pose[6]);
  return start;
}

double MeanHullSize(const ViewSet& a, const ViewSet& b) {
  double sum = 0;
  for (const View& v : a.views) sum += v.NumHullVertices();
  for (const View& v : b.views) sum += v.NumHullVertices();
  return sum / (a.NumViews() + b.NumViews());
}

// Counts the residual evaluations the solver asks for, the seven of every
// forward-difference Jacobian included, and hands them to the model.
template <typename Model>
class CountingModel : public LeastSquaresModel {
 public:
  explicit CountingModel(Model& model) : model_(model) {}
  void Residuals(gsl_vector* f, const gsl_vector* x) override {
    ++evaluations;
    model_.Residuals(f, x);
  }
  void Jacobian(gsl_matrix* J, const gsl_vector* x) override {
    ++jacobians;
    evaluations += 8;
    model_.Jacobian(J, x);
  }
  int NumResiduals() const override { return model_.NumResiduals(); }
  int NumParams() const override { return model_.NumParams(); }

  int64_t evaluations = 0;
  int64_t jacobians = 0;

 private:
  Model& model_;
};

// The poses of one forward-difference Jacobian: the start and its seven
// steps of 1e-6, which an evaluation meets in turn inside a start.
std::vector<std::vector<double>> JacobianPoses(const std::vector<double>& x) {
  std::vector<std::vector<double>> poses = {x};
  for (int j = 0; j < 7; ++j) {
    poses.push_back(x);
    poses.back()[j] += 1e-6;
  }
  return poses;
}

template <typename Model>
void Evaluate(benchmark::State& state, const ViewSet& a, const ViewSet& b,
              const std::vector<double>& start) {
  const Model model(a, b);
  const std::vector<std::vector<double>> poses = JacobianPoses(start);
  std::vector<double> out(model.NumResiduals());
  std::size_t k = 0;
  for (auto _ : state) {
    model.ResidualsAt(out.data(), poses[k].data());
    k = (k + 1) % poses.size();
    benchmark::DoNotOptimize(out.data());
  }
}

// Args: implementation, views per set, outline points.
void BM_ResidualEvaluation(benchmark::State& state) {
  const BenchScene scene = MakeScene(static_cast<int>(state.range(1)),
                                     static_cast<int>(state.range(2)), 1);
  const ViewSet a(scene.viewVecA.get());
  const ViewSet b(scene.viewVecB.get());
  const std::vector<double> start = NearStart(scene.truePose);
  if (state.range(0) == 0) {
    Evaluate<testing::ReferencePoseModel>(state, a, b, start);
  } else {
    Evaluate<RelativePoseModel>(state, a, b, start);
  }
  state.counters["hull"] = MeanHullSize(a, b);
  state.counters["pairs"] = a.NumViews() * b.NumViews();
}

template <typename Model>
void Starts(benchmark::State& state, const ViewSet& a, const ViewSet& b,
            const std::vector<double>& start) {
  Model model(a, b);
  CountingModel<Model> counting(model);
  LeastSquaresSolver solver(counting);
  solver.maxIterations = 20;
  solver.relTolerance = 1e-10;
  std::vector<double> result;
  int64_t starts = 0;
  for (auto _ : state) {
    solver.Optimize(start, &result);
    ++starts;
  }
  state.counters["evals_per_start"] =
      static_cast<double>(counting.evaluations) / starts;
  state.counters["start_rms"] = model.Rms(start);
  state.counters["end_rms"] = model.Rms(result);
}

// Args: implementation, views per set, outline points.
void BM_Start(benchmark::State& state) {
  const BenchScene scene = MakeScene(static_cast<int>(state.range(1)),
                                     static_cast<int>(state.range(2)), 1);
  const ViewSet a(scene.viewVecA.get());
  const ViewSet b(scene.viewVecB.get());
  const std::vector<double> start = NearStart(scene.truePose);
  if (state.range(0) == 0) {
    Starts<testing::ReferencePoseModel>(state, a, b, start);
  } else {
    Starts<RelativePoseModel>(state, a, b, start);
  }
  state.counters["hull"] = MeanHullSize(a, b);
}

// 16 starts a few degrees and percent off the answer, about varied axes.
std::vector<double> SixteenStarts(const std::vector<double>& pose) {
  std::vector<double> starts;
  for (int k = 0; k < 16; ++k) {
    const double h = (2 + 0.25 * k) * 3.141592653589793 / 360;
    const Vec3 axis = Vec3(std::cos(2.4 * k) * std::sin(1.1 * k + 0.3),
                           std::sin(2.4 * k) * std::sin(1.1 * k + 0.3),
                           std::cos(1.1 * k + 0.3))
                          .Normalized();
    const double s = std::sin(h), c = std::cos(h);
    const double dx = axis.x * s, dy = axis.y * s, dz = axis.z * s;
    // (d, c) * q, quaternions stored (x, y, z, w).
    starts.push_back(c * pose[0] + pose[3] * dx + dy * pose[2] - dz * pose[1]);
    starts.push_back(c * pose[1] + pose[3] * dy + dz * pose[0] - dx * pose[2]);
    starts.push_back(c * pose[2] + pose[3] * dz + dx * pose[1] - dy * pose[0]);
    starts.push_back(c * pose[3] - dx * pose[0] - dy * pose[1] - dz * pose[2]);
    for (int i = 4; i < 7; ++i) starts.push_back(pose[i] * (1 + 0.02 * (k % 4)));
  }
  return starts;
}

// Args: implementation, threads. A whole search as the gateway makes it
// (the model, the starts, the residuals of the best), at 8x8 views and 512
// vertices: the plain one sequential, the current one on 1 and 2 threads.
void BM_SixteenStarts(benchmark::State& state) {
  const BenchScene scene = MakeScene(8, 512, 1);
  const ViewSet a(scene.viewVecA.get());
  const ViewSet b(scene.viewVecB.get());
  const std::vector<double> starts = SixteenStarts(scene.truePose);
  const SolverSettings settings{20, 1e-10};
  double rms = 0;
  for (auto _ : state) {
    if (state.range(0) == 0) {
      testing::ReferencePoseModel model(a, b);
      LeastSquaresSolver solver(model);
      solver.maxIterations = settings.maxIterations;
      solver.relTolerance = settings.relTolerance;
      BestStart best;
      std::vector<double> start(7), result;
      for (std::size_t i = 0; i < 16; ++i) {
        start.assign(starts.begin() + 7 * i, starts.begin() + 7 * (i + 1));
        result.assign(7, 0.0);
        solver.Optimize(start, &result);
        best.Offer(model.Rms(result), result);
      }
      std::vector<double> residuals(model.NumResiduals());
      model.ResidualsAt(residuals.data(), best.pose().data());
      rms = best.rms();
    } else {
      const DovanelSolution s =
          SolveDovanel(a, b, starts.data(), 16, settings,
                       static_cast<int>(state.range(1)));
      rms = s.rms;
    }
    benchmark::DoNotOptimize(rms);
  }
  state.counters["best_rms"] = rms;
}

// Reading both view sets alone (boundaries, hulls, cameras, reference
// points, direction indices), with its share of a whole one-start Dovanel
// call ([100; 1e-10]) on the same scene measured beside it.
void BM_ViewSetConstruction(benchmark::State& state) {
  const BenchScene scene = MakeScene(static_cast<int>(state.range(0)),
                                     static_cast<int>(state.range(1)), 1);
  for (auto _ : state) {
    const ViewSet a(scene.viewVecA.get());
    const ViewSet b(scene.viewVecB.get());
    benchmark::DoNotOptimize(a.views.data());
    benchmark::DoNotOptimize(b.views.data());
  }
  const std::vector<double> start = NearStart(scene.truePose);
  host::ArrayPtr starts = host::MakeMatrix(7, 1, start);
  host::ArrayPtr settings = host::MakeMatrix(2, 1, {100, 1e-10});
  using Clock = std::chrono::steady_clock;
  double read = 0, call = 0;
  for (int round = 0; round < 3; ++round) {
    const Clock::time_point t0 = Clock::now();
    const ViewSet a(scene.viewVecA.get());
    const ViewSet b(scene.viewVecB.get());
    const Clock::time_point t1 = Clock::now();
    const host::CallResult r =
        host::CallEntry(DovanelMain, 3,
                        {scene.viewVecA.get(), scene.viewVecB.get(),
                         starts.get(), settings.get()});
    const Clock::time_point t2 = Clock::now();
    benchmark::DoNotOptimize(r.outputs.data());
    read += std::chrono::duration<double>(t1 - t0).count();
    call += std::chrono::duration<double>(t2 - t1).count();
  }
  state.counters["share_of_call"] = read / call;
}

void Sizes(benchmark::internal::Benchmark* b) {
  for (int views : {2, 4, 8}) {
    for (int hull : {32, 128, 512}) b->Args({views, hull});
  }
}

void SideBySide(benchmark::internal::Benchmark* b) {
  for (int views : {2, 4, 8}) {
    for (int hull : {32, 128, 512}) {
      for (int implementation : {0, 1}) b->Args({implementation, views, hull});
    }
  }
}

BENCHMARK(BM_ResidualEvaluation)
    ->Apply(SideBySide)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Start)->Apply(SideBySide)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SixteenStarts)
    ->Args({0, 1})
    ->Args({1, 1})
    ->Args({1, 2})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ViewSetConstruction)->Apply(Sizes)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace silhouette

BENCHMARK_MAIN();
