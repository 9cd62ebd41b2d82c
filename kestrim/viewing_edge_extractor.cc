#include "kestrim/viewing_edge_extractor.h"

#include <cmath>
#include <cstddef>

#include "geometry/mat3.h"
#include "geometry/mat4.h"
#include "geometry/vec2.h"
#include "geometry/vec4.h"
#include "kestrim/epipolar_line_index.h"
#include "kestrim/ray_stretch.h"
#include "kestrim/silhouette_cone.h"

namespace silhouette {

void IntersectInterval(DepthInterval* acc, const DepthInterval& other) {
  if (acc->empty || other.empty) {
    acc->empty = true;
    return;
  }
  if (other.lower > acc->lower) acc->lower = other.lower;
  if (!(other.upper >= acc->upper)) acc->upper = other.upper;
  if (!(acc->upper >= acc->lower)) acc->empty = true;
}

namespace {

// What one view j needs to clip the rays of another view n: the centre of
// camera n in camera j's frame, and view j's hull indexed around its image.
struct ViewPair {
  Vec3 centre;
  EpipolarLineIndex index;
  // The epipole is not a number: the centres coincide (0 / 0), or a camera
  // has a parameter that is not a number. Such a pair has no depth to give
  // and leaves nothing of the ray.
  bool noEpipole = false;
};

bool IsZero(const Mat4& m) {
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) {
      if (m[r][c] != 0) return false;
    }
  }
  return true;
}

// The rotation part of a pose: camera-frame direction = R * world direction.
Mat3 Rotation(const Mat4& pose) { return pose.Block3(); }

}  // namespace

void ViewingEdgeExtractor::ComputeViewingEdges(const ViewSet& viewSet) {
  const int32_t v = viewSet.NumViews();
  // One view has no other to clip its rays against.
  if (v < 2) return;
  const std::size_t count = static_cast<std::size_t>(v);

  std::vector<Mat4> inverse_pose(count);
  std::vector<Mat3> inverse_rotation(count);
  std::vector<Vec4> camera_centre(count);
  std::vector<Mat3> rotation(count);
  std::vector<SilhouetteCone> cone(count);
  for (int32_t o = 0; o < v; ++o) {
    const View& view = viewSet.GetView(o);
    const Mat4 inv = view.camera.pose.Inverse();
    inverse_pose[o] = inv;
    inverse_rotation[o] = inv.Block3();
    camera_centre[o] = Vec4(inv[0][3], inv[1][3], inv[2][3], 1);
    rotation[o] = Rotation(view.camera.pose);
    cone[o] = SilhouetteCone(view);
  }

  // pairs[j * v + n]: view j clipping the rays of view n.
  std::vector<ViewPair> pairs(count * count);
  for (int32_t j = 0; j < v; ++j) {
    const View& view = viewSet.GetView(j);
    for (int32_t n = 0; n < v; ++n) {
      if (n == j) continue;
      ViewPair& pair = pairs[static_cast<std::size_t>(j) * count + n];
      pair.centre = (view.camera.pose * camera_centre[n]).ToVec3();
      const Vec3& a = pair.centre;
      // The epipole, unguarded: a centre at depth 0 gives one that is not
      // finite, and the index then leaves the pair to the plain clip.
      const Vec2 epipole(a.x / a.z, a.y / a.z);
      pair.noEpipole = std::isnan(epipole.x) || std::isnan(epipole.y);
      pair.index.Build(view, epipole);
    }
  }

  // View by view: the rays of view n, clipped by one other view after the
  // other, so that one pair's tables serve all of n's rays in a row.
  std::vector<Vec3> ray;
  std::vector<Vec3> world_dir;
  std::vector<RayStretch> stretch;
  for (int32_t n = 0; n < v; ++n) {
    // A pose that cannot be inverted (|det| <= 1e-8, or not a number) has
    // the zero inverse: its rays have no direction, and it gives no edges.
    if (IsZero(inverse_pose[n])) continue;
    const View& view = viewSet.GetView(n);
    const int32_t hull_size = view.NumHullVertices();
    const std::size_t rays = static_cast<std::size_t>(hull_size);
    // The ray of hull vertex u as s * ray[u] in camera n's frame, s >= 0,
    // and its direction in the world.
    ray.resize(rays);
    world_dir.resize(rays);
    stretch.assign(rays, RayStretch());
    for (int32_t u = 0; u < hull_size; ++u) {
      const Vec2 p = view.NormalizedHullPoint(u);
      ray[u] = Vec3(p.x, p.y, 1).Normalized();
      world_dir[u] = inverse_rotation[n] * ray[u];
    }
    for (int32_t j = 0; j < v; ++j) {
      if (j == n) continue;
      ViewPair& pair = pairs[static_cast<std::size_t>(j) * count + n];
      const SilhouetteCone& clip = cone[j];
      const Mat3& rot = rotation[j];
      // The ray in camera j's frame: a + s b.
      const Vec3& a = pair.centre;
      for (int32_t u = 0; u < hull_size; ++u) {
        RayStretch& st = stretch[u];
        if (pair.noEpipole) {
          st.empty = true;
          continue;
        }
        const Vec3 b = rot * world_dir[u];
        // The image of the ray lies on the line through the epipole
        // a / a.z in the direction a.z b - b.z a (its x and y); the two
        // hull edges that line crosses bound the stretch in this view.
        const Vec2 r(a.z * b.x - b.z * a.x, a.z * b.y - b.z * a.y);
        int32_t first;
        int32_t second;
        switch (pair.index.CrossedEdges(r, &first, &second)) {
          case EpipolarLineIndex::Answer::kCrossed:
            clip.ClipTwoFaces(first, second, a, b, &st);
            break;
          case EpipolarLineIndex::Answer::kMissed:
          case EpipolarLineIndex::Answer::kUnsure:
            // A line said to miss the hull is clipped by every face too:
            // near the hull's boundary, at extreme scales, the index's
            // miss can be the roundings' (and a miss is rare in a
            // consistent set, where each ray passes through the object).
            clip.ClipEveryFace(a, b, &st);
            break;
        }
      }
    }
    for (int32_t u = 0; u < hull_size; ++u) {
      if (stretch[u].IsEmpty()) continue;
      const Vec3 near_point = ray[u] * stretch[u].lower;
      const Vec3 far_point = ray[u] * stretch[u].upper;
      ViewingEdge edge;
      edge.near = (inverse_pose[n] * Vec4::FromPoint(near_point)).ToVec3();
      edge.far = (inverse_pose[n] * Vec4::FromPoint(far_point)).ToVec3();
      edge.view = n;
      edges.push_back(edge);
    }
  }
}

}  // namespace silhouette
