#include "lsq/point_triangulation_model.h"

#include <cmath>

#include "geometry/error_text.h"

namespace silhouette {

PointTriangulationModel::PointTriangulationModel(
    const std::vector<Vec2>& observations, const std::vector<Camera>& cameras)
    : observations_(observations), cameras_(cameras) {
  if (observations.size() != cameras.size()) {
    throw ErrorText("observations and cameras differ in number.");
  }
}

int PointTriangulationModel::NumResiduals() const {
  return static_cast<int>(2 * observations_.size());
}

void PointTriangulationModel::Residuals(gsl_vector* f, const gsl_vector* x) {
  const Vec3 point(gsl_vector_get(x, 0), gsl_vector_get(x, 1),
                   gsl_vector_get(x, 2));
  for (std::size_t i = 0; i < cameras_.size(); ++i) {
    const Vec2 p = cameras_[i].Project(point);
    gsl_vector_set(f, 2 * i, p.x - observations_[i].x);
    gsl_vector_set(f, 2 * i + 1, p.y - observations_[i].y);
  }
}

void PointTriangulationModel::Jacobian(gsl_matrix* J, const gsl_vector* x) {
  if (analyticJacobian) {
    AnalyticJacobian(J, x);
  } else {
    ForwardDifferenceJacobian(*this, J, x, fdStep);
  }
}

// d(a / w) / dX[c] = (M[r][c] w - a M[2][c]) / w^2 for rows r = 0, 1, with
// the terms in X[c] cancelled in the numerator.
void PointTriangulationModel::AnalyticJacobian(gsl_matrix* J,
                                               const gsl_vector* x) const {
  const double point[3] = {gsl_vector_get(x, 0), gsl_vector_get(x, 1),
                           gsl_vector_get(x, 2)};
  for (std::size_t i = 0; i < cameras_.size(); ++i) {
    const Mat3 m = cameras_[i].KR();
    const Vec3 kt = cameras_[i].KT();
    const double k[3] = {kt.x, kt.y, kt.z};
    const double w =
        m[2][0] * point[0] + m[2][1] * point[1] + m[2][2] * point[2] + k[2];
    const double w2 = std::pow(w, 2);
    for (int r = 0; r < 2; ++r) {
      for (int c = 0; c < 3; ++c) {
        const int j1 = c == 0 ? 1 : 0;
        const int j2 = c == 2 ? 1 : 2;
        const double numerator =
            (m[2][j1] * point[j1] + m[2][j2] * point[j2] + k[2]) * m[r][c] -
            m[2][c] * m[r][j1] * point[j1] - m[2][c] * m[r][j2] * point[j2] -
            m[2][c] * k[r];
        gsl_matrix_set(J, 2 * i + r, c, numerator / w2);
      }
    }
  }
}

}  // namespace silhouette
