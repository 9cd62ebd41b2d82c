// Three cameras look at a cube. The program projects the cube into each
// camera, takes the convex hull of the projected corners as the silhouette,
// prepares the views as the modules do, and recovers the cube's centre
// from its three images alone. It also measures the first silhouette's
// mean caliper diameter (Pirolet's computation), finds the set's viewing
// edges (Kestrim's) and the relative pose of the set and a copy of it
// moved by a known shift (Dovanel's). It exits with 1 when the recovered
// centre is off by more than 1e-9, the diameter is not the hull's
// perimeter over pi, a viewing edge misses the cube's corners or the pose
// misses the shift.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include <cmath>

#include "camera/camera.h"
#include "camera/view_set.h"
#include "geometry/mat3.h"
#include "geometry/planar_hull.h"
#include "geometry/polygon2.h"
#include "geometry/vec3.h"
#include "lsq/least_squares_solver.h"
#include "dovanel/dovanel_solve.h"
#include "kestrim/viewing_edge_extractor.h"
#include "lsq/point_triangulation_model.h"
#include "pirolet/mean_caliper_diameter.h"

namespace {

using silhouette::Camera;
using silhouette::Mat3;
using silhouette::Mat4;
using silhouette::Vec2;
using silhouette::Vec3;

// A pinhole camera (800 pixels focal length, principal point (320, 240))
// whose world-to-camera rotation is `r`, with the world origin 10 units
// ahead of it on its optical axis.
Camera MakeCamera(const Mat3& r) {
  Camera camera;
  camera.efl = 800;
  camera.u0 = 320;
  camera.v0 = 240;
  camera.kappa1 = 0;
  camera.pose = Mat4::kIdentity;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) camera.pose[i][j] = r[i][j];
  }
  camera.pose[2][3] = 10;
  return camera;
}

}  // namespace

int main() {
  // Cameras looking along the world's z, x and y axes.
  const std::vector<Camera> cameras = {
      MakeCamera(Mat3{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}),
      MakeCamera(Mat3{{{0, 0, -1}, {0, 1, 0}, {1, 0, 0}}}),
      MakeCamera(Mat3{{{1, 0, 0}, {0, 0, -1}, {0, 1, 0}}}),
  };
  const Vec3 centre(0.5, -0.3, 0.2);
  std::vector<Vec3> corners;
  for (int k = 0; k < 8; ++k) {
    corners.push_back(centre +
                      Vec3(k & 1 ? 1 : -1, k & 2 ? 1 : -1, k & 4 ? 1 : -1));
  }

  // Each silhouette: the convex hull of the projected corners.
  std::vector<silhouette::View> views(cameras.size());
  std::vector<Vec2> observations;
  for (std::size_t i = 0; i < cameras.size(); ++i) {
    silhouette::Polygon2 projected;
    for (const Vec3& corner : corners) {
      projected.push_back(cameras[i].Project(corner));
    }
    silhouette::PlanarHull hull(static_cast<int32_t>(projected.size()),
                                projected.data());
    if (!hull.Compute(0.001)) return 1;
    const int32_t* indices = hull.VertexIndices(false);
    for (int32_t k = 0; k < hull.NumVertices(); ++k) {
      views[i].boundary.push_back(projected[indices[k]]);
    }
    views[i].camera = cameras[i];
    observations.push_back(cameras[i].Project(centre));
    std::printf("camera %zu: centre at (%.2f, %.2f) px, hull of %d corners\n",
                i + 1, observations[i].x, observations[i].y,
                hull.NumVertices());
  }

  // The views as the modules prepare them: hull, box, normalized boundary,
  // reference point and direction index.
  const silhouette::ViewSet set(views);
  for (int32_t i = 0; i < set.NumViews(); ++i) {
    const silhouette::View& view = set.GetView(i);
    std::printf("view %d: box (%.2f, %.2f) to (%.2f, %.2f) px\n", i + 1,
                view.boxMin.x, view.boxMin.y, view.boxMax.x, view.boxMax.y);
  }

  // Triangulation: the point whose projections best match the observed
  // images of the centre, from a start at the world origin.
  silhouette::PointTriangulationModel model(observations, cameras);
  silhouette::LeastSquaresSolver solver(model);
  solver.maxIterations = 50;
  std::vector<double> point;
  solver.Optimize({0, 0, 0}, &point);
  const Vec3 recovered(point[0], point[1], point[2]);
  const double error = (recovered - centre).Length();
  std::printf("recovered centre (%.9f, %.9f, %.9f), error %.1e, RMS %.1e px\n",
              recovered.x, recovered.y, recovered.z, error,
              solver.RmsResidual());
  bool ok = error <= 1e-9;

  // Pirolet: the mean width of the first silhouette, which for a convex
  // outline is its perimeter over pi.
  const silhouette::View& first = set.GetView(0);
  double perimeter = 0;
  for (int32_t k = 0; k < first.NumHullVertices(); ++k) {
    perimeter += (first.HullPoint((k + 1) % first.NumHullVertices()) -
                  first.HullPoint(k))
                     .Length();
  }
  const double mean_width = silhouette::MeanCaliperDiameter(
      first.boundary, first.hull.data(), first.NumHullVertices());
  const double pi = 3.14159265358979323846;
  std::printf("silhouette 1: mean caliper diameter %.6f px, perimeter / pi "
              "%.6f px\n",
              mean_width, perimeter / pi);
  ok = ok && std::abs(mean_width - perimeter / pi) <= 1e-9 * mean_width;

  // Kestrim: the ray through a silhouette corner passes through the cube
  // corner that projects there, which lies inside every silhouette, so each
  // viewing edge holds a corner of the cube.
  silhouette::ViewingEdgeExtractor extractor;
  extractor.ComputeViewingEdges(set);
  double worst = 0;
  for (const silhouette::ViewingEdge& edge : extractor.edges) {
    const Vec3 along = edge.far - edge.near;
    double nearest = HUGE_VAL;
    for (const Vec3& corner : corners) {
      const double length2 = along.Dot(along);
      double t = length2 > 0 ? (corner - edge.near).Dot(along) / length2 : 0;
      t = std::fmin(1.0, std::fmax(0.0, t));
      nearest = std::fmin(nearest, (edge.near + along * t - corner).Length());
    }
    worst = std::fmax(worst, nearest);
  }
  std::printf("%zu viewing edges, each within %.1e of a cube corner\n",
              extractor.edges.size(), worst);
  ok = ok && !extractor.edges.empty() && worst <= 1e-9;

  // Dovanel: the same cameras moved by (0.1, 0.2, -0.1) in a second world
  // frame; the pose that carries that frame into the first is the shift.
  std::vector<silhouette::View> moved = views;
  for (silhouette::View& view : moved) {
    const Mat4& pose = view.camera.pose;
    for (int i = 0; i < 3; ++i) {
      // X_first = X_second + shift, so pose_second = pose_first * T(shift).
      view.camera.pose[i][3] = pose[i][3] + pose[i][0] * 0.1 +
                               pose[i][1] * 0.2 - pose[i][2] * 0.1;
    }
  }
  const silhouette::ViewSet second(moved);
  const double start[7] = {0, 0, 0, 1, 0, 0, 0};
  const silhouette::DovanelSolution pose = silhouette::SolveDovanel(
      set, second, start, 1, silhouette::SolverSettings{100, 1e-12}, 1);
  std::printf("relative pose: rms %.1e px, shift (%.6f, %.6f, %.6f)\n",
              pose.rms, pose.pose[4], pose.pose[5], pose.pose[6]);
  ok = ok && std::abs(pose.pose[4] - 0.1) <= 1e-6 &&
       std::abs(pose.pose[5] - 0.2) <= 1e-6 &&
       std::abs(pose.pose[6] + 0.1) <= 1e-6;
  return ok ? 0 : 1;
}
