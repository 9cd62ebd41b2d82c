#include "dovanel/thread_count.h"

#include <gtest/gtest.h>

namespace silhouette {
namespace {

TEST(OmpThreadLimit, ReadsPositiveWholeNumbersOnly) {
  const struct {
    const char* text;
    int limit;
  } cases[] = {
      {nullptr, 0},     {"", 0},           {"1", 1},
      {"3", 3},         {" 4 ", 4},        {"\t2", 2},
      {"8,2", 8},       {"0", 0},          {"-1", 0},
      {"-8", 0},        {"abc", 0},        {"2abc", 0},
      {"1.5", 0},       {"+2", 0},         {" ", 0},
      {"2147483647", 2147483647},          {"2147483648", 0},
      {"99999999999999999999999", 0},      {",", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(OmpThreadLimit(c.text), c.limit) << (c.text ? c.text : "unset");
  }
}

TEST(ThreadCount, FollowsTheRequestTheLimitAndTheTasks) {
  const struct {
    int requested;
    int omp;
    unsigned cores;
    long long tasks;
    int count;
  } cases[] = {
      {0, 0, 8, 100, 8},      // the cores
      {0, 3, 8, 100, 3},      // limited by OMP_NUM_THREADS
      {0, 16, 8, 100, 8},     // a larger limit does not add threads
      {0, 1, 8, 100, 1},      // the calling thread alone
      {-5, 2, 8, 100, 2},     // negative: as 0
      {0, 0, 0, 100, 1},      // cores unknown
      {1, 0, 8, 100, 1},      // the calling thread alone
      {4, 2, 8, 100, 4},      // an explicit number ignores the limit
      {64, 0, 2, 100, 64},    // and the cores
      {0, 0, 8, 3, 3},        // never more than the tasks
      {5, 0, 8, 2, 2},
      {0, 0, 8, 0, 1},        // no tasks: one thread
      {100000, 0, 8, 1 << 30, kMaxThreads},  // a cap on what is asked
      {0, 0, 4096, 1 << 30, kMaxThreads},    // and on the cores
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ThreadCount(c.requested, c.omp, c.cores, c.tasks), c.count)
        << c.requested << " " << c.omp << " " << c.cores << " " << c.tasks;
  }
}

}  // namespace
}  // namespace silhouette
