// Cameras around an object and the object's silhouettes, decided by fuzz
// bytes: the structured part of the fuzz inputs, which keeps most view sets
// well formed enough to reach the computation behind the readers.
#pragma once

#include <vector>

#include "fuzz/fuzz_input.h"

namespace silhouette {
namespace fuzz {

// A camera as the host struct holds it; pose column-major, 4 x 4.
struct SceneCamera {
  double efl = 800;
  double u0 = 320;
  double v0 = 240;
  double kappa1 = 0;
  double pose[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
};

struct SceneView {
  SceneCamera camera;
  // 2 x N, column-major: the projected object points, in the order the
  // bytes chose, with any extra points they added.
  std::vector<double> boundary;
};

// A rigid transform x' = R x + t, R from a unit quaternion (x, y, z, w).
struct SceneTransform {
  double quaternion[4] = {0, 0, 0, 1};
  double translation[3] = {0, 0, 0};
};

// The object: a few 3-D points, by default the corners of a box of half
// sizes (1, 0.8, 0.6) around the origin; bytes move, flatten, shrink or
// replace them and choose a scale.
struct SceneObject {
  std::vector<double> points;  // x, y, z of point i at 3i .. 3i + 2
  double centre[3] = {0, 0, 0};
  double size = 1;
};

SceneObject DecodeObject(FuzzInput* in);

// A transform near the identity or anywhere, from the bytes.
SceneTransform DecodeTransform(FuzzInput* in);

// `count` views of the object from cameras spread around it and looking at
// its centre (with zero bytes: evenly around it, 6 sizes away, efl 800,
// principal point (320, 240), no distortion). Bytes move the cameras, change
// their parameters, break their poses and add points to the outlines. When
// `frame` is given, the poses are expressed in the frame whose points x
// map to the object's frame by frame * x (the pose becomes P * frame).
std::vector<SceneView> DecodeViews(FuzzInput* in, const SceneObject& object,
                                   int count,
                                   const SceneTransform* frame = nullptr);

// Planar points, x, y pairs, at most `max_points`: free numbers, or points
// on a circle, on a line, on a small integer grid or in a cluster a few
// ulps wide, at any scale and offset, with repeats, midpoints and one-ulp
// neighbours added.
std::vector<double> DecodePlanarPoints(FuzzInput* in, std::size_t max_points);

// The 4 x 4 matrix of a transform, column-major.
void TransformMatrix(const SceneTransform& t, double m[16]);

}  // namespace fuzz
}  // namespace silhouette
