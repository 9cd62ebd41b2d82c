#include "dovanel/two_set_scene.h"

#include <algorithm>
#include <cmath>

#include "camera/synthetic_scene.h"
#include "dovanel/relative_pose_model.h"

namespace silhouette {
namespace testing {
namespace {

// Hamilton product of quaternions stored (x, y, z, w).
std::vector<double> Multiply(const std::vector<double>& p,
                             const std::vector<double>& q) {
  const double px = p[0], py = p[1], pz = p[2], pw = p[3];
  const double qx = q[0], qy = q[1], qz = q[2], qw = q[3];
  return {pw * qx + px * qw + py * qz - pz * qy,
          pw * qy - px * qz + py * qw + pz * qx,
          pw * qz + px * qy - py * qx + pz * qw,
          pw * qw - px * qx - py * qy - pz * qz};
}

Vec3 RandomDirection(std::mt19937* rng) {
  std::normal_distribution<double> normal(0, 1);
  Vec3 d(0, 0, 0);
  while (d.Length() < 1e-3) d = Vec3(normal(*rng), normal(*rng), normal(*rng));
  return d.Normalized();
}

}  // namespace

TwoSetScene MakeTwoSetScene(std::mt19937* rng, int num_a, int num_b,
                            int num_vertices) {
  TwoSetScene scene;
  scene.vertices =
      RandomPolyhedron(rng, num_vertices, 1.0, 0.7, 0.5, Vec3(0, 0, 0));
  const std::vector<Camera> cameras = CamerasAround(rng, num_a + num_b, 6.0);

  std::uniform_real_distribution<double> unit(-1, 1);
  const Vec3 axis = RandomDirection(rng);
  const double half_angle = 0.5 * std::acos(unit(*rng));
  const double s = std::sin(half_angle);
  scene.truePose = {axis.x * s, axis.y * s, axis.z * s, std::cos(half_angle),
                    unit(*rng), unit(*rng), unit(*rng)};
  const Mat4 t = PoseToMatrix(scene.truePose.data());

  std::vector<Polygon2> boundaries_a;
  std::vector<Polygon2> boundaries_b;
  for (int i = 0; i < num_a + num_b; ++i) {
    const Polygon2 outline = Silhouette(cameras[i], scene.vertices);
    if (i < num_a) {
      scene.camerasA.push_back(cameras[i]);
      boundaries_a.push_back(outline);
    } else {
      Camera in_b = cameras[i];
      in_b.pose = cameras[i].pose * t;
      scene.camerasB.push_back(in_b);
      boundaries_b.push_back(outline);
    }
  }
  scene.viewVecA = MakeViewVec(scene.camerasA, boundaries_a);
  scene.viewVecB = MakeViewVec(scene.camerasB, boundaries_b);
  return scene;
}

std::vector<double> PerturbedPose(std::mt19937* rng,
                                  const std::vector<double>& pose,
                                  double degrees, double fraction) {
  const Vec3 axis = RandomDirection(rng);
  const double half = 0.5 * degrees * 3.141592653589793 / 180.0;
  const double s = std::sin(half);
  std::vector<double> turned =
      Multiply({axis.x * s, axis.y * s, axis.z * s, std::cos(half)}, pose);
  const Vec3 t(pose[4], pose[5], pose[6]);
  const Vec3 moved = t + RandomDirection(rng) * (fraction * t.Length());
  turned.push_back(moved.x);
  turned.push_back(moved.y);
  turned.push_back(moved.z);
  return turned;
}

double RotationAngle(const Mat4& a, const Mat4& b) {
  // trace(A^T B) = 1 + 2 cos(angle).
  double trace = 0;
  for (int i = 0; i < 3; ++i) {
    for (int k = 0; k < 3; ++k) trace += a[k][i] * b[k][i];
  }
  return std::acos(std::clamp((trace - 1) / 2, -1.0, 1.0));
}

View MakeView(const Camera& camera, const Polygon2& boundary) {
  View view;
  view.camera = camera;
  view.boundary = boundary;
  for (std::size_t k = 0; k < boundary.size(); ++k) {
    view.hull.push_back(static_cast<int32_t>(k));
  }
  view.boxMin = view.boxMax = boundary[0];
  for (const Vec2& p : boundary) {
    view.boxMin.x = std::min(view.boxMin.x, p.x);
    view.boxMin.y = std::min(view.boxMin.y, p.y);
    view.boxMax.x = std::max(view.boxMax.x, p.x);
    view.boxMax.y = std::max(view.boxMax.y, p.y);
  }
  for (const Vec2& p : boundary) {
    view.normalizedBoundary.push_back(camera.ImageToNormalized(p));
  }
  return view;
}

Camera MakeCamera(const Mat4& pose, double efl, double u0, double v0) {
  Camera camera;
  camera.efl = efl;
  camera.u0 = u0;
  camera.v0 = v0;
  camera.kappa1 = 0;
  camera.pose = pose;
  return camera;
}

ViewSet SetOfViews(const std::vector<View>& views) {
  std::mt19937 rng(7);
  const TwoSetScene scene = MakeTwoSetScene(&rng, 2, 2);
  ViewSet set(scene.viewVecA.get());
  set.views = views;
  return set;
}

}  // namespace testing
}  // namespace silhouette
