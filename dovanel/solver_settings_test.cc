#include "dovanel/solver_settings.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "geometry/error_text.h"

namespace silhouette {
namespace {

constexpr int kMin = std::numeric_limits<int>::min();
constexpr int kMax = std::numeric_limits<int>::max();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(TruncateToInt, TruncatesTowardZero) {
  EXPECT_EQ(TruncateToInt(2.9), 2);
  EXPECT_EQ(TruncateToInt(-2.9), -2);
  EXPECT_EQ(TruncateToInt(0.0), 0);
  EXPECT_EQ(TruncateToInt(-0.5), 0);
  EXPECT_EQ(TruncateToInt(2147483646.5), 2147483646);
  EXPECT_EQ(TruncateToInt(-2147483647.9), -2147483647);
}

TEST(TruncateToInt, ClampsToTheRangeOfInt) {
  EXPECT_EQ(TruncateToInt(2147483647.0), kMax);
  EXPECT_EQ(TruncateToInt(2147483647.5), kMax);
  EXPECT_EQ(TruncateToInt(1e300), kMax);
  EXPECT_EQ(TruncateToInt(kInf), kMax);
  EXPECT_EQ(TruncateToInt(-2147483648.0), kMin);
  EXPECT_EQ(TruncateToInt(-2147483648.5), kMin);
  EXPECT_EQ(TruncateToInt(-1e300), kMin);
  EXPECT_EQ(TruncateToInt(-kInf), kMin);
}

TEST(TruncateToInt, NaNIsZero) { EXPECT_EQ(TruncateToInt(kNaN), 0); }

TEST(ReadSolverSettings, TakesMfeAndTol) {
  const SolverSettings s = ReadSolverSettings(20.7, 1e-9);
  EXPECT_EQ(s.maxIterations, 20);
  EXPECT_EQ(s.relTolerance, 1e-9);
  EXPECT_EQ(ReadSolverSettings(kNaN, 0).maxIterations, 0);
  EXPECT_EQ(ReadSolverSettings(1, 0).relTolerance, 0);
  EXPECT_EQ(ReadSolverSettings(1, kInf).relTolerance, kInf);
}

TEST(ReadSolverSettings, RejectsNegativeAndNaNTol) {
  for (double tol : {-1e-300, -1.0, -kInf, kNaN}) {
    try {
      ReadSolverSettings(10, tol);
      ADD_FAILURE() << "accepted tol " << tol;
    } catch (const ErrorText& error) {
      EXPECT_EQ(std::string(error.what()),
                "tol in [mfe;tol] must not be negative or NaN");
    }
  }
}

}  // namespace
}  // namespace silhouette
