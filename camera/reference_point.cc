#include "camera/reference_point.h"

#include <vector>

#include "geometry/dense_matrix.h"
#include "geometry/error_text.h"
#include "geometry/solve_linear_system.h"
#include "lsq/least_squares_solver.h"
#include "lsq/point_triangulation_model.h"

namespace silhouette {
namespace {

constexpr int kMaxIterations = 50;
constexpr double kRelTolerance = 1e-4;
constexpr int kDirectionBins = 100;

Vec2 VertexMean(const View& view) {
  const int32_t m = view.NumHullVertices();
  Vec2 sum = Vec2::kZero;
  for (int32_t k = 0; k < m; ++k) sum = sum + view.HullPoint(k);
  return m > 0 ? sum * (1.0 / m) : view.boundary[0];
}

// Depth of `point` in the camera: row 2 of the pose applied to (point, 1).
double Depth(const Camera& camera, const Vec3& point) {
  const Mat4& p = camera.pose;
  return p[2][0] * point.x + p[2][1] * point.y + p[2][2] * point.z + p[2][3];
}

void ScaleAndIndex(View* view, double depth) {
  view->scaledBoundary.clear();
  view->scaledBoundary.reserve(view->normalizedBoundary.size());
  for (const Vec2& p : view->normalizedBoundary) {
    view->scaledBoundary.emplace_back(depth * p.x, depth * p.y);
  }
  view->BuildDirectionBins(kDirectionBins);
}

// The point solving the first three equations "X projects to the centroid".
Vec3 LinearEstimate(const std::vector<View>& views,
                    const std::vector<Vec2>& centroids) {
  const int32_t n = static_cast<int32_t>(views.size());
  DenseMatrix a(2 * n, 3);
  std::vector<double> b(2 * n);
  for (int32_t i = 0; i < n; ++i) {
    const Camera& camera = views[i].camera;
    const Vec2 xn = camera.ImageToNormalized(centroids[i]);
    const Mat3 r = camera.R();
    const Vec3 t = camera.T();
    for (int c = 0; c < 3; ++c) {
      a[2 * i][c] = r[0][c] - xn.x * r[2][c];
      a[2 * i + 1][c] = r[1][c] - xn.y * r[2][c];
    }
    b[2 * i] = xn.x * t.z - t.x;
    b[2 * i + 1] = xn.y * t.z - t.y;
  }
  std::vector<double> x;
  if (!SolveLinearSystem(a, b, &x)) {
    throw ErrorText("Failed to solve linear system.");
  }
  return Vec3(x[0], x[1], x[2]);
}

}  // namespace

Vec2 HullCentroid(const View& view) {
  const int32_t m = view.NumHullVertices();
  if (m < 3) return VertexMean(view);
  auto x = [&](int32_t j) { return view.HullPoint(((j % m) + m) % m).x; };
  auto y = [&](int32_t j) { return view.HullPoint(((j % m) + m) % m).y; };
  double area = 0;
  double cx = 0;
  double cy = 0;
  for (int32_t j = 1; j <= m; ++j) {
    area += x(j) * (y(j + 1) - y(j - 1));
    const double d = x(j) * y(j + 1) - x(j + 1) * y(j);
    cx += d * (x(j) + x(j + 1));
    cy += d * (y(j) + y(j + 1));
  }
  area *= 0.5;
  if (area == 0) return VertexMean(view);
  return Vec2(cx, cy) / (area * 6);
}

void PrepareReferencePoint(std::vector<View>* views) {
  if (views->size() < 2) {
    for (View& view : *views) ScaleAndIndex(&view, 1.0);
    return;
  }
  std::vector<Vec2> centroids;
  std::vector<Camera> cameras;
  for (const View& view : *views) {
    centroids.push_back(HullCentroid(view));
    cameras.push_back(view.camera);
  }
  const Vec3 estimate = LinearEstimate(*views, centroids);

  PointTriangulationModel model(centroids, cameras);
  LeastSquaresSolver solver(model);
  solver.maxIterations = kMaxIterations;
  solver.relTolerance = kRelTolerance;
  std::vector<double> refined;
  solver.Optimize({estimate.x, estimate.y, estimate.z}, &refined);
  const Vec3 point(refined[0], refined[1], refined[2]);

  for (View& view : *views) ScaleAndIndex(&view, Depth(view.camera, point));
}

}  // namespace silhouette
