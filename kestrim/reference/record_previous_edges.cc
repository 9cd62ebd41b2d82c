// Writes the fixture previous_edges.txt: rigs on which every camera centre
// lies in front of every other camera, each with the edges that the
// previous release's computation (previous_query.cc) gives for it. Every
// number is written as a hexadecimal float (%a), so the file holds the
// inputs and the answers bit for bit; the tests read the inputs back from
// it and need nothing else to rebuild the rigs.
//
//   record_previous_edges > kestrim/reference/previous_edges.txt
//
// A rig that breaks the condition stops the recorder with an error, so the
// fixture never holds a case the previous computation got wrong.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "camera/synthetic_scene.h"
#include "camera/view_set.h"
#include "geometry/mat4.h"
#include "kestrim/reference/previous_query.h"

namespace silhouette {
namespace {

using testing::LookAtCamera;
using testing::RandomPolyhedron;
using testing::Silhouette;

const double kPi = 3.141592653589793;

struct Rig {
  std::string name;
  std::vector<Camera> cameras;
  std::vector<Polygon2> boundaries;
};

Vec3 CameraCentre(const Camera& camera) {
  const Mat4 inv = camera.pose.Inverse();
  return Vec3(inv[0][3], inv[1][3], inv[2][3]);
}

// Whether every camera centre lies clearly in front of every other camera:
// at a depth of more than 1e-3 of the distance between the two.
bool AllInFront(const std::vector<Camera>& cameras) {
  for (const Camera& a : cameras) {
    for (const Camera& b : cameras) {
      if (&a == &b) continue;
      const Vec3 c = CameraCentre(b);
      const double depth = (a.pose * Vec4::FromPoint(c)).z;
      if (!(depth > 1e-3 * (c - CameraCentre(a)).Length())) return false;
    }
  }
  return true;
}

Vec3 RandomDirection(std::mt19937* rng) {
  std::normal_distribution<double> normal(0, 1);
  for (;;) {
    const Vec3 d(normal(*rng), normal(*rng), normal(*rng));
    if (d.Length() > 1e-3) return d.Normalized();
  }
}

// `count` points of the outline of the sphere of `radius` around the
// origin seen by `camera`, from a random start angle.
Polygon2 SphereOutline(const Camera& camera, double radius, int count,
                       std::mt19937* rng) {
  const Vec3 c = CameraCentre(camera);
  const double d = c.Length();
  const Vec3 n = c * (1 / d);
  const Vec3 helper = std::abs(n.x) < 0.9 ? Vec3(1, 0, 0) : Vec3(0, 1, 0);
  const Vec3 e1 = n.Cross(helper).Normalized();
  const Vec3 e2 = n.Cross(e1);
  const Vec3 rim_centre = n * (radius * radius / d);
  const double rim_radius = radius * std::sqrt(1 - radius * radius / (d * d));
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

// Cameras at random distances in [near, far] from the origin, looking at
// it, with focal lengths of 500 to 1200 pixels; drawn again until every
// centre lies in front of every other camera.
std::vector<Camera> FrontRig(std::mt19937* rng, int count, double near,
                             double far) {
  std::uniform_real_distribution<double> distance(near, far);
  std::uniform_real_distribution<double> efl(500, 1200);
  std::uniform_real_distribution<double> offset(-40, 40);
  for (;;) {
    std::vector<Camera> cameras;
    for (int k = 0; k < count; ++k) {
      const Vec3 c = RandomDirection(rng) * distance(*rng);
      cameras.push_back(LookAtCamera(c, Vec3(0, 0, 0), efl(*rng),
                                     320 + offset(*rng), 240 + offset(*rng)));
    }
    if (AllInFront(cameras)) return cameras;
  }
}

std::vector<Rig> Rigs() {
  std::vector<Rig> rigs;
  // Sphere outlines seen from cameras at one distance.
  for (int views : {3, 6}) {
    std::mt19937 rng(100 + views);
    Rig rig{"sphere outlines, " + std::to_string(views) + " views", {}, {}};
    rig.cameras = testing::CamerasAround(&rng, views, 6.0);
    for (const Camera& camera : rig.cameras) {
      rig.boundaries.push_back(SphereOutline(camera, 1.5, 40, &rng));
    }
    rigs.push_back(rig);
  }
  // Random polyhedra, with cluttered boundaries, from cameras at one
  // distance.
  for (unsigned seed = 1; seed <= 4; ++seed) {
    std::mt19937 rng(seed);
    Rig rig{"polyhedron " + std::to_string(seed), {}, {}};
    const std::vector<Vec3> vertices = RandomPolyhedron(
        &rng, 10 + 5 * static_cast<int>(seed), 1.0, 0.7, 0.5,
        Vec3(0.1, -0.2, 0.05));
    rig.cameras = testing::CamerasAround(&rng, 3 + static_cast<int>(seed), 6.0);
    for (const Camera& camera : rig.cameras) {
      rig.boundaries.push_back(Silhouette(camera, vertices, &rng, seed % 2 == 0));
    }
    rigs.push_back(rig);
  }
  // Cameras at different distances, all in front of each other.
  for (unsigned seed = 11; seed <= 14; ++seed) {
    std::mt19937 rng(seed);
    Rig rig{"mixed distances " + std::to_string(seed), {}, {}};
    const std::vector<Vec3> vertices =
        RandomPolyhedron(&rng, 30, 1.0, 0.8, 0.6, Vec3(0, 0, 0));
    rig.cameras = FrontRig(&rng, 3 + static_cast<int>(seed % 3), 3.0, 5.0);
    for (const Camera& camera : rig.cameras) {
      rig.boundaries.push_back(
          Silhouette(camera, vertices, &rng, seed % 2 == 0));
    }
    rigs.push_back(rig);
  }
  // Opposite pairs: each camera centre projects inside the other's
  // silhouette.
  {
    std::mt19937 rng(42);
    Rig rig{"opposite pairs", {}, {}};
    const std::vector<Vec3> vertices =
        RandomPolyhedron(&rng, 30, 1.0, 0.8, 0.6, Vec3(0, 0, 0));
    for (const Vec3& d : {Vec3(1, 0.2, 0.1), Vec3(0.1, 1, -0.3)}) {
      const Vec3 c = d.Normalized() * 6.0;
      rig.cameras.push_back(LookAtCamera(c, Vec3(0, 0, 0), 800, 320, 240));
      rig.cameras.push_back(LookAtCamera(-c, Vec3(0, 0, 0), 800, 320, 240));
    }
    for (const Camera& camera : rig.cameras) {
      rig.boundaries.push_back(Silhouette(camera, vertices, &rng, true));
    }
    rigs.push_back(rig);
  }
  // Two cameras 4 degrees apart: rays that never leave the other cone.
  {
    std::mt19937 rng(8);
    Rig rig{"cameras 4 degrees apart", {}, {}};
    const std::vector<Vec3> vertices =
        RandomPolyhedron(&rng, 30, 1.0, 0.8, 0.6, Vec3(0, 0, 0));
    const double a = 4 * kPi / 180;
    rig.cameras = {
        LookAtCamera(Vec3(6, 0, 0.3), Vec3(0, 0, 0), 800, 320, 240),
        LookAtCamera(Vec3(6 * std::cos(a), 6 * std::sin(a), 0.3),
                     Vec3(0, 0, 0), 800, 320, 240)};
    for (const Camera& camera : rig.cameras) {
      rig.boundaries.push_back(Silhouette(camera, vertices));
    }
    rigs.push_back(rig);
  }
  return rigs;
}

void WriteRig(const Rig& rig) {
  if (!AllInFront(rig.cameras)) {
    std::fprintf(stderr, "record_previous_edges: rig '%s' has a camera "
                 "centre behind another camera\n", rig.name.c_str());
    std::exit(1);
  }
  std::vector<View> views(rig.cameras.size());
  for (std::size_t i = 0; i < views.size(); ++i) {
    views[i].camera = rig.cameras[i];
    views[i].boundary = rig.boundaries[i];
  }
  const ViewSet set(views);
  std::vector<ViewingEdge> edges;
  PreviousQueryEdges(set, &edges);

  std::printf("rig %s\n", rig.name.c_str());
  std::printf("views %zu\n", rig.cameras.size());
  for (std::size_t i = 0; i < rig.cameras.size(); ++i) {
    const Camera& c = rig.cameras[i];
    std::printf("camera %a %a %a %a", c.efl, c.u0, c.v0, c.kappa1);
    for (int r = 0; r < 4; ++r) {
      for (int k = 0; k < 4; ++k) std::printf(" %a", c.pose[r][k]);
    }
    std::printf("\nboundary %zu\n", rig.boundaries[i].size());
    for (const Vec2& p : rig.boundaries[i]) std::printf("%a %a\n", p.x, p.y);
  }
  std::printf("edges %zu\n", edges.size());
  for (const ViewingEdge& e : edges) {
    std::printf("%d %a %a %a %a %a %a\n", static_cast<int>(e.view), e.near.x,
                e.near.y, e.near.z, e.far.x, e.far.y, e.far.z);
  }
}

}  // namespace
}  // namespace silhouette

int main() {
  std::printf(
      "%% Rigs on which every camera centre lies in front of every other\n"
      "%% camera, and the viewing edges the previous release computed for\n"
      "%% them (law of sines), all numbers as hexadecimal floats. Written by\n"
      "%% kestrim/reference/record_previous_edges.cc; do not edit.\n"
      "%% Layout per rig: 'rig NAME', 'views V', per view 'camera efl u0 v0\n"
      "%% kappa1' and the 16 pose entries row by row, 'boundary N' and N\n"
      "%% lines 'u v'; then 'edges E' and E lines 'view near.xyz far.xyz'\n"
      "%% (view zero-based).\n");
  for (const silhouette::Rig& rig : silhouette::Rigs()) {
    silhouette::WriteRig(rig);
  }
  return 0;
}
