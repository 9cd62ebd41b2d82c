#include "host/output_buffer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "host/embedded_heap.h"
#include "host/embedded_host.h"

namespace silhouette {
namespace host {
namespace {

// Fills a 3-element buffer of room 5 and returns it as a 1 x 3 array, and
// an empty 2 x 0 array from a buffer of room 4.
void ReturnsTwoBuffers(int, mxArray* plhs[], int, const mxArray*[]) {
  OutputBuffer full(5);
  OutputBuffer empty(4);
  for (int i = 0; i < 3; ++i) full.data()[i] = 0.5 * i;
  plhs[0] = full.Release(1, 3);
  EXPECT_EQ(full.data(), nullptr);
  EXPECT_EQ(full.capacity(), 0u);
  plhs[1] = empty.Release(2, 0);
}

TEST(OutputBuffer, ReleaseMakesTheArrayOfTheFirstNumbers) {
  const CallResult r = CallEntry(ReturnsTwoBuffers, 2, {});
  ASSERT_FALSE(r.raised) << r.error;
  EXPECT_EQ(mxGetM(r.outputs[0].get()), 1u);
  EXPECT_EQ(mxGetN(r.outputs[0].get()), 3u);
  EXPECT_EQ(Values(r.outputs[0].get()), (std::vector<double>{0, 0.5, 1}));
  EXPECT_EQ(mxGetM(r.outputs[1].get()), 2u);
  EXPECT_EQ(mxGetN(r.outputs[1].get()), 0u);
  // Nothing was left for the host to free.
  EXPECT_EQ(r.cleanup.blocks, 0u);
  EXPECT_EQ(r.cleanup.arrays, 0u);
}

void DropsABuffer(int, mxArray* plhs[], int, const mxArray*[]) {
  OutputBuffer unused(10);
  OutputBuffer none(0);
  EXPECT_EQ(none.data(), nullptr);
  plhs[0] = mxCreateDoubleScalar(unused.capacity());
}

TEST(OutputBuffer, AnUnreleasedBufferIsFreedByItself) {
  const CallResult r = CallEntry(DropsABuffer, 1, {});
  EXPECT_EQ(Values(r.outputs[0].get()), std::vector<double>{10});
  EXPECT_EQ(r.cleanup.blocks, 0u);
}

void AsksForTooMuch(int, mxArray* plhs[], int, const mxArray*[]) {
  OutputBuffer huge(SIZE_MAX / 4);  // more bytes than a size_t holds
  plhs[0] = mxCreateDoubleScalar(huge.data() != nullptr);
}

TEST(OutputBuffer, ACapacityBeyondAnyMemoryIsTheHostsOutOfMemoryError) {
  for (HostErrorStyle style :
       {HostErrorStyle::kAbrupt, HostErrorStyle::kUnwind}) {
    CallSetup setup;
    setup.errors = style;
    const CallResult r = CallEntry(AsksForTooMuch, 1, {}, setup);
    EXPECT_TRUE(r.raised);
    EXPECT_EQ(r.error, "Out of memory.");
    EXPECT_EQ(r.outputs[0], nullptr);
  }
}

TEST(OutputBuffer, RunningOutOfMemoryAnywhereLeavesNothingBehind) {
  CallEntry(ReturnsTwoBuffers, 2, {});  // warm-up: lazy allocations
  for (HostErrorStyle style :
       {HostErrorStyle::kAbrupt, HostErrorStyle::kUnwind}) {
    std::size_t n = 1;
    for (;; ++n) {
      CallSetup setup;
      setup.errors = style;
      setup.failAllocation = n;
      const std::size_t before = HeapBytesInUse();
      bool raised = false;
      {
        const CallResult r = CallEntry(ReturnsTwoBuffers, 2, {}, setup);
        raised = r.raised;
      }
      EXPECT_EQ(HeapBytesInUse(), before)
          << "failing allocation " << n << " style " << static_cast<int>(style);
      if (!raised) break;
    }
    // Two buffers, an empty array, a resize and an empty result.
    EXPECT_EQ(n, 6u);
  }
}

}  // namespace
}  // namespace host
}  // namespace silhouette
