#include "geometry/int128.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "geometry/grid_predicates.h"

namespace silhouette {
namespace {

// Operands: random 128-bit values, random values of every width, products
// of grid coordinates, and the edges of the range.
std::vector<Int128> Operands() {
  std::mt19937_64 rng(128);
  std::vector<Int128> v;
  const uint64_t top = uint64_t{1} << 63;
  for (uint64_t high : {uint64_t{0}, ~uint64_t{0}, top, top - 1, uint64_t{1}}) {
    for (uint64_t low : {uint64_t{0}, ~uint64_t{0}, top, top - 1, uint64_t{1}}) {
      v.push_back(Int128::FromHalves(high, low));
    }
  }
  for (int64_t s : {int64_t{0}, int64_t{1}, int64_t{-1},
                    std::numeric_limits<int64_t>::max(),
                    std::numeric_limits<int64_t>::min(), int64_t{268435456},
                    -int64_t{268435456}, int64_t{536870912}}) {
    v.push_back(Int128(s));
  }
  for (int k = 0; k < 400; ++k) {
    const int width = static_cast<int>(rng() % 64);
    const int64_t s = static_cast<int64_t>(rng() >> (63 - width)) *
                      (rng() % 2 ? 1 : -1);
    v.push_back(Int128(s));
    v.push_back(Int128::FromHalves(rng(), rng()));
  }
  return v;
}

// Identities that hold in every build, native type or not: a - b + b == a,
// (a + b) c == a c + b c and a b == b a (mod 2^128); the order is total,
// and on values that fit in 64 bits it is theirs.
bool FitsIn64(const Int128& a) {
  return a.high() == ((a.low() >> 63) != 0 ? ~uint64_t{0} : 0);
}

TEST(Int128, PortableOperationsAreConsistent) {
  const std::vector<Int128> v = Operands();
  using namespace int128_portable;
  for (std::size_t i = 0; i < v.size(); i += 3) {
    for (std::size_t j = 0; j < v.size(); j += 5) {
      const Int128 a = v[i], b = v[j], c = v[(i + j) % v.size()];
      EXPECT_EQ(Add(Subtract(a, b), b), a);
      EXPECT_EQ(Multiply(Add(a, b), c), Add(Multiply(a, c), Multiply(b, c)));
      EXPECT_EQ(Multiply(a, b), Multiply(b, a));
      EXPECT_EQ(Less(a, b) + Less(b, a) + (a == b), 1);
      if (FitsIn64(a) && FitsIn64(b)) {
        const int64_t x = static_cast<int64_t>(a.low());
        const int64_t y = static_cast<int64_t>(b.low());
        EXPECT_EQ(Less(a, b), x < y);
        // Products of two 64-bit values are exact: check against halves.
        uint64_t high, low;
        MultiplyWide(a.low(), b.low(), &high, &low);
        EXPECT_EQ(Multiply(a, b).low(), low);
      }
    }
  }
}

#if defined(SILHOUETTE_PORTABLE_INT128)
TEST(Int128, TheOptionSelectsTheTwoHalves) {
  EXPECT_EQ(SILHOUETTE_NATIVE_INT128, 0);
}
#endif

TEST(Int128, SmallProductsAndSigns) {
  const int64_t big = std::numeric_limits<int64_t>::max();
  // (2^63 - 1)^2 = 2^126 - 2^64 + 1.
  const Int128 square = Int128(big) * Int128(big);
  EXPECT_EQ(square, Int128::FromHalves(0x3FFFFFFFFFFFFFFFu, 1));
  EXPECT_EQ(int128_portable::Multiply(Int128(big), Int128(big)), square);
  EXPECT_EQ((Int128(-big) * Int128(big)).Sign(), -1);
  EXPECT_EQ(-square + square, Int128(0));
  EXPECT_EQ(Int128(0).Sign(), 0);
  EXPECT_TRUE(Int128(-1) < Int128(0));
  EXPECT_TRUE(Int128::FromHalves(1, 0) > Int128(big));
  EXPECT_TRUE(Int128::FromHalves(~uint64_t{0}, 0) < Int128(-big));
}

#if defined(__SIZEOF_INT128__)
using Native = __int128;

Native ToNative(const Int128& a) {
  return static_cast<Native>((static_cast<unsigned __int128>(a.high()) << 64) |
                             a.low());
}

TEST(Int128, PortableMatchesTheNativeType) {
  const std::vector<Int128> v = Operands();
  for (const Int128& a : v) {
    for (const Int128& b : v) {
      const unsigned __int128 ua = static_cast<unsigned __int128>(ToNative(a));
      const unsigned __int128 ub = static_cast<unsigned __int128>(ToNative(b));
      ASSERT_EQ(ToNative(int128_portable::Add(a, b)),
                static_cast<Native>(ua + ub));
      ASSERT_EQ(ToNative(int128_portable::Subtract(a, b)),
                static_cast<Native>(ua - ub));
      ASSERT_EQ(ToNative(int128_portable::Multiply(a, b)),
                static_cast<Native>(ua * ub));
      ASSERT_EQ(int128_portable::Less(a, b), ToNative(a) < ToNative(b));
      // The operators of this build (native or portable) agree too.
      ASSERT_EQ(ToNative(a * b), static_cast<Native>(ua * ub));
      ASSERT_EQ(a < b, ToNative(a) < ToNative(b));
      ASSERT_EQ(a.Sign(), ToNative(a) > 0 ? 1 : (ToNative(a) < 0 ? -1 : 0));
    }
  }
}

// The circle test's determinant with the native type, as GridPredicates
// computed it before the portable type.
int32_t NativeSideOfCircle(const std::vector<Vec2>& pts, const Vec2& p,
                           int32_t a, int32_t b, int32_t c) {
  const int64_t px = GridPredicates::GridCoordinate(p.x);
  const int64_t py = GridPredicates::GridCoordinate(p.y);
  struct Row {
    Native x, y, lifted;
  };
  auto row = [px, py](const Vec2& q) {
    const int64_t qx = GridPredicates::GridCoordinate(q.x);
    const int64_t qy = GridPredicates::GridCoordinate(q.y);
    return Row{qx - px, qy - py,
               static_cast<Native>(qy - py) * (qy + py) +
                   static_cast<Native>(qx - px) * (qx + px)};
  };
  const Row ra = row(pts[a]), rb = row(pts[b]), rc = row(pts[c]);
  const Native d = ra.x * (rb.y * rc.lifted - rc.y * rb.lifted) +
                   rc.x * (ra.y * rb.lifted - rb.y * ra.lifted) +
                   rb.x * (rc.y * ra.lifted - ra.y * rc.lifted);
  return d > 0 ? -1 : (d == 0 ? 0 : 1);
}

TEST(Int128, CircleSignsMatchTheNativeTypeUpToTheClampLimits) {
  std::mt19937_64 rng(9);
  const double limit = 268435456.0;
  std::uniform_real_distribution<double> any(-1.2 * limit, 1.2 * limit);
  std::uniform_int_distribution<int> small(-3, 3);
  std::vector<Vec2> pts;
  for (int k = 0; k < 600; ++k) {
    switch (k % 4) {
      case 0:  // the clamp limits and beyond
        pts.emplace_back(k % 8 ? limit : -limit, (k / 4) % 2 ? 2 * limit : -limit);
        break;
      case 1:  // small: many zero determinants
        pts.emplace_back(small(rng), small(rng));
        break;
      default:
        pts.emplace_back(any(rng), any(rng));
    }
  }
  const GridPredicates predicates(static_cast<int32_t>(pts.size()), pts.data());
  const int32_t n = static_cast<int32_t>(pts.size());
  int zeros = 0, signs[2] = {0, 0};
  for (int32_t i = 0; i < n; ++i) {
    for (int32_t s = 1; s <= 20; ++s) {
      const int32_t a = (i + s) % n, b = (i + 3 * s) % n, c = (i + 7 * s) % n;
      const int32_t side = predicates.SideOfCircle(pts[i], a, b, c);
      ASSERT_EQ(side, NativeSideOfCircle(pts, pts[i], a, b, c));
      zeros += side == 0;
      if (side != 0) ++signs[side > 0];
    }
  }
  EXPECT_GT(zeros, 0);
  EXPECT_GT(signs[0], 0);
  EXPECT_GT(signs[1], 0);
}
#endif

}  // namespace
}  // namespace silhouette
