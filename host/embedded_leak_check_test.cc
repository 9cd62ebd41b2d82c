#include "host/embedded_leak_check.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace silhouette {
namespace host {
namespace {

// Makes its output while holding C++ memory, as an entry must not: an
// abrupt end at the output skips the destructor that would release the
// vector. The vectors are owned here, so that the test can free them.
std::vector<std::unique_ptr<std::vector<double>>>* g_held = nullptr;

struct ReleaseLastHeld {
  ~ReleaseLastHeld() { g_held->pop_back(); }
};

void HoldsMemoryWhileMakingOutputs(int, mxArray* plhs[], int,
                                   const mxArray*[]) {
  g_held->push_back(std::make_unique<std::vector<double>>(100, 2.0));
  const ReleaseLastHeld release;
  const std::vector<double>& values = *g_held->back();
  plhs[0] = mxCreateDoubleMatrix(1, 100, mxREAL);
  for (std::size_t i = 0; i < 100; ++i) mxGetPr(plhs[0])[i] = values[i];
}

void MakesOutputsFirst(int, mxArray* plhs[], int, const mxArray*[]) {
  mxArray* out = mxCreateDoubleMatrix(1, 100, mxREAL);
  {
    const std::vector<double> values(100, 2.0);
    for (std::size_t i = 0; i < 100; ++i) mxGetPr(out)[i] = values[i];
  }
  plhs[0] = out;
}

TEST(EmbeddedLeakCheck, FindsMemoryHeldWhenTheHostEndsACall) {
  std::vector<std::unique_ptr<std::vector<double>>> held;
  held.reserve(10);  // no reallocation while the check counts
  g_held = &held;
  const HostAllocationFailures bad = FailEachHostAllocation(
      HoldsMemoryWhileMakingOutputs, 1, {}, HostErrorStyle::kAbrupt);
  EXPECT_EQ(bad.allocations, 1u);
  ASSERT_EQ(bad.leaks.size(), 1u) << Describe(bad);
  EXPECT_EQ(bad.leaks[0].first, 1u);
  EXPECT_GE(bad.leaks[0].second, 100 * sizeof(double));

  // Unwinding frees it.
  const HostAllocationFailures unwound = FailEachHostAllocation(
      HoldsMemoryWhileMakingOutputs, 1, {}, HostErrorStyle::kUnwind);
  EXPECT_TRUE(unwound.leaks.empty()) << Describe(unwound);

  const HostAllocationFailures good = FailEachHostAllocation(
      MakesOutputsFirst, 1, {}, HostErrorStyle::kAbrupt);
  EXPECT_EQ(good.allocations, 1u);
  EXPECT_TRUE(good.leaks.empty()) << Describe(good);
  g_held = nullptr;
}

}  // namespace
}  // namespace host
}  // namespace silhouette
