// The project's CBLAS routines against GSL's reference CBLAS (libgslcblas),
// bit for bit, on random and adversarial inputs. This program links both:
// libgslcblas under the standard names and the project's routines under
// the names SILHOUETTE_CBLAS_RENAMED gives them.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "cblas/cblas_routines.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// Random numbers of every magnitude with, now and then, the values that
// take special paths: zeros of both signs, infinities, NaN, subnormals and
// numbers near overflow.
class Numbers {
 public:
  explicit Numbers(std::uint64_t seed) : engine_(seed) {}

  double Next(bool special) {
    if (special && Uniform(0, 1) < 0.15) {
      static const double kSpecial[] = {
          0.0, -0.0, kInf, -kInf, std::nan(""), 4.9e-324, -2.2e-310,
          1.7e308, -1.7e308, 1e-300, 1.0, -1.0};
      return kSpecial[Below(sizeof(kSpecial) / sizeof(kSpecial[0]))];
    }
    const double mantissa = Uniform(-1, 1);
    const int exponent = static_cast<int>(Below(13)) - 6;
    return mantissa * std::pow(10.0, Uniform(0, 1) < 0.1 ? 100 * exponent
                                                          : exponent);
  }

  std::vector<double> Vector(std::size_t n, bool special) {
    std::vector<double> v(n);
    for (double& x : v) x = Next(special);
    return v;
  }

  std::vector<float> FloatVector(std::size_t n, bool special) {
    std::vector<float> v(n);
    for (float& x : v) x = static_cast<float>(Next(special));
    return v;
  }

  std::size_t Below(std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(engine_);
  }

  double Uniform(double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(engine_);
  }

 private:
  std::mt19937_64 engine_;
};

// Identical bits, except that any NaN matches any NaN: which operand's
// NaN a sum or product passes on (and so its sign) depends on the order in
// which the compiler puts the operands of a commutative operation, which no
// source code fixes.
template <typename T>
bool SameBits(T a, T b) {
  if (std::isnan(a) && std::isnan(b)) return true;
  return std::memcmp(&a, &b, sizeof(T)) == 0;
}

template <typename T>
bool SameBits(const std::vector<T>& a, const std::vector<T>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (!SameBits(a[i], b[i])) return false;
  }
  return true;
}

// Storage for a vector of n elements of `parts` numbers each, walked with
// increment inc (BLAS: |inc| apart, from the far end for inc < 0).
std::size_t Span(int n, int inc, int parts = 1) {
  if (n <= 0) return 1;
  return static_cast<std::size_t>((n - 1) * std::abs(inc) + 1) * parts;
}

const int kIncrements[] = {1, 2, 3, 0, -1, -2};
const int kLengths[] = {0, 1, 2, 3, 4, 5, 7, 16, 33};
// Routines of one vector do nothing for these.
const int kIncrementsNonPositive[] = {0, -1, -3};

struct VectorCase {
  int n;
  int incX;
  int incY;
  bool special;
};

// Every length with every pair of increments, with and without special
// values.
std::vector<VectorCase> VectorCases() {
  std::vector<VectorCase> cases;
  for (int n : kLengths) {
    for (int incX : kIncrements) {
      for (int incY : kIncrements) {
        for (bool special : {false, true}) {
          cases.push_back({n, incX, incY, special});
        }
      }
    }
  }
  return cases;
}

std::string Describe(const VectorCase& c) {
  return "n=" + std::to_string(c.n) + " incX=" + std::to_string(c.incX) +
         " incY=" + std::to_string(c.incY) +
         (c.special ? " with special values" : "");
}

constexpr int kRepeats = 20;

TEST(Cblas, DotNormSumAndMaxIndexMatch) {
  Numbers numbers(1);
  for (const VectorCase& c : VectorCases()) {
    for (int r = 0; r < kRepeats; ++r) {
      const auto x = numbers.Vector(Span(c.n, c.incX), c.special);
      const auto y = numbers.Vector(Span(c.n, c.incY), c.special);
      ASSERT_TRUE(SameBits(
          silhouette_cblas_ddot(c.n, x.data(), c.incX, y.data(), c.incY),
          cblas_ddot(c.n, x.data(), c.incX, y.data(), c.incY)))
          << "ddot " << Describe(c);
      // The one-vector routines take positive increments only.
      const int inc = std::abs(c.incX);
      ASSERT_TRUE(SameBits(silhouette_cblas_dnrm2(c.n, x.data(), inc),
                           cblas_dnrm2(c.n, x.data(), inc)))
          << "dnrm2 " << Describe(c);
      ASSERT_TRUE(SameBits(silhouette_cblas_dasum(c.n, x.data(), inc),
                           cblas_dasum(c.n, x.data(), inc)))
          << "dasum " << Describe(c);
      ASSERT_EQ(silhouette_cblas_idamax(c.n, x.data(), inc),
                cblas_idamax(c.n, x.data(), inc))
          << "idamax " << Describe(c);
    }
  }
}

TEST(Cblas, NormOfValuesOverAndUnderRange) {
  // Squares of these overflow or underflow; the scaled sum must not.
  const std::vector<std::vector<double>> cases = {
      {1e200, 1e200, -3e200},  {1e-200, -2e-200, 5e-201},
      {1e300, 1e-300, 0.0},    {0.0, 0.0, 0.0},
      {-0.0, 5e-324, 1e308},   {3.0, 4.0, kInf},
      {std::nan(""), 1.0, 2.0}, {1.0, std::nan(""), kInf}};
  for (const auto& x : cases) {
    const int n = static_cast<int>(x.size());
    EXPECT_TRUE(SameBits(silhouette_cblas_dnrm2(n, x.data(), 1),
                         cblas_dnrm2(n, x.data(), 1)))
        << x[0] << " " << x[1] << " " << x[2];
  }
  EXPECT_EQ(silhouette_cblas_dnrm2(2, cases[0].data(), 1),
            std::sqrt(2.0) * 1e200);
}

TEST(Cblas, OneVectorRoutinesIgnoreNonPositiveIncrements) {
  Numbers numbers(2);
  for (int inc : kIncrementsNonPositive) {
    auto x = numbers.Vector(16, false);
    auto ours = x;
    auto theirs = x;
    silhouette_cblas_dscal(5, 3.0, ours.data(), inc);
    cblas_dscal(5, 3.0, theirs.data(), inc);
    EXPECT_TRUE(SameBits(ours, x));
    EXPECT_TRUE(SameBits(theirs, x));
    EXPECT_TRUE(SameBits(silhouette_cblas_dnrm2(5, x.data(), inc),
                         cblas_dnrm2(5, x.data(), inc)));
    EXPECT_TRUE(SameBits(silhouette_cblas_dasum(5, x.data(), inc),
                         cblas_dasum(5, x.data(), inc)));
    EXPECT_EQ(silhouette_cblas_idamax(5, x.data(), inc),
              cblas_idamax(5, x.data(), inc));
  }
}

TEST(Cblas, AxpyScaleCopyAndSwapMatch) {
  Numbers numbers(3);
  const double alphas[] = {0.0, 1.0, -1.0, 2.5, kInf, std::nan("")};
  for (const VectorCase& c : VectorCases()) {
    for (int r = 0; r < kRepeats; ++r) {
      const auto x = numbers.Vector(Span(c.n, c.incX), c.special);
      const auto y = numbers.Vector(Span(c.n, c.incY), c.special);
      const double alpha =
          r < 6 ? alphas[r] : numbers.Next(c.special);

      auto ours = y;
      auto theirs = y;
      silhouette_cblas_daxpy(c.n, alpha, x.data(), c.incX, ours.data(),
                             c.incY);
      cblas_daxpy(c.n, alpha, x.data(), c.incX, theirs.data(), c.incY);
      ASSERT_TRUE(SameBits(ours, theirs)) << "daxpy " << Describe(c);

      ours = x;
      theirs = x;
      const int inc = std::abs(c.incX);
      silhouette_cblas_dscal(c.n, alpha, ours.data(), inc);
      cblas_dscal(c.n, alpha, theirs.data(), inc);
      ASSERT_TRUE(SameBits(ours, theirs)) << "dscal " << Describe(c);

      ours = y;
      theirs = y;
      silhouette_cblas_dcopy(c.n, x.data(), c.incX, ours.data(), c.incY);
      cblas_dcopy(c.n, x.data(), c.incX, theirs.data(), c.incY);
      ASSERT_TRUE(SameBits(ours, theirs)) << "dcopy " << Describe(c);

      auto ours_x = x;
      auto theirs_x = x;
      ours = y;
      theirs = y;
      silhouette_cblas_dswap(c.n, ours_x.data(), c.incX, ours.data(), c.incY);
      cblas_dswap(c.n, theirs_x.data(), c.incX, theirs.data(), c.incY);
      ASSERT_TRUE(SameBits(ours, theirs) && SameBits(ours_x, theirs_x))
          << "dswap " << Describe(c);
    }
  }
}

TEST(Cblas, FloatAndComplexScaleCopyAndSwapMatch) {
  Numbers numbers(4);
  for (const VectorCase& c : VectorCases()) {
    for (int r = 0; r < 4; ++r) {
      const int inc = std::abs(c.incX);
      // float
      const auto fx = numbers.FloatVector(Span(c.n, c.incX), c.special);
      const auto fy = numbers.FloatVector(Span(c.n, c.incY), c.special);
      const float falpha = static_cast<float>(numbers.Next(c.special));
      auto fo = fx;
      auto ft = fx;
      silhouette_cblas_sscal(c.n, falpha, fo.data(), inc);
      cblas_sscal(c.n, falpha, ft.data(), inc);
      ASSERT_TRUE(SameBits(fo, ft)) << "sscal " << Describe(c);
      fo = fy;
      ft = fy;
      silhouette_cblas_scopy(c.n, fx.data(), c.incX, fo.data(), c.incY);
      cblas_scopy(c.n, fx.data(), c.incX, ft.data(), c.incY);
      ASSERT_TRUE(SameBits(fo, ft)) << "scopy " << Describe(c);
      auto fox = fx;
      auto ftx = fx;
      fo = fy;
      ft = fy;
      silhouette_cblas_sswap(c.n, fox.data(), c.incX, fo.data(), c.incY);
      cblas_sswap(c.n, ftx.data(), c.incX, ft.data(), c.incY);
      ASSERT_TRUE(SameBits(fo, ft) && SameBits(fox, ftx))
          << "sswap " << Describe(c);

      // complex float: pairs of floats
      const auto cx = numbers.FloatVector(Span(c.n, c.incX, 2), c.special);
      const auto cy = numbers.FloatVector(Span(c.n, c.incY, 2), c.special);
      const auto calpha = numbers.FloatVector(2, c.special);
      fo = cx;
      ft = cx;
      silhouette_cblas_cscal(c.n, calpha.data(), fo.data(), inc);
      cblas_cscal(c.n, calpha.data(), ft.data(), inc);
      ASSERT_TRUE(SameBits(fo, ft)) << "cscal " << Describe(c);
      fo = cy;
      ft = cy;
      silhouette_cblas_ccopy(c.n, cx.data(), c.incX, fo.data(), c.incY);
      cblas_ccopy(c.n, cx.data(), c.incX, ft.data(), c.incY);
      ASSERT_TRUE(SameBits(fo, ft)) << "ccopy " << Describe(c);
      fox = cx;
      ftx = cx;
      fo = cy;
      ft = cy;
      silhouette_cblas_cswap(c.n, fox.data(), c.incX, fo.data(), c.incY);
      cblas_cswap(c.n, ftx.data(), c.incX, ft.data(), c.incY);
      ASSERT_TRUE(SameBits(fo, ft) && SameBits(fox, ftx))
          << "cswap " << Describe(c);

      // complex double
      const auto zx = numbers.Vector(Span(c.n, c.incX, 2), c.special);
      const auto zy = numbers.Vector(Span(c.n, c.incY, 2), c.special);
      const auto zalpha = numbers.Vector(2, c.special);
      auto zo = zx;
      auto zt = zx;
      silhouette_cblas_zscal(c.n, zalpha.data(), zo.data(), inc);
      cblas_zscal(c.n, zalpha.data(), zt.data(), inc);
      ASSERT_TRUE(SameBits(zo, zt)) << "zscal " << Describe(c);
      zo = zy;
      zt = zy;
      silhouette_cblas_zcopy(c.n, zx.data(), c.incX, zo.data(), c.incY);
      cblas_zcopy(c.n, zx.data(), c.incX, zt.data(), c.incY);
      ASSERT_TRUE(SameBits(zo, zt)) << "zcopy " << Describe(c);
      auto zox = zx;
      auto ztx = zx;
      zo = zy;
      zt = zy;
      silhouette_cblas_zswap(c.n, zox.data(), c.incX, zo.data(), c.incY);
      cblas_zswap(c.n, ztx.data(), c.incX, zt.data(), c.incY);
      ASSERT_TRUE(SameBits(zo, zt) && SameBits(zox, ztx))
          << "zswap " << Describe(c);
    }
  }
}

TEST(Cblas, ComplexScaleIsTheComplexProduct) {
  // An independent check of the formula both sides use.
  const double alpha[2] = {0.5, -2.0};
  std::vector<double> x = {1.0, 3.0, -4.0, 0.25};
  silhouette_cblas_zscal(2, alpha, x.data(), 1);
  const std::complex<double> a(0.5, -2.0);
  EXPECT_EQ(std::complex<double>(x[0], x[1]),
            a * std::complex<double>(1.0, 3.0));
  EXPECT_EQ(std::complex<double>(x[2], x[3]),
            a * std::complex<double>(-4.0, 0.25));
}

struct MatrixShape {
  CBLAS_ORDER order;
  int m;
  int n;
  int extra_lda;  // lda exceeds the stored row length by this much
};

std::vector<MatrixShape> MatrixShapes() {
  std::vector<MatrixShape> shapes;
  for (CBLAS_ORDER order : {CblasRowMajor, CblasColMajor}) {
    for (int m : {0, 1, 2, 3, 5, 8}) {
      for (int n : {0, 1, 2, 4, 7}) {
        for (int extra : {0, 2}) shapes.push_back({order, m, n, extra});
      }
    }
  }
  return shapes;
}

std::string Describe(const MatrixShape& s) {
  return std::string(s.order == CblasRowMajor ? "row" : "col") + "-major " +
         std::to_string(s.m) + "x" + std::to_string(s.n) +
         " lda+" + std::to_string(s.extra_lda);
}

int Lda(const MatrixShape& s) {
  const int stored_row = s.order == CblasRowMajor ? s.n : s.m;
  return std::max(1, stored_row + s.extra_lda);
}

std::size_t MatrixSpan(const MatrixShape& s) {
  const int stored_rows = s.order == CblasRowMajor ? s.m : s.n;
  return static_cast<std::size_t>(std::max(1, stored_rows) * Lda(s));
}

TEST(Cblas, GemvMatches) {
  Numbers numbers(5);
  const double scalars[] = {0.0, 1.0, -1.0, 0.5, std::nan("")};
  for (const MatrixShape& s : MatrixShapes()) {
    for (CBLAS_TRANSPOSE trans : {CblasNoTrans, CblasTrans, CblasConjTrans}) {
      for (int incX : {1, 2, -1}) {
        for (int incY : {1, -2}) {
          for (int r = 0; r < 12; ++r) {
            const bool special = r % 3 == 2;
            const int len_x = trans == CblasNoTrans ? s.n : s.m;
            const int len_y = trans == CblasNoTrans ? s.m : s.n;
            const auto a = numbers.Vector(MatrixSpan(s), special);
            const auto x = numbers.Vector(Span(len_x, incX), special);
            const auto y = numbers.Vector(Span(len_y, incY), special);
            // Every pairing of the scalars that take shortcuts.
            const double alpha = r < 5 ? scalars[r] : numbers.Next(special);
            const double beta = r < 5 ? scalars[(r + 1) % 5]
                                      : (r < 10 ? scalars[r - 5]
                                                : numbers.Next(special));
            auto ours = y;
            auto theirs = y;
            silhouette_cblas_dgemv(s.order, trans, s.m, s.n, alpha, a.data(),
                                   Lda(s), x.data(), incX, beta, ours.data(),
                                   incY);
            cblas_dgemv(s.order, trans, s.m, s.n, alpha, a.data(), Lda(s),
                        x.data(), incX, beta, theirs.data(), incY);
            ASSERT_TRUE(SameBits(ours, theirs))
                << "dgemv " << Describe(s) << " trans " << trans << " incX "
                << incX << " incY " << incY << " alpha " << alpha << " beta "
                << beta;
          }
        }
      }
    }
  }
}

TEST(Cblas, GerMatches) {
  Numbers numbers(6);
  for (const MatrixShape& s : MatrixShapes()) {
    for (int incX : {1, 3, -1}) {
      for (int incY : {1, -2}) {
        for (int r = 0; r < 12; ++r) {
          const bool special = r % 3 == 2;
          const auto x = numbers.Vector(Span(s.m, incX), special);
          const auto y = numbers.Vector(Span(s.n, incY), special);
          const auto a = numbers.Vector(MatrixSpan(s), special);
          const double alpha = r == 0 ? 0.0 : numbers.Next(special);
          auto ours = a;
          auto theirs = a;
          silhouette_cblas_dger(s.order, s.m, s.n, alpha, x.data(), incX,
                                y.data(), incY, ours.data(), Lda(s));
          cblas_dger(s.order, s.m, s.n, alpha, x.data(), incX, y.data(), incY,
                     theirs.data(), Lda(s));
          ASSERT_TRUE(SameBits(ours, theirs))
              << "dger " << Describe(s) << " incX " << incX << " incY "
              << incY;
        }
      }
    }
  }
}

TEST(Cblas, TrsvMatchesForEveryTriangleAndTranspose) {
  Numbers numbers(7);
  for (CBLAS_ORDER order : {CblasRowMajor, CblasColMajor}) {
    for (CBLAS_UPLO uplo : {CblasUpper, CblasLower}) {
      for (CBLAS_TRANSPOSE trans :
           {CblasNoTrans, CblasTrans, CblasConjTrans}) {
        for (CBLAS_DIAG diag : {CblasNonUnit, CblasUnit}) {
          for (int n : {0, 1, 2, 3, 4, 6, 9}) {
            for (int incX : {1, 2, -1, -3}) {
              for (int r = 0; r < 10; ++r) {
                const bool special = r % 4 == 3;
                const int lda = std::max(1, n + (r % 2) * 3);
                const auto a = numbers.Vector(
                    static_cast<std::size_t>(std::max(1, n) * lda), special);
                const auto x = numbers.Vector(Span(n, incX), special);
                auto ours = x;
                auto theirs = x;
                silhouette_cblas_dtrsv(order, uplo, trans, diag, n, a.data(),
                                       lda, ours.data(), incX);
                cblas_dtrsv(order, uplo, trans, diag, n, a.data(), lda,
                            theirs.data(), incX);
                ASSERT_TRUE(SameBits(ours, theirs))
                    << "dtrsv order " << order << " uplo " << uplo
                    << " trans " << trans << " diag " << diag << " n " << n
                    << " incX " << incX;
              }
            }
          }
        }
      }
    }
  }
}

TEST(Cblas, TrsvSolvesAKnownSystem) {
  // Upper triangular, row-major: [2 1 1; 0 4 2; 0 0 8] x = b for x = 1, 2, 3.
  const double a[9] = {2, 1, 1, 0, 4, 2, 0, 0, 8};
  double x[3] = {2 + 2 + 3, 8 + 6, 24};
  silhouette_cblas_dtrsv(CblasRowMajor, CblasUpper, CblasNoTrans, CblasNonUnit,
                         3, a, 3, x, 1);
  EXPECT_EQ(x[0], 1.0);
  EXPECT_EQ(x[1], 2.0);
  EXPECT_EQ(x[2], 3.0);
}

}  // namespace
