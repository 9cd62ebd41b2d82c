#include "kestrim/reference/previous_query.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "geometry/mat4.h"
#include "geometry/math_constants.h"
#include "geometry/vec2.h"
#include "geometry/vec4.h"
#include "kestrim/reference/epipolar_hull_index.h"

namespace silhouette {
namespace {

// 0 for x >= 1, pi for x <= -1, acos(x) otherwise.
double AcosClampedPrevious(double x) {
  if (x <= -1) return MathConstants<double>::kPi;
  if (x >= 1) return 0;
  return std::acos(x);
}

struct PairTables {
  explicit PairTables(std::size_t count)
      : v(count),
        epipole(count * count, Vec2(0, 0)),
        baseline(count * count, 0),
        epipoleDirection(count * count, Vec3(0, 0, 0)),
        hullIndex(count * count) {}

  std::size_t At(int32_t o, int32_t i) const {
    return static_cast<std::size_t>(o) * v + static_cast<std::size_t>(i);
  }

  std::size_t v;
  std::vector<Vec2> epipole;
  std::vector<double> baseline;
  std::vector<Vec3> epipoleDirection;
  std::vector<EpipolarHullIndex> hullIndex;
};

Vec2 Dehomogenize(const Vec4& p) { return Vec2(p.x / p.z, p.y / p.z); }

}  // namespace

void PreviousQueryEdges(const ViewSet& viewSet,
                        std::vector<ViewingEdge>* edges) {
  const int32_t v = viewSet.NumViews();
  if (v < 2) return;
  const std::size_t count = static_cast<std::size_t>(v);
  const double pi = MathConstants<double>::kPi;

  std::vector<Mat4> inverse_pose(count);
  std::vector<Vec4> camera_centre(count);
  for (int32_t o = 0; o < v; ++o) {
    const Mat4 inv = viewSet.GetView(o).camera.pose.Inverse();
    inverse_pose[o] = inv;
    camera_centre[o] = Vec4(inv[0][3], inv[1][3], inv[2][3], 1);
  }

  PairTables pairs(count);
  for (int32_t o = 0; o < v; ++o) {
    const View& view = viewSet.GetView(o);
    for (int32_t i = 0; i < v; ++i) {
      if (i == o) continue;
      const std::size_t oi = pairs.At(o, i);
      const Vec2 e = Dehomogenize(view.camera.pose * camera_centre[i]);
      pairs.epipole[oi] = e;
      pairs.baseline[oi] =
          (camera_centre[i].ToVec3() - camera_centre[o].ToVec3()).Length();
      pairs.epipoleDirection[oi] = Vec3(e.x, e.y, 1).Normalized();
      pairs.hullIndex[oi].Build(view, e);
    }
  }

  std::vector<DepthInterval> depth_interval(count);
  for (int32_t n = 0; n < v; ++n) {
    const View& view = viewSet.GetView(n);
    const int32_t hull_size = view.NumHullVertices();
    for (int32_t u = 0; u < hull_size; ++u) {
      const Vec2 p = view.NormalizedHullPoint(u);
      const Vec4 x = inverse_pose[n] * Vec4(p.x, p.y, 1, 1);
      const Vec3 ray = Vec3(p.x, p.y, 1).Normalized();
      for (DepthInterval& interval : depth_interval) interval = DepthInterval();

      for (int32_t j = 0; j < v; ++j) {
        if (j == n) continue;
        const std::size_t jn = pairs.At(j, n);
        const Vec2 q = Dehomogenize(viewSet.GetView(j).camera.pose * x);
        Vec2 crossing[2];
        if (!pairs.hullIndex[jn].CrossHull(q, &crossing[0], &crossing[1])) {
          continue;
        }
        const double alpha_n = AcosClampedPrevious(
            ray.Dot(pairs.epipoleDirection[pairs.At(n, j)]));
        double t[2];
        for (int k = 0; k < 2; ++k) {
          const Vec3 w = Vec3(crossing[k].x, crossing[k].y, 1).Normalized();
          const double alpha_j =
              AcosClampedPrevious(pairs.epipoleDirection[jn].Dot(w));
          t[k] = pairs.baseline[jn] * std::sin(alpha_j) /
                 std::sin(pi - alpha_n - alpha_j);
        }
        if (std::isnan(t[0]) || std::isnan(t[1])) continue;
        if (t[1] < t[0]) {
          const double swap = t[0];
          t[0] = t[1];
          t[1] = swap;
        }
        if (t[1] < 0) continue;
        depth_interval[j].empty = false;
        if (t[0] < 0) {
          depth_interval[j].lower = t[1];
          depth_interval[j].upper = std::numeric_limits<double>::infinity();
        } else {
          depth_interval[j].lower = t[0];
          depth_interval[j].upper = t[1];
        }
      }

      DepthInterval acc = depth_interval[n == 0 ? 1 : 0];
      for (int32_t k = 0; k < v; ++k) {
        if (k != n) IntersectInterval(&acc, depth_interval[k]);
      }
      if (acc.empty) continue;
      const Vec3 near_point = ray * acc.lower;
      const Vec3 far_point = ray * acc.upper;
      ViewingEdge edge;
      edge.near = (inverse_pose[n] * Vec4::FromPoint(near_point)).ToVec3();
      edge.far = (inverse_pose[n] * Vec4::FromPoint(far_point)).ToVec3();
      edge.view = n;
      edges->push_back(edge);
    }
  }
}

}  // namespace silhouette
