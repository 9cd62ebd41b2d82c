#include "dovanel/relative_pose_model.h"

#include <gsl/gsl_vector.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cstdint>
#include <limits>
#include <string>

#include "geometry/error_text.h"

namespace silhouette {
namespace {

constexpr int kNumParams = 7;
constexpr double kMinQuaternionNorm = 1e-8;

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

std::vector<TangentSearch> SearchesOf(const ViewSet& set) {
  std::vector<TangentSearch> searches;
  searches.reserve(set.views.size());
  for (const View& view : set.views) searches.emplace_back(view);
  return searches;
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

Mat4 PoseToMatrix(const double* pose) {
  double w = pose[3];
  double x = pose[0];
  double y = pose[1];
  double z = pose[2];
  const double norm = std::sqrt(w * w + x * x + y * y + z * z);
  if (norm > kMinQuaternionNorm) {
    const double r = 1 / norm;
    w *= r;
    x *= r;
    y *= r;
    z *= r;
  } else {
    w = x = y = z = 0;
  }
  Mat4 t = Mat4::kIdentity;
  t[0][0] = 1 - 2 * (y * y + z * z);
  t[0][1] = 2 * x * y - 2 * w * z;
  t[0][2] = 2 * x * z + 2 * w * y;
  t[1][0] = 2 * x * y + 2 * w * z;
  t[1][1] = 1 - 2 * (x * x + z * z);
  t[1][2] = 2 * y * z - 2 * w * x;
  t[2][0] = 2 * x * z - 2 * w * y;
  t[2][1] = 2 * y * z + 2 * w * x;
  t[2][2] = 1 - 2 * (x * x + y * y);
  t[0][3] = pose[4];
  t[1][3] = pose[5];
  t[2][3] = pose[6];
  return t;
}

void ReplaceFlaggedResiduals(double* out, const unsigned char* flags,
                             std::size_t n) {
  double sum = 0;
  std::size_t count = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (flags[i] == 0) {
      sum += out[i] * out[i];
      ++count;
    }
  }
  const double replacement = count > 0
                                 ? std::sqrt(sum / static_cast<double>(count))
                                 : std::numeric_limits<double>::quiet_NaN();
  for (std::size_t i = 0; i < n; ++i) {
    if (flags[i] != 0) out[i] = replacement;
  }
}

RelativePoseModel::RelativePoseModel(const ViewSet& setA, const ViewSet& setB)
    : setA_(setA), setB_(setB), numResiduals_(CountResiduals(setA, setB)) {
  CheckHulls(setA, "set A");
  CheckHulls(setB, "set B");
  inversesA_ = InversesOf(setA);
  inversesB_ = InversesOf(setB);
  searchA_ = SearchesOf(setA);
  searchB_ = SearchesOf(setB);
  poseTimesA_.resize(setA.views.size());
  poseTimesB_.resize(setB.views.size());
  // The space per residual comes with the first evaluation: a model is
  // also built only to count residuals.
}

void RelativePoseModel::Residuals(gsl_vector* f, const gsl_vector* x) {
  double pose[kNumParams];
  ReadPose(x, pose);
  if (!SizeIs(f->size, numResiduals_)) {
    throw ErrorText("f->size != NumResiduals()");
  }
  const double* values = ResidualsOfLatest(pose);
  if (f->stride == 1) {
    std::copy(values, values + f->size, f->data);
    return;
  }
  for (std::size_t i = 0; i < f->size; ++i) gsl_vector_set(f, i, values[i]);
}

const double* RelativePoseModel::ResidualsOfLatest(const double* pose) {
  latest_.resize(static_cast<std::size_t>(numResiduals_));
  if (!haveLatest_ ||
      std::memcmp(pose, latestPose_, sizeof latestPose_) != 0) {
    haveLatest_ = false;
    ResidualsAt(latest_.data(), pose);
    std::memcpy(latestPose_, pose, sizeof latestPose_);
    haveLatest_ = true;
  }
  return latest_.data();
}

void RelativePoseModel::Jacobian(gsl_matrix* J, const gsl_vector* x) {
  // The checks and the arithmetic of ForwardDifferenceJacobian: column j
  // is (f(x + h e_j) - f(x)) * (1 / h).
  if (!SizeIs(x->size, kNumParams)) {
    throw ErrorText("paramVec->size != NumParams()");
  }
  if (!SizeIs(J->size1, numResiduals_)) {
    throw ErrorText("J->size1 != NumResiduals()");
  }
  if (!SizeIs(J->size2, kNumParams)) {
    throw ErrorText("J->size2 != NumParams()");
  }
  double pose[kNumParams];
  ReadPose(x, pose);
  const double inv_step = 1.0 / fdStep;
  const double* base = ResidualsOfLatest(pose);
  const std::size_t n = static_cast<std::size_t>(numResiduals_);
  stepped_.resize(n);
  for (int j = 0; j < kNumParams; ++j) {
    double stepped_pose[kNumParams];
    std::copy(pose, pose + kNumParams, stepped_pose);
    stepped_pose[j] = pose[j] + fdStep;
    ResidualsAt(stepped_.data(), stepped_pose);
    for (std::size_t i = 0; i < n; ++i) {
      double d = stepped_[i] - base[i];
      d *= inv_step;
      gsl_matrix_set(J, i, static_cast<std::size_t>(j), d);
    }
  }
}

void RelativePoseModel::ResidualsAt(double* out, const double* pose) const {
  // The pair recipe inverts the transform it is given: T for A's half of
  // a group, T^-1 for B's half. So A's epipole comes once under T (A's
  // half) and once under (T^-1)^-1 (B's half), B's under T^-1 for both.
  const Mat4 t = PoseToMatrix(pose);
  const Mat4 t_inverse = t.Inverse();
  const Mat4 t_inverse_inverse = t_inverse.Inverse();
  const int32_t num_a = setA_.NumViews();
  const int32_t num_b = setB_.NumViews();
  flags_.resize(static_cast<std::size_t>(numResiduals_) / 4);
  hintsA_.resize(static_cast<std::size_t>(numResiduals_) / 8);
  hintsB_.resize(static_cast<std::size_t>(numResiduals_) / 8);
  for (int32_t i = 0; i < num_a; ++i) {
    poseTimesA_[i] = setA_.GetView(i).camera.pose * t;
  }
  for (int32_t j = 0; j < num_b; ++j) {
    poseTimesB_[j] = setB_.GetView(j).camera.pose * t_inverse;
  }
  // The sum of the squares of the unflagged residuals, in index order.
  double sum = 0;
  std::size_t count = 0;
  bool any_flag = false;
  std::size_t k = 0;
  for (int32_t i = 0; i < num_a; ++i) {
    const View& a = setA_.GetView(i);
    const ViewInverses& a_inverses = inversesA_[i];
    const TangentSearch& a_search = searchA_[i];
    for (int32_t j = 0; j < num_b; ++j) {
      const View& b = setB_.GetView(j);
      const ViewInverses& b_inverses = inversesB_[j];
      const Vec2 e_a = ProjectedCentreOf(a, b_inverses.poseInverse, t);
      const Vec2 e_b = ProjectedCentreOf(b, a_inverses.poseInverse, t_inverse);
      const Vec2 e_a_again =
          ProjectedCentreOf(a, b_inverses.poseInverse, t_inverse_inverse);
      // The positions found at the previous evaluation start each search
      // (they speed it up and never change its answer).
      TangentSearch::Hint& hint_a = hintsA_[k / 8];
      const TangentPair tangents_a = a_search.Find(e_a, &hint_a);
      const TangentPair tangents_b = searchB_[j].Find(e_b, &hintsB_[k / 8]);
      TangentSearch::Hint hint_a_again = hint_a;
      const TangentPair tangents_a_again =
          std::memcmp(&e_a_again, &e_a, sizeof e_a) == 0
              ? tangents_a
              : a_search.Find(e_a_again, &hint_a_again);
      TangencyOffsets(a_inverses, b_inverses,
                      poseTimesA_[i] * b_inverses.poseInverse, tangents_a,
                      tangents_b, out + k);
      TangencyOffsets(b_inverses, a_inverses,
                      poseTimesB_[j] * a_inverses.poseInverse, tangents_b,
                      tangents_a_again, out + k + 4);
      const bool a_flag = InsideBox(a, e_a);
      const bool b_flag = InsideBox(b, e_b);
      flags_[k / 4] = a_flag ? 1 : 0;
      flags_[k / 4 + 1] = b_flag ? 1 : 0;
      any_flag = any_flag || a_flag || b_flag;
      for (std::size_t r = 0; r < 8; ++r) {
        if (r < 4 ? a_flag : b_flag) continue;
        sum += out[k + r] * out[k + r];
        ++count;
      }
      k += 8;
    }
  }
  if (!any_flag) return;
  const double replacement = count > 0
                                 ? std::sqrt(sum / static_cast<double>(count))
                                 : std::numeric_limits<double>::quiet_NaN();
  for (std::size_t h = 0; h < flags_.size(); ++h) {
    if (flags_[h] == 0) continue;
    for (std::size_t r = 0; r < 4; ++r) out[4 * h + r] = replacement;
  }
}

double RelativePoseModel::SumOfSquares(const gsl_vector* x) const {
  double pose[kNumParams];
  ReadPose(x, pose);
  values_.resize(static_cast<std::size_t>(numResiduals_));
  ResidualsAt(values_.data(), pose);
  double sum = 0;
  for (const double v : values_) sum += v * v;
  return sum;
}

double RelativePoseModel::Rms(const std::vector<double>& pose) const {
  if (!SizeIs(pose.size(), kNumParams)) {
    throw ErrorText("vector has wrong number of elements.");
  }
  const gsl_vector_const_view x =
      gsl_vector_const_view_array(pose.data(), pose.size());
  return std::sqrt(SumOfSquares(&x.vector) /
                   static_cast<double>(numResiduals_));
}

}  // namespace silhouette
