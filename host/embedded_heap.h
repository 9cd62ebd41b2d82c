// How much heap memory the process holds, for tests that check that a
// module call leaves nothing behind, also when the host ends it without
// unwinding (see HostErrorStyle in embedded_mex.h).
//
// Linked only into test programs: without AddressSanitizer (which counts
// on its own), it replaces the C library's malloc family in the whole
// program with counting wrappers around the C library's own functions.
#pragma once

#include <cstddef>

namespace silhouette {
namespace host {

// Bytes allocated with malloc (and so with new) and not yet freed, in all
// threads: exact, unlike the C library's statistics, which count freed
// blocks held in per-thread caches as in use.
std::size_t HeapBytesInUse();

}  // namespace host
}  // namespace silhouette
