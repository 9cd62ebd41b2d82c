#include "fuzz/fuzz_input.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace silhouette {
namespace fuzz {
namespace {

bool SameBits(double a, double b) { return std::memcmp(&a, &b, 8) == 0; }

TEST(FuzzInput, ExhaustedInputReadsZeros) {
  FuzzInput in(nullptr, 0);
  EXPECT_TRUE(in.Exhausted());
  EXPECT_EQ(in.Byte(), 0);
  EXPECT_EQ(in.Below(7), 0u);
  EXPECT_EQ(in.Count(10), 0u);
  EXPECT_TRUE(SameBits(in.Number(), 0.0));
  EXPECT_EQ(in.NumberOr(800), 800);
  EXPECT_EQ(in.Text(5), "");
  EXPECT_EQ(in.Position(), 0u);
}

TEST(FuzzInput, NumberCodes) {
  const double inf = std::numeric_limits<double>::infinity();
  double raw_value = -123.456;
  uint8_t raw[8];
  std::memcpy(raw, &raw_value, 8);
  struct Case {
    std::vector<uint8_t> bytes;
    double expected;  // of the last Number() read
  };
  const Case cases[] = {
      {{1}, -0.0},
      {{16}, inf},
      {{17}, -inf},
      {{19}, std::numeric_limits<double>::denorm_min()},
      {{22}, std::numeric_limits<double>::max()},
      {{31}, std::nextafter(1.0, 2.0)},
      {{40, raw[0], raw[1], raw[2], raw[3], raw[4], raw[5], raw[6], raw[7]},
       raw_value},
      {{2, 5, 48}, 2.0},  // 1, 2, then the newest again
      {{2, 5, 49}, 1.0},  // 1, 2, then the one before the newest
      {{5, 64}, std::nextafter(2.0, 3.0)},
      {{5, 72}, std::nextafter(2.0, 1.0)},
      {{80, 0xff}, -1.0},
      {{96, 0xff, 0xf0}, -1.0},  // int16 -16, in sixteenths
      {{128}, -64.0},
      {{255}, 63.0},
  };
  for (const Case& c : cases) {
    FuzzInput in(c.bytes.data(), c.bytes.size());
    double last = 0;
    while (!in.Exhausted()) last = in.Number();
    EXPECT_TRUE(SameBits(last, c.expected))
        << "first byte " << int(c.bytes[0]) << ": " << last;
  }
  const uint8_t nan_code = 18;
  FuzzInput nan_input(&nan_code, 1);
  EXPECT_TRUE(std::isnan(nan_input.Number()));
}

TEST(FuzzInput, CountsAndTexts) {
  const uint8_t bytes[] = {249, 250, 1, 2, 250, 0xff, 0xff, 3, 'a', 0, 'b'};
  FuzzInput in(bytes, sizeof(bytes));
  EXPECT_EQ(in.Count(1000), 249u);
  EXPECT_EQ(in.Count(1000), 258u);
  EXPECT_EQ(in.Count(1000), 1000u);  // 65535 clamped
  EXPECT_EQ(in.Text(8), "ab");       // the NUL is left out
  EXPECT_TRUE(in.Exhausted());
}

}  // namespace
}  // namespace fuzz
}  // namespace silhouette
