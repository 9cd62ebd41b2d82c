#include "host/physical_memory.h"

#include <new>

#if defined(__unix__) || defined(__APPLE__)
#include <unistd.h>
#endif

namespace silhouette {
namespace host {

double PhysicalMemoryBytes() {
#if defined(_SC_PHYS_PAGES) && defined(_SC_PAGESIZE)
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long page_size = sysconf(_SC_PAGESIZE);
  if (pages > 0 && page_size > 0) {
    return static_cast<double>(pages) * static_cast<double>(page_size);
  }
#endif
  return 0;
}

void RequireMemory(double needed, double available) {
  if (available > 0 && !(needed <= available)) throw std::bad_alloc();
}

}  // namespace host
}  // namespace silhouette
