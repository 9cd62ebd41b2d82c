#include "kestrim/kestrim_working_memory.h"

#include <gtest/gtest.h>

namespace silhouette {
namespace {

TEST(KestrimWorkingMemory, GrowsWithTheSquareOfTheViews) {
  // The pair tables dominate large sets: doubling the views (with hulls of
  // the same size) comes close to four times the memory.
  for (std::size_t v : {1000u, 10000u, 100000u}) {
    const double once = KestrimWorkingBytes(v, 100 * v, 30 * v);
    const double twice = KestrimWorkingBytes(2 * v, 200 * v, 60 * v);
    EXPECT_GT(twice / once, 3.9) << v;
    EXPECT_LE(twice / once, 4.0) << v;
  }
  // Beyond 100 GB for 30000 views, whatever their hulls (as Kestrim's help
  // says); a few megabytes for the example set of 7 views.
  EXPECT_GT(KestrimWorkingBytes(30000, 30000, 30000), 100e9);
  EXPECT_LT(KestrimWorkingBytes(7, 1867, 263), 10e6);
}

TEST(KestrimWorkingMemory, HullsAndBoundariesAddToTheViews) {
  const double base = KestrimWorkingBytes(50, 50, 50);
  EXPECT_GT(KestrimWorkingBytes(50, 5000, 50), base);
  EXPECT_GT(KestrimWorkingBytes(50, 5000, 5000), KestrimWorkingBytes(50, 5000, 50));
  EXPECT_EQ(KestrimWorkingBytes(0, 0, 0), 0);
}

}  // namespace
}  // namespace silhouette
