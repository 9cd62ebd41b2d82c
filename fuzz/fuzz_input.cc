#include "fuzz/fuzz_input.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace silhouette {
namespace fuzz {
namespace {

using Limits = std::numeric_limits<double>;

// Values that numeric code gets wrong: signed zeros, infinities, NaN, the
// ends of the double range, denormals, values one ulp from 1, and the
// magnitudes of the modules' own data (pixels, focal lengths, grid sizes).
const double kPalette[FuzzInput::kPaletteSize] = {
    0.0,
    -0.0,
    1.0,
    -1.0,
    0.5,
    2.0,
    3.0,
    10.0,
    100.0,
    1e-3,
    1e-8,
    320.0,
    240.0,
    800.0,
    1500.0,
    640.0,
    Limits::infinity(),
    -Limits::infinity(),
    Limits::quiet_NaN(),
    Limits::denorm_min(),
    -Limits::denorm_min(),
    Limits::min(),
    Limits::max(),
    -Limits::max(),
    1e300,
    -1e300,
    1e-300,
    -1e-300,
    1048576.0,    // 2^20
    268435456.0,  // 2^28
    3.141592653589793,
    1.0000000000000002,   // 1 + ulp
    0.99999999999999989,  // 1 - ulp / 2
    1e6,
    -1e6,
    0.1,
    1e150,
    1e-150,
    2147483647.0,
    -2147483648.0,
};

}  // namespace

FuzzInput::FuzzInput(const uint8_t* data, std::size_t size)
    : data_(data), size_(size) {}

uint8_t FuzzInput::Byte() { return pos_ < size_ ? data_[pos_++] : 0; }

uint32_t FuzzInput::Below(uint32_t n) {
  if (n <= 1) return 0;
  if (n <= 256) return Byte() % n;
  const uint32_t high = Byte();
  return ((high << 8) | Byte()) % n;
}

std::size_t FuzzInput::Count(std::size_t limit) {
  std::size_t count = Byte();
  if (count >= 250) {
    const std::size_t high = Byte();
    count = (high << 8) | Byte();
  }
  return count < limit ? count : limit;
}

std::string FuzzInput::Text(std::size_t max_length) {
  const std::size_t length = Count(max_length);
  std::string text;
  for (std::size_t i = 0; i < length && !Exhausted(); ++i) {
    const char c = static_cast<char>(Byte());
    if (c != '\0') text.push_back(c);
  }
  return text;
}

double FuzzInput::Palette(int code) { return kPalette[code]; }

void FuzzInput::Remember(double value) {
  newest_ = (newest_ + 1) & 7;
  history_[newest_] = value;
}

double FuzzInput::Number() {
  const uint8_t code = Byte();
  double value;
  if (code < kPaletteSize) {
    value = kPalette[code];
  } else if (code < kFirstRepeat) {
    uint8_t bytes[8];
    for (uint8_t& b : bytes) b = Byte();
    std::memcpy(&value, bytes, sizeof(value));
  } else if (code < kFirstUlpUp) {
    value = history_[(newest_ - (code & 7)) & 7];
  } else if (code < kFirstUlpDown) {
    value = std::nextafter(history_[newest_], Limits::infinity());
  } else if (code < kFirstInt8) {
    value = std::nextafter(history_[newest_], -Limits::infinity());
  } else if (code < kFirstSixteenth) {
    value = static_cast<int8_t>(Byte());
  } else if (code < kFirstSmallInt) {
    const uint16_t high = Byte();
    const uint16_t bits = static_cast<uint16_t>((high << 8) | Byte());
    value = static_cast<int16_t>(bits) / 16.0;
  } else {
    value = static_cast<int>(code) - 192;
  }
  Remember(value);
  return value;
}

double FuzzInput::NumberOr(double plain) {
  return Byte() == 0 ? plain : Number();
}

}  // namespace fuzz
}  // namespace silhouette
