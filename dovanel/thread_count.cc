#include "dovanel/thread_count.h"

#include <cstdlib>
#include <thread>

namespace silhouette {

int OmpThreadLimit(const char* text) {
  if (text == nullptr) return 0;
  const char* p = text;
  while (*p == ' ' || *p == '\t') ++p;
  long long value = 0;
  const char* digits = p;
  while (*p >= '0' && *p <= '9') {
    value = value * 10 + (*p - '0');
    if (value > 2147483647LL) return 0;
    ++p;
  }
  if (p == digits) return 0;
  while (*p == ' ' || *p == '\t') ++p;
  if (*p != '\0' && *p != ',') return 0;
  return static_cast<int>(value);
}

int ThreadCount(int requested, int ompLimit, unsigned cores, long long tasks) {
  long long count;
  if (requested >= 1) {
    count = requested;
  } else {
    count = cores >= 1 ? static_cast<long long>(cores) : 1;
    if (ompLimit >= 1 && ompLimit < count) count = ompLimit;
  }
  if (tasks < count) count = tasks;
  if (count > kMaxThreads) count = kMaxThreads;
  return count < 1 ? 1 : static_cast<int>(count);
}

int ThreadCountHere(int requested, long long tasks) {
  return ThreadCount(requested, OmpThreadLimit(std::getenv("OMP_NUM_THREADS")),
                     std::thread::hardware_concurrency(), tasks);
}

}  // namespace silhouette
