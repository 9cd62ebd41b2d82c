#include "host/embedded_leak_check.h"

#include "host/embedded_heap.h"

namespace silhouette {
namespace host {

HostAllocationFailures FailEachHostAllocation(
    EntryFunction entry, int nlhs, const std::vector<const mxArray*>& inputs,
    HostErrorStyle style) {
  CallEntry(entry, nlhs, inputs);
  HostAllocationFailures failures;
  failures.leaks.reserve(64);
  // A bound, so that an entry that allocates without end still stops.
  constexpr std::size_t kMaxAllocations = 100000;
  for (std::size_t n = 1; n <= kMaxAllocations; ++n) {
    CallSetup setup;
    setup.errors = style;
    setup.failAllocation = n;
    const std::size_t before = HeapBytesInUse();
    bool ran_out = false;
    {
      const CallResult r = CallEntry(entry, nlhs, inputs, setup);
      ran_out = r.raised && r.error == "Out of memory.";
    }
    const std::size_t after = HeapBytesInUse();
    if (after != before) failures.leaks.emplace_back(n, after - before);
    if (!ran_out) {
      failures.allocations = n - 1;
      break;
    }
  }
  return failures;
}

std::string Describe(const HostAllocationFailures& failures) {
  std::string text = std::to_string(failures.allocations) + " allocations";
  for (const auto& leak : failures.leaks) {
    text += "; allocation " + std::to_string(leak.first) + " left " +
            std::to_string(leak.second) + " bytes";
  }
  return text;
}

}  // namespace host
}  // namespace silhouette
