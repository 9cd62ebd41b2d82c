// Dovanel's costs: one residual evaluation of the relative pose model, and
// one start of the multi-start search (a local optimisation), for view sets
// of 2x2, 4x4 and 8x8 views whose silhouettes have about 32, 128 and 512
// hull vertices. The silhouettes are polygons sampled on the exact outline
// of an ellipsoid, so the true pose fits them up to the sampling.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "camera/synthetic_scene.h"
#include "camera/view_set.h"
#include "dovanel/dovanel_entry.h"
#include "dovanel/relative_pose_model.h"
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
class CountingModel : public LeastSquaresModel {
 public:
  explicit CountingModel(RelativePoseModel& model) : model_(model) {}
  void Residuals(gsl_vector* f, const gsl_vector* x) override {
    ++evaluations;
    model_.Residuals(f, x);
  }
  void Jacobian(gsl_matrix* J, const gsl_vector* x) override {
    ++jacobians;
    ForwardDifferenceJacobian(*this, J, x, model_.fdStep);
  }
  int NumResiduals() const override { return model_.NumResiduals(); }
  int NumParams() const override { return model_.NumParams(); }

  int64_t evaluations = 0;
  int64_t jacobians = 0;

 private:
  RelativePoseModel& model_;
};

void BM_ResidualEvaluation(benchmark::State& state) {
  const BenchScene scene = MakeScene(static_cast<int>(state.range(0)),
                                     static_cast<int>(state.range(1)), 1);
  const ViewSet a(scene.viewVecA.get());
  const ViewSet b(scene.viewVecB.get());
  const RelativePoseModel model(a, b);
  const std::vector<double> pose = NearStart(scene.truePose);
  std::vector<double> out(model.NumResiduals());
  for (auto _ : state) {
    model.ResidualsAt(out.data(), pose.data());
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["hull"] = MeanHullSize(a, b);
  state.counters["pairs"] = a.NumViews() * b.NumViews();
}

void BM_Start(benchmark::State& state) {
  const BenchScene scene = MakeScene(static_cast<int>(state.range(0)),
                                     static_cast<int>(state.range(1)), 1);
  const ViewSet a(scene.viewVecA.get());
  const ViewSet b(scene.viewVecB.get());
  RelativePoseModel model(a, b);
  CountingModel counting(model);
  LeastSquaresSolver solver(counting);
  solver.maxIterations = 100;
  solver.relTolerance = 1e-10;
  const std::vector<double> start = NearStart(scene.truePose);
  std::vector<double> result;
  int64_t starts = 0;
  for (auto _ : state) {
    solver.Optimize(start, &result);
    ++starts;
  }
  state.counters["hull"] = MeanHullSize(a, b);
  state.counters["evals_per_start"] =
      static_cast<double>(counting.evaluations) / starts;
  state.counters["jacobians_per_start"] =
      static_cast<double>(counting.jacobians) / starts;
  state.counters["start_rms"] = model.Rms(start);
  state.counters["end_rms"] = model.Rms(result);
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

BENCHMARK(BM_ResidualEvaluation)->Apply(Sizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Start)->Apply(Sizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ViewSetConstruction)->Apply(Sizes)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace silhouette

BENCHMARK_MAIN();
