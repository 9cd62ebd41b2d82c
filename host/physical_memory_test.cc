#include "host/physical_memory.h"

#include <gtest/gtest.h>

#include <limits>
#include <new>

namespace silhouette {
namespace host {
namespace {

TEST(PhysicalMemory, IsReportedHere) {
  // Linux reports it; a machine has at least a few megabytes.
  EXPECT_GT(PhysicalMemoryBytes(), 1e6);
}

TEST(PhysicalMemory, RequireMemoryRefusesWhatDoesNotFit) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    double needed;
    double available;
    bool refused;
  } const cases[] = {
      {1e9, 2e9, false}, {2e9, 2e9, false}, {2.0000001e9, 2e9, true},
      {inf, 2e9, true},  {nan, 2e9, true},  {1e30, 0, false},
      {0, 1, false},
  };
  for (const Case& c : cases) {
    if (c.refused) {
      EXPECT_THROW(RequireMemory(c.needed, c.available), std::bad_alloc)
          << c.needed << " of " << c.available;
    } else {
      EXPECT_NO_THROW(RequireMemory(c.needed, c.available))
          << c.needed << " of " << c.available;
    }
  }
}

}  // namespace
}  // namespace host
}  // namespace silhouette
