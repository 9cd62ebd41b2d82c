#include "camera/synthetic_scene.h"

#include <algorithm>
#include <cmath>

#include "geometry/planar_hull.h"

namespace silhouette {
namespace testing {

Camera LookAtCamera(const Vec3& centre, const Vec3& target, double efl,
                    double u0, double v0) {
  const Vec3 z = (target - centre).Normalized();
  Vec3 up(0, 0, 1);
  if (std::abs(z.Dot(up)) > 0.95) up = Vec3(0, 1, 0);
  const Vec3 x = z.Cross(up).Normalized();  // image x to the right
  const Vec3 y = z.Cross(x);                // image y downwards
  Camera camera;
  camera.efl = efl;
  camera.u0 = u0;
  camera.v0 = v0;
  camera.kappa1 = 0;
  camera.pose = Mat4::kIdentity;
  const Vec3 axes[3] = {x, y, z};
  for (int r = 0; r < 3; ++r) {
    camera.pose[r][0] = axes[r].x;
    camera.pose[r][1] = axes[r].y;
    camera.pose[r][2] = axes[r].z;
    camera.pose[r][3] = -axes[r].Dot(centre);
  }
  return camera;
}

std::vector<Camera> CamerasAround(std::mt19937* rng, int count, double radius) {
  std::normal_distribution<double> normal(0, 1);
  std::vector<Camera> cameras;
  while (static_cast<int>(cameras.size()) < count) {
    const Vec3 d = Vec3(normal(*rng), normal(*rng), normal(*rng)).Normalized();
    if (d.Length() == 0) continue;
    cameras.push_back(LookAtCamera(d * radius, Vec3(0, 0, 0), 800, 320, 240));
  }
  return cameras;
}

std::vector<Vec3> RandomPolyhedron(std::mt19937* rng, int count, double a,
                                   double b, double c, const Vec3& centre) {
  std::normal_distribution<double> normal(0, 1);
  std::vector<Vec3> vertices;
  while (static_cast<int>(vertices.size()) < count) {
    const Vec3 d = Vec3(normal(*rng), normal(*rng), normal(*rng)).Normalized();
    if (d.Length() == 0) continue;
    vertices.push_back(centre + Vec3(a * d.x, b * d.y, c * d.z));
  }
  return vertices;
}

Polygon2 Silhouette(const Camera& camera, const std::vector<Vec3>& vertices,
                    std::mt19937* rng, bool clutter) {
  Polygon2 projected;
  for (const Vec3& v : vertices) projected.push_back(camera.Project(v));
  PlanarHull hull(static_cast<int32_t>(projected.size()), projected.data());
  hull.Compute(0.001);
  const int32_t* indices = hull.VertexIndices(false);
  Polygon2 outline;
  for (int32_t k = 0; k < hull.NumVertices(); ++k) {
    outline.push_back(projected[indices[k]]);
  }
  if (!clutter || rng == nullptr || outline.size() < 3) return outline;

  std::uniform_real_distribution<double> unit(0.05, 0.95);
  Polygon2 boundary;
  for (std::size_t k = 0; k < outline.size(); ++k) {
    const Vec2 a = outline[k];
    const Vec2 b = outline[(k + 1) % outline.size()];
    boundary.push_back(a);
    // A point in the middle of an edge and one just inside the outline.
    const double t = unit(*rng);
    boundary.push_back(a + (b - a) * t);
    const Vec2 centroid = (outline[0] + a + b) * (1.0 / 3.0);
    boundary.push_back(centroid + (a - centroid) * unit(*rng));
  }
  std::uniform_int_distribution<std::size_t> start(0, boundary.size() - 1);
  std::rotate(boundary.begin(), boundary.begin() + start(*rng), boundary.end());
  return boundary;
}

host::ArrayPtr MakeCameraStruct(const Camera& camera) {
  host::ArrayPtr s =
      host::MakeStructArray(1, {"efl", "u0", "v0", "kappa1", "pose"});
  host::SetField(s.get(), 0, "efl", host::MakeScalar(camera.efl));
  host::SetField(s.get(), 0, "u0", host::MakeScalar(camera.u0));
  host::SetField(s.get(), 0, "v0", host::MakeScalar(camera.v0));
  host::SetField(s.get(), 0, "kappa1", host::MakeScalar(camera.kappa1));
  std::vector<double> pose(16);
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) pose[r + 4 * c] = camera.pose[r][c];
  }
  host::SetField(s.get(), 0, "pose", host::MakeMatrix(4, 4, pose));
  return s;
}

host::ArrayPtr MakeBoundary(const Polygon2& boundary) {
  std::vector<double> values;
  for (const Vec2& p : boundary) {
    values.push_back(p.x);
    values.push_back(p.y);
  }
  return host::MakeMatrix(2, boundary.size(), values);
}

host::ArrayPtr MakeViewVec(const std::vector<Camera>& cameras,
                           const std::vector<Polygon2>& boundaries) {
  host::ArrayPtr views =
      host::MakeStructArray(cameras.size(), {"camera", "boundary"});
  for (std::size_t i = 0; i < cameras.size(); ++i) {
    host::SetField(views.get(), i, "camera", MakeCameraStruct(cameras[i]));
    host::SetField(views.get(), i, "boundary", MakeBoundary(boundaries[i]));
  }
  return views;
}

}  // namespace testing
}  // namespace silhouette
