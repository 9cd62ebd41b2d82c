// Test support: two calibrated silhouette sets of one convex polyhedron
// whose world frames are related by a known rigid transform, and views made
// by hand.
#pragma once

#include <random>
#include <vector>

#include "camera/camera.h"
#include "camera/view.h"
#include "camera/view_set.h"
#include "geometry/polygon2.h"
#include "geometry/vec3.h"
#include "host/embedded_host.h"

namespace silhouette {
namespace testing {

struct TwoSetScene {
  // The pose (quaternion x y z w, translation) of the transform T with
  // A's world = T * B's world.
  std::vector<double> truePose;
  // The polyhedron, in A's world.
  std::vector<Vec3> vertices;
  std::vector<Camera> camerasA;
  std::vector<Camera> camerasB;  // poses map B's world to camera coordinates
  host::ArrayPtr viewVecA;
  host::ArrayPtr viewVecB;
};

// A random polyhedron of `num_vertices` vertices on an ellipsoid with
// half-axes (1, 0.7, 0.5) around A's origin, seen by num_a + num_b cameras
// (efl 800, principal point (320, 240), no distortion) at distance 6 from
// the origin, in random directions: the first num_a make set A, the others,
// carried into B's world by a random transform, make set B. The boundaries
// are the exact silhouettes.
TwoSetScene MakeTwoSetScene(std::mt19937* rng, int num_a, int num_b,
                            int num_vertices = 40);

// The pose q_delta * q, t + dt: the rotation of `pose` followed by a turn of
// `degrees` about a random axis, and its translation moved by `fraction`
// of its length in a random direction.
std::vector<double> PerturbedPose(std::mt19937* rng,
                                  const std::vector<double>& pose,
                                  double degrees, double fraction);

// The angle in radians between the rotation blocks of two transforms.
double RotationAngle(const Mat4& a, const Mat4& b);

// A view made by hand: the camera, the boundary (listed counter-clockwise
// and convex, so that every vertex is a hull vertex in the listed order) and
// its box.
View MakeView(const Camera& camera, const Polygon2& boundary);

// A camera with the given pose and intrinsics, kappa1 0.
Camera MakeCamera(const Mat4& pose, double efl, double u0, double v0);

// A view set holding exactly `views`. The set is first read from a valid
// scene, then its views are replaced.
ViewSet SetOfViews(const std::vector<View>& views);

}  // namespace testing
}  // namespace silhouette
