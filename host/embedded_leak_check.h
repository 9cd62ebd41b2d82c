// Calls a module entry with the host running out of memory at each of its
// allocations in turn, and reports the heap memory each such call leaves
// behind: the check that nothing of the module is alive whenever the host
// may end a call.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "host/embedded_host.h"

namespace silhouette {
namespace host {

struct HostAllocationFailures {
  // The host allocations of a call that runs to its end; each of them was
  // made to fail once.
  std::size_t allocations = 0;
  // For each failing allocation (1-based) after which heap memory was
  // left, the bytes left.
  std::vector<std::pair<std::size_t, std::size_t>> leaks;
};

// One call of `entry` as a warm-up (lazily made caches are not leaks), then
// one call per host allocation with the host running out of memory there,
// the host error ending the call in the given style. Every call gets
// `nlhs` and `inputs`.
HostAllocationFailures FailEachHostAllocation(
    EntryFunction entry, int nlhs, const std::vector<const mxArray*>& inputs,
    HostErrorStyle style);

// "allocation 3 left 24 bytes; ..." for a test's message.
std::string Describe(const HostAllocationFailures& failures);

}  // namespace host
}  // namespace silhouette
