#include "dovanel/solver_settings.h"

#include <cmath>
#include <limits>

#include "geometry/error_text.h"

namespace silhouette {

int TruncateToInt(double value) {
  if (std::isnan(value)) return 0;
  // Both limits are exact doubles; every value strictly between them
  // truncates to an int.
  constexpr double kMin = static_cast<double>(std::numeric_limits<int>::min());
  constexpr double kMax = static_cast<double>(std::numeric_limits<int>::max());
  if (value <= kMin) return std::numeric_limits<int>::min();
  if (value >= kMax) return std::numeric_limits<int>::max();
  return static_cast<int>(value);
}

SolverSettings ReadSolverSettings(double mfe, double tol) {
  if (!(tol >= 0)) {
    throw ErrorText("tol in [mfe;tol] must not be negative or NaN");
  }
  return SolverSettings{TruncateToInt(mfe), tol};
}

}  // namespace silhouette
