// The bytes of one fuzz input, read as a sequence of choices and numbers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace silhouette {
namespace fuzz {

// Reads bytes front to back. Once they run out every read gives its zero
// value (byte 0, count 0, number 0), so any byte string is a complete input,
// and the decoders are written so that zero choices give well-formed values.
// Decoders read in statement order, never twice within the arguments of one
// call (whose order C++ leaves open), so that the fuzz tree (clang) and the
// unit tests (g++) decode an input alike.
class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, std::size_t size);

  bool Exhausted() const { return pos_ >= size_; }
  // Bytes read so far (reads past the end not counted).
  std::size_t Position() const { return pos_ < size_ ? pos_ : size_; }

  uint8_t Byte();
  bool Bool() { return (Byte() & 1) != 0; }
  // A value in [0, n) for n >= 1, from one byte (n <= 256) or two.
  uint32_t Below(uint32_t n);
  // A count in [0, limit]: a byte below 250 is the count itself; 250 to 255
  // announce two more bytes for a larger one. Clamped to the limit.
  std::size_t Count(std::size_t limit);
  // A text of at most `max_length` bytes (no NUL), length first.
  std::string Text(std::size_t max_length);

  // A double. One byte chooses among: a palette of values that break
  // numeric code (0, -0, +-Inf, NaN, denormals, +-DBL_MAX, 1e+-300, and
  // ordinary magnitudes), eight raw bytes, an exact repeat of one of the
  // last eight numbers, the last number one ulp up or down, and small
  // integers and sixteenths. See kNumberCodes in fuzz_input.cc.
  double Number();

  // Number() for numbers the caller wants mostly ordinary: a zero byte gives
  // `plain`, any other byte a Number() from the following bytes.
  double NumberOr(double plain);

  // The codes Number() reads; the encoder of the seed corpus writes them.
  static constexpr uint8_t kFirstRaw = 40;        // 40..47: 8 raw bytes follow
  static constexpr uint8_t kFirstRepeat = 48;     // 48..63: repeat (code & 7)
  static constexpr uint8_t kFirstUlpUp = 64;      // 64..71: last, 1 ulp up
  static constexpr uint8_t kFirstUlpDown = 72;    // 72..79: last, 1 ulp down
  static constexpr uint8_t kFirstInt8 = 80;       // 80..95: int8 follows
  static constexpr uint8_t kFirstSixteenth = 96;  // 96..127: int16 / 16
  static constexpr uint8_t kFirstSmallInt = 128;  // 128..255: code - 192
  // The palette: codes 0 .. kPaletteSize - 1.
  static constexpr int kPaletteSize = 40;
  static double Palette(int code);

 private:
  void Remember(double value);

  const uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
  double history_[8] = {0, 0, 0, 0, 0, 0, 0, 0};
  int newest_ = 0;
};

}  // namespace fuzz
}  // namespace silhouette
