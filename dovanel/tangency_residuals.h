// Epipolar tangency misfits between a view and a partner view whose world
// frames are related by a rigid transform.
//
// A transform T from the partner's world to the view's world maps
// homogeneous world points of the partner's view set into the view's view
// set. Image quantities are pixels of undistorted images: the fundamental
// matrices are built from the cameras' intrinsic matrices, which exist only
// for kappa1 = 0. Singular poses, transforms or intrinsic matrices are not
// trapped: their inverses are the zero matrix, and the resulting epipoles
// and residuals pass through as whatever numbers come out.
#pragma once

#include "camera/view.h"
#include "dovanel/tangent_points.h"
#include "geometry/mat3.h"
#include "geometry/mat4.h"
#include "geometry/vec2.h"

namespace silhouette {

// The epipole of `partner` in `view`: the image in view's camera of the
// partner camera's centre carried by T, that is Project of the first three
// components of T * inverse(partner pose) * (0, 0, 0, 1) (the fourth is not
// divided out).
Vec2 ProjectedCentre(const View& view, const View& partner, const Mat4& T);

// True exactly when ProjectedCentre(view, partner, T) lies strictly inside
// the view's box: boxMin.x < e.x < boxMax.x and boxMin.y < e.y < boxMax.y.
// An epipole on an edge of the box, or one that is not a number, is not
// inside.
bool EpipoleInside(const View& view, const View& partner, const Mat4& T);

// Writes four residuals at out: for each of the two hull vertices of `view`
// touched by the tangents from its epipole (TangentPoints, first then
// second), the x and y offset in pixels from the vertex to the foot of the
// perpendicular on the epipolar line of its partner vertex. The partner
// vertices are the two tangent vertices of `partner` seen from its own
// epipole (under inverse(T)); the first tangent vertex of `view` is paired
// with the one nearer, in the algebraic measure |h(p) . l|, to its epipolar
// line l in the partner image (the listed order on a tie). All four are 0
// up to rounding when T is the true transform and the silhouettes are the
// exact outlines of one convex polyhedron. Throws "Cannot form matrix K with
// nonzero kappa1" when either camera has kappa1 != 0. Both views must have
// at least one hull vertex.
void PairResiduals(const View& view, const View& partner, const Mat4& T,
                   double* out);

// What the functions above compute of a view that depends on the view
// alone: the inverses of its pose and of its intrinsic matrix. Throws
// "Cannot form matrix K with nonzero kappa1" when the camera has
// kappa1 != 0.
struct ViewInverses {
  explicit ViewInverses(const View& view);

  Mat4 poseInverse;
  Mat3 kInverse;
};

// PairResiduals(view, partner, T, out) bit for bit, with the inverses of
// both views and tInverse = T.Inverse() computed beforehand. Returns the
// epipole ProjectedCentre(view, partner, T) that it used.
Vec2 PairResiduals(const View& view, const ViewInverses& viewInverses,
                   const View& partner, const ViewInverses& partnerInverses,
                   const Mat4& T, const Mat4& tInverse, double* out);

// The image in view's camera of the centre of a camera whose pose has the
// inverse partnerPoseInverse, carried by T: ProjectedCentre with the
// partner's pose inverse computed beforehand.
Vec2 ProjectedCentreOf(const View& view, const Mat4& partnerPoseInverse,
                       const Mat4& T);

// What PairResiduals computes once it has its tangent pairs: t1 those of
// the view, t2 those of the partner (before any exchange), and m the
// transform view pose * T * inverse(partner pose).
void TangencyOffsets(const ViewInverses& viewInverses,
                     const ViewInverses& partnerInverses, const Mat4& m,
                     const TangentPair& t1, TangentPair t2, double* out);

// Whether e lies strictly inside the view's box, as EpipoleInside decides.
bool InsideBox(const View& view, const Vec2& e);

}  // namespace silhouette
