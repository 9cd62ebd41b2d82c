// Test support: calibrated cameras around a convex polyhedron, its exact
// silhouettes, and the host struct arrays that carry them.
#pragma once

#include <random>
#include <vector>

#include "camera/camera.h"
#include "geometry/polygon2.h"
#include "geometry/vec3.h"
#include "host/embedded_host.h"

namespace silhouette {
namespace testing {

// A camera at `centre` looking at `target` (z forward, image y downwards),
// with principal point (u0, v0) and no distortion.
Camera LookAtCamera(const Vec3& centre, const Vec3& target, double efl,
                    double u0, double v0);

// `count` cameras on a sphere of `radius` around the origin, looking at it,
// in random directions (efl 800, principal point (320, 240)).
std::vector<Camera> CamerasAround(std::mt19937* rng, int count, double radius);

// Vertices of a random convex polyhedron: points on an ellipsoid with
// half-axes (a, b, c), centred at `centre`.
std::vector<Vec3> RandomPolyhedron(std::mt19937* rng, int count, double a,
                                   double b, double c, const Vec3& centre);

// The exact silhouette of the polyhedron: its projected vertices in
// counter-clockwise hull order. With `clutter`, interior points and points
// on the outline's edges are added and the whole boundary is rotated to a
// random start.
Polygon2 Silhouette(const Camera& camera, const std::vector<Vec3>& vertices,
                    std::mt19937* rng = nullptr, bool clutter = false);

// Host arrays: a camera struct, and a 1 x n view set struct array.
host::ArrayPtr MakeCameraStruct(const Camera& camera);
host::ArrayPtr MakeViewVec(const std::vector<Camera>& cameras,
                           const std::vector<Polygon2>& boundaries);
host::ArrayPtr MakeBoundary(const Polygon2& boundary);

}  // namespace testing
}  // namespace silhouette
