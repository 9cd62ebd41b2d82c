#include "dovanel/print_failure.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>

#include "geometry/error_text.h"
#include "host/embedded_host.h"

namespace silhouette {
namespace {

template <typename Thrown>
std::string Printed(const Thrown& thrown) {
  std::exception_ptr failure;
  try {
    throw thrown;
  } catch (...) {
    failure = std::current_exception();
  }
  host::TakeCommandWindowText();
  PrintFailure(failure);
  return host::TakeCommandWindowText();
}

TEST(PrintFailure, PrintsOneLinePerKindOfFailure) {
  EXPECT_EQ(Printed(ErrorText("Failed to solve linear system.")),
            "Failed to solve linear system.\n");
  EXPECT_EQ(Printed(ErrorText("")), "\n");
  EXPECT_EQ(Printed(ErrorText("100% %s %d")), "100% %s %d\n");
  EXPECT_EQ(Printed(std::bad_alloc()), "out of memory\n");
  EXPECT_EQ(Printed(std::length_error("vector too long")), "vector too long\n");
  EXPECT_EQ(Printed(42), "unknown error\n");
  EXPECT_EQ(Printed("a C string"), "unknown error\n");
}

}  // namespace
}  // namespace silhouette
