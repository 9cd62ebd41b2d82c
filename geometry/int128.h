// Exact signed 128-bit integer arithmetic for any C++17 compiler.
#pragma once

#include <cstdint>

// Where the compiler has a native 128-bit integer, the operations use it,
// unless SILHOUETTE_PORTABLE_INT128 is defined (the CMake option of that
// name), which makes every build use the two-halves code below. Both give
// the same bits.
#if defined(__SIZEOF_INT128__) && !defined(SILHOUETTE_PORTABLE_INT128)
#define SILHOUETTE_NATIVE_INT128 1
#else
#define SILHOUETTE_NATIVE_INT128 0
#endif

namespace silhouette {

// A two's complement integer held as two 64-bit halves. Sums, differences
// and products wrap modulo 2^128, so they are exact whenever the true
// result lies in [-2^127, 2^127).
class Int128 {
 public:
  constexpr Int128() : high_(0), low_(0) {}
  // Implicit, like a built-in widening conversion.
  constexpr Int128(int64_t v)  // NOLINT(runtime/explicit)
      : high_(v < 0 ? ~uint64_t{0} : 0), low_(static_cast<uint64_t>(v)) {}
  static constexpr Int128 FromHalves(uint64_t high, uint64_t low) {
    Int128 r;
    r.high_ = high;
    r.low_ = low;
    return r;
  }

  constexpr uint64_t high() const { return high_; }
  constexpr uint64_t low() const { return low_; }

  // -1, 0 or +1.
  int Sign() const {
    if (high_ != 0) return (high_ >> 63) != 0 ? -1 : 1;
    return low_ != 0 ? 1 : 0;
  }

  // +, -, *, < and unary - are defined below the class.
  Int128 operator-() const;
  friend bool operator==(const Int128& a, const Int128& b) {
    return a.high_ == b.high_ && a.low_ == b.low_;
  }
  friend bool operator!=(const Int128& a, const Int128& b) { return !(a == b); }

 private:
  uint64_t high_;
  uint64_t low_;
};

// The two-halves operations, available in every build (the tests hold them
// against the native type where there is one).
namespace int128_portable {

// The full 128-bit product of two unsigned 64-bit numbers.
inline void MultiplyWide(uint64_t a, uint64_t b, uint64_t* high,
                         uint64_t* low) {
  const uint64_t a0 = a & 0xFFFFFFFFu, a1 = a >> 32;
  const uint64_t b0 = b & 0xFFFFFFFFu, b1 = b >> 32;
  const uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
  const uint64_t middle = (p00 >> 32) + (p01 & 0xFFFFFFFFu) + (p10 & 0xFFFFFFFFu);
  *low = (middle << 32) | (p00 & 0xFFFFFFFFu);
  *high = p11 + (p01 >> 32) + (p10 >> 32) + (middle >> 32);
}

inline Int128 Add(const Int128& a, const Int128& b) {
  const uint64_t low = a.low() + b.low();
  const uint64_t carry = low < a.low() ? 1 : 0;
  return Int128::FromHalves(a.high() + b.high() + carry, low);
}

inline Int128 Subtract(const Int128& a, const Int128& b) {
  const uint64_t low = a.low() - b.low();
  const uint64_t borrow = a.low() < b.low() ? 1 : 0;
  return Int128::FromHalves(a.high() - b.high() - borrow, low);
}

inline Int128 Multiply(const Int128& a, const Int128& b) {
  uint64_t high, low;
  MultiplyWide(a.low(), b.low(), &high, &low);
  high += a.high() * b.low() + a.low() * b.high();
  return Int128::FromHalves(high, low);
}

inline bool Less(const Int128& a, const Int128& b) {
  // Signed order of the high halves: flipping the sign bit maps it onto
  // unsigned order.
  const uint64_t sign = uint64_t{1} << 63;
  if (a.high() != b.high()) return (a.high() ^ sign) < (b.high() ^ sign);
  return a.low() < b.low();
}

}  // namespace int128_portable

#if SILHOUETTE_NATIVE_INT128
namespace int128_native {

// unsigned __int128 <-> halves; the arithmetic is done unsigned, so it
// wraps exactly as the two-halves code does.
using Wide = unsigned __int128;
inline Wide ToWide(const Int128& a) {
  return (static_cast<Wide>(a.high()) << 64) | a.low();
}
inline Int128 FromWide(Wide w) {
  return Int128::FromHalves(static_cast<uint64_t>(w >> 64),
                            static_cast<uint64_t>(w));
}

}  // namespace int128_native

inline Int128 operator+(const Int128& a, const Int128& b) {
  using namespace int128_native;
  return FromWide(ToWide(a) + ToWide(b));
}
inline Int128 operator-(const Int128& a, const Int128& b) {
  using namespace int128_native;
  return FromWide(ToWide(a) - ToWide(b));
}
inline Int128 operator*(const Int128& a, const Int128& b) {
  using namespace int128_native;
  return FromWide(ToWide(a) * ToWide(b));
}
inline bool operator<(const Int128& a, const Int128& b) {
  using namespace int128_native;
  return static_cast<__int128>(ToWide(a)) < static_cast<__int128>(ToWide(b));
}
#else
inline Int128 operator+(const Int128& a, const Int128& b) {
  return int128_portable::Add(a, b);
}
inline Int128 operator-(const Int128& a, const Int128& b) {
  return int128_portable::Subtract(a, b);
}
inline Int128 operator*(const Int128& a, const Int128& b) {
  return int128_portable::Multiply(a, b);
}
inline bool operator<(const Int128& a, const Int128& b) {
  return int128_portable::Less(a, b);
}
#endif

inline Int128 Int128::operator-() const { return Int128() - *this; }
inline bool operator>(const Int128& a, const Int128& b) { return b < a; }
inline bool operator<=(const Int128& a, const Int128& b) { return !(b < a); }
inline bool operator>=(const Int128& a, const Int128& b) { return !(a < b); }

}  // namespace silhouette
