// Three cameras look at a cube. The program projects the cube into each
// camera, takes the convex hull of the projected corners as the silhouette,
// prepares the views as the modules do, and recovers the cube's centre
// from its three images alone. It exits with 1 when the recovered centre
// is off by more than 1e-9.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "camera/camera.h"
#include "camera/view_set.h"
#include "geometry/mat3.h"
#include "geometry/planar_hull.h"
#include "geometry/polygon2.h"
#include "geometry/vec3.h"
#include "lsq/least_squares_solver.h"
#include "lsq/point_triangulation_model.h"

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
  return error <= 1e-9 ? 0 : 1;
}
