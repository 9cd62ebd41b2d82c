// The machine's physical memory, against which the modules weigh the
// working memory a call will need before they allocate it.
#pragma once

namespace silhouette {
namespace host {

// Bytes of physical memory as the operating system reports them (sysconf
// on Linux and macOS); 0 where it does not (other systems).
double PhysicalMemoryBytes();

// Throws std::bad_alloc, so that the call fails with its module's
// out-of-memory message, when `needed` bytes exceed `available` ones. An
// `available` of 0 (unknown) refuses nothing; a `needed` that is not a
// number or infinite is refused whenever `available` is known.
void RequireMemory(double needed, double available);

}  // namespace host
}  // namespace silhouette
