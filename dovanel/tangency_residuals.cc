#include "dovanel/tangency_residuals.h"

#include <cmath>
#include <utility>

#include "dovanel/tangent_points.h"
#include "geometry/mat3.h"
#include "geometry/vec3.h"
#include "geometry/vec4.h"

namespace silhouette {
namespace {

// The homogeneous image point (p.x, p.y, 1).
Vec3 Homogeneous(const Vec2& p) { return Vec3(p.x, p.y, 1); }

// [t]x, the matrix of the cross product t x (.).
Mat3 CrossMatrix(const Vec3& t) {
  return Mat3{{{0, -t.z, t.y}, {t.z, 0, -t.x}, {-t.y, t.x, 0}}};
}

// The x and y offset from `vertex` to the foot of the perpendicular from it
// on the line `line` (a, b, c): a x + b y + c = 0.
void OffsetToLine(const Vec3& line, const Vec2& vertex, double* out) {
  const Vec3 perpendicular = Vec3(line.x, line.y, 0).Cross(Homogeneous(vertex));
  const Vec3 meet = line.Cross(perpendicular);
  const Vec3 foot = meet / meet.z;
  out[0] = foot.x - vertex.x;
  out[1] = foot.y - vertex.y;
}

}  // namespace

Vec2 ProjectedCentreOf(const View& view, const Mat4& partnerPoseInverse,
                       const Mat4& T) {
  const Mat4 m = T * partnerPoseInverse;
  const Vec3 centre = (m * Vec4(0, 0, 0, 1)).ToVec3();
  return view.camera.Project(centre);
}

ViewInverses::ViewInverses(const View& view)
    : poseInverse(view.camera.pose.Inverse()),
      kInverse(view.camera.K().Inverse()) {}

Vec2 ProjectedCentre(const View& view, const View& partner, const Mat4& T) {
  return ProjectedCentreOf(view, partner.camera.pose.Inverse(), T);
}

bool InsideBox(const View& view, const Vec2& e) {
  return view.boxMin.x < e.x && e.x < view.boxMax.x && view.boxMin.y < e.y &&
         e.y < view.boxMax.y;
}

bool EpipoleInside(const View& view, const View& partner, const Mat4& T) {
  return InsideBox(view, ProjectedCentre(view, partner, T));
}

void PairResiduals(const View& view, const View& partner, const Mat4& T,
                   double* out) {
  PairResiduals(view, ViewInverses(view), partner, ViewInverses(partner), T,
                T.Inverse(), out);
}

Vec2 PairResiduals(const View& view, const ViewInverses& viewInverses,
                   const View& partner, const ViewInverses& partnerInverses,
                   const Mat4& T, const Mat4& tInverse, double* out) {
  const Vec2 e1 = ProjectedCentreOf(view, partnerInverses.poseInverse, T);
  const Vec2 e2 =
      ProjectedCentreOf(partner, viewInverses.poseInverse, tInverse);
  const TangentPair t1 = TangentPoints(view, e1);
  const TangentPair t2 = TangentPoints(partner, e2);
  // M carries the partner's camera coordinates into the view's.
  const Mat4 m = view.camera.pose * T * partnerInverses.poseInverse;
  TangencyOffsets(viewInverses, partnerInverses, m, t1, t2, out);
  return e1;
}

void TangencyOffsets(const ViewInverses& viewInverses,
                     const ViewInverses& partnerInverses, const Mat4& m,
                     const TangentPair& t1, TangentPair t2, double* out) {
  const Mat3 essential = CrossMatrix(m.Translation()) * m.Block3();

  const Mat3& k1_inv = viewInverses.kInverse;
  const Mat3& k2_inv = partnerInverses.kInverse;
  // f21 maps a point of the view's image to its epipolar line in the
  // partner's image, f12 the other way.
  const Mat3 f21 = k2_inv.Transposed() * essential.Transposed() * k1_inv;
  const Mat3 f12 = k1_inv.Transposed() * essential * k2_inv;

  const Vec3 l2 = f21 * Homogeneous(t1.first);
  if (std::abs(Homogeneous(t2.first).Dot(l2)) >
      std::abs(Homogeneous(t2.second).Dot(l2))) {
    std::swap(t2.first, t2.second);
  }
  OffsetToLine(f12 * Homogeneous(t2.first), t1.first, out);
  OffsetToLine(f12 * Homogeneous(t2.second), t1.second, out + 2);
}

}  // namespace silhouette
