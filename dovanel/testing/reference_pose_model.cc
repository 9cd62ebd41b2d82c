#include "dovanel/testing/reference_pose_model.h"

#include <gsl/gsl_vector.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "dovanel/relative_pose_model.h"
#include "geometry/error_text.h"

namespace silhouette {
namespace testing {
namespace {

constexpr int kNumParams = 7;

bool SizeIs(std::size_t size, int count) {
  return count >= 0 && size == static_cast<std::size_t>(count);
}

void CheckHulls(const ViewSet& set, const char* name) {
  for (int32_t i = 0; i < set.NumViews(); ++i) {
    if (set.GetView(i).NumHullVertices() < 1) {
      throw ErrorText("view " + std::to_string(i + 1) + " of " + name +
                      " has no hull vertices.");
    }
  }
}

std::vector<ViewInverses> InversesOf(const ViewSet& set) {
  std::vector<ViewInverses> inverses;
  inverses.reserve(set.views.size());
  for (const View& view : set.views) inverses.emplace_back(view);
  return inverses;
}

int CountResiduals(const ViewSet& setA, const ViewSet& setB) {
  const int64_t count =
      int64_t{8} * int64_t{setA.NumViews()} * int64_t{setB.NumViews()};
  if (count > std::numeric_limits<int>::max()) {
    throw ErrorText(
        "too many view pairs: 8 x |A| x |B| residuals exceed the largest "
        "int.");
  }
  return static_cast<int>(count);
}

// The seven numbers of x, which must hold seven.
void ReadPose(const gsl_vector* x, double* pose) {
  if (!SizeIs(x->size, kNumParams)) {
    throw ErrorText("paramVec->size != NumParams()");
  }
  for (int i = 0; i < kNumParams; ++i) pose[i] = gsl_vector_get(x, i);
}

}  // namespace

ReferencePoseModel::ReferencePoseModel(const ViewSet& setA, const ViewSet& setB)
    : setA_(setA), setB_(setB), numResiduals_(CountResiduals(setA, setB)) {
  CheckHulls(setA, "set A");
  CheckHulls(setB, "set B");
  inversesA_ = InversesOf(setA);
  inversesB_ = InversesOf(setB);
}

void ReferencePoseModel::Residuals(gsl_vector* f, const gsl_vector* x) {
  double pose[kNumParams];
  ReadPose(x, pose);
  if (!SizeIs(f->size, numResiduals_)) {
    throw ErrorText("f->size != NumResiduals()");
  }
  if (f->stride == 1) {
    ResidualsAt(f->data, pose);
    return;
  }
  std::vector<double> values(f->size);
  ResidualsAt(values.data(), pose);
  for (std::size_t i = 0; i < values.size(); ++i) {
    gsl_vector_set(f, i, values[i]);
  }
}

void ReferencePoseModel::Jacobian(gsl_matrix* J, const gsl_vector* x) {
  ForwardDifferenceJacobian(*this, J, x, fdStep);
}

void ReferencePoseModel::ResidualsAt(double* out, const double* pose) const {
  // The pair functions invert the transform they are given: T for A's
  // half of a group, T^-1 for B's half.
  const Mat4 t = PoseToMatrix(pose);
  const Mat4 t_inverse = t.Inverse();
  const Mat4 t_inverse_inverse = t_inverse.Inverse();
  const std::size_t n = static_cast<std::size_t>(numResiduals_);
  std::vector<unsigned char> flags(n, 0);
  std::size_t k = 0;
  for (int32_t i = 0; i < setA_.NumViews(); ++i) {
    const View& a = setA_.GetView(i);
    const ViewInverses& a_inverses = inversesA_[i];
    for (int32_t j = 0; j < setB_.NumViews(); ++j) {
      const View& b = setB_.GetView(j);
      const ViewInverses& b_inverses = inversesB_[j];
      // Each returns its epipole, which decides the half group's flag.
      const Vec2 e_a =
          PairResiduals(a, a_inverses, b, b_inverses, t, t_inverse, out + k);
      const Vec2 e_b = PairResiduals(b, b_inverses, a, a_inverses, t_inverse,
                                     t_inverse_inverse, out + k + 4);
      const unsigned char a_flag = InsideBox(a, e_a) ? 1 : 0;
      const unsigned char b_flag = InsideBox(b, e_b) ? 1 : 0;
      for (std::size_t r = 0; r < 4; ++r) {
        flags[k + r] = a_flag;
        flags[k + 4 + r] = b_flag;
      }
      k += 8;
    }
  }
  ReplaceFlaggedResiduals(out, flags.data(), n);
}

double ReferencePoseModel::SumOfSquares(const gsl_vector* x) const {
  double pose[kNumParams];
  ReadPose(x, pose);
  std::vector<double> values(static_cast<std::size_t>(numResiduals_));
  ResidualsAt(values.data(), pose);
  double sum = 0;
  for (const double v : values) sum += v * v;
  return sum;
}

double ReferencePoseModel::Rms(const std::vector<double>& pose) const {
  if (!SizeIs(pose.size(), kNumParams)) {
    throw ErrorText("vector has wrong number of elements.");
  }
  const gsl_vector_const_view x =
      gsl_vector_const_view_array(pose.data(), pose.size());
  return std::sqrt(SumOfSquares(&x.vector) /
                   static_cast<double>(numResiduals_));
}

}  // namespace testing
}  // namespace silhouette
