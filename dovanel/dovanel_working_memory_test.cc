#include "dovanel/dovanel_working_memory.h"

#include <gtest/gtest.h>

namespace silhouette {
namespace {

TEST(DovanelWorkingMemory, FollowsTheResidualCountTimesTheThreads) {
  // 8 |A| |B| residuals dominate: some 250 GB per thread for two sets of
  // 16000 views (as Dovanel's help says), a few megabytes for the examples'
  // 7 x 6 on two threads.
  EXPECT_GT(DovanelWorkingBytes(16000, 16000, 0, 1, 1), 200e9);
  EXPECT_LT(DovanelWorkingBytes(16000, 16000, 0, 1, 1), 300e9);
  EXPECT_LT(DovanelWorkingBytes(7, 6, 13 * 200, 8, 2), 1e6);
  const double one = DovanelWorkingBytes(1000, 1000, 0, 4, 1);
  EXPECT_NEAR(DovanelWorkingBytes(2000, 1000, 0, 4, 1) / one, 2.0, 0.01);
  // Each thread has its own solver and model: four threads need nearly
  // four times as much; no thread at all counts as the calling one.
  const double four = DovanelWorkingBytes(1000, 1000, 0, 4, 4);
  EXPECT_GT(four / one, 3.5);
  EXPECT_LT(four / one, 4.0);
  EXPECT_EQ(DovanelWorkingBytes(1000, 1000, 0, 4, 0), one);
}

TEST(DovanelWorkingMemory, HullsAddToEveryThreadsSearches) {
  const double bare = DovanelWorkingBytes(10, 10, 0, 1, 3);
  const double hulls = DovanelWorkingBytes(10, 10, 100000, 1, 3);
  const double hulls_one_thread = DovanelWorkingBytes(10, 10, 100000, 1, 1);
  EXPECT_GT(hulls, bare + 3 * 100000 * 16.0);
  EXPECT_NEAR(hulls - bare,
              3 * (hulls_one_thread - DovanelWorkingBytes(10, 10, 0, 1, 1)),
              1e-6 * hulls);
}

TEST(DovanelWorkingMemory, SetsTooLargeForAnIntLeaveTheResidualsOut) {
  // 8 x 20000 x 20000 residuals exceed the largest int: the model refuses
  // them with its own message, after reading only the views.
  const double views_only = DovanelWorkingBytes(20000, 20000, 0, 0, 1);
  EXPECT_LT(views_only, 1e9);
  EXPECT_NEAR(DovanelWorkingBytes(30000, 30000, 0, 0, 1) / views_only, 1.5,
              0.01);
}

}  // namespace
}  // namespace silhouette
