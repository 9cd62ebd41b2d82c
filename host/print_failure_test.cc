#include "host/print_failure.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>

#include "geometry/error_text.h"
#include "host/embedded_host.h"

namespace silhouette {
namespace host {
namespace {

// What RunPrintingFailures prints for `body` with `format`.
template <typename Body>
std::string Printed(const char* format, Body body, bool* finished) {
  TakeCommandWindowText();
  *finished = RunPrintingFailures(format, body);
  return TakeCommandWindowText();
}

TEST(PrintFailure, PrintsNothingWhenTheBodyFinishes) {
  bool finished = false;
  int calls = 0;
  EXPECT_EQ(Printed(
                "error: %s\n", [&calls] { ++calls; }, &finished),
            "");
  EXPECT_TRUE(finished);
  EXPECT_EQ(calls, 1);
}

TEST(PrintFailure, OneLinePerKindOfFailure) {
  bool finished = true;
  const char* kestrim = "error: %s\n";
  EXPECT_EQ(Printed(
                kestrim, [] { throw ErrorText("missing field."); }, &finished),
            "error: missing field.\n");
  EXPECT_FALSE(finished);
  EXPECT_EQ(Printed(
                kestrim, [] { throw ErrorText(""); }, &finished),
            "error: \n");
  // A text with a percent sign is printed as it is.
  EXPECT_EQ(Printed(
                "%s\n", [] { throw ErrorText("100% %s %d"); }, &finished),
            "100% %s %d\n");
  EXPECT_EQ(Printed(
                "%s\n", [] { throw std::bad_alloc(); }, &finished),
            "out of memory\n");
  EXPECT_EQ(Printed(
                "%s\n", [] { throw std::length_error("too long"); }, &finished),
            "too long\n");
  EXPECT_EQ(Printed(
                kestrim, [] { throw 42; }, &finished),
            "error: unexpected failure of unknown type\n");
}

TEST(PrintFailure, ReleasesTheBodysObjectsFirst) {
  struct Noisy {
    ~Noisy() { mexPrintf("released\n"); }
  };
  bool finished = true;
  EXPECT_EQ(Printed(
                "%s\n",
                [] {
                  Noisy noisy;
                  throw ErrorText("failed");
                },
                &finished),
            "released\nfailed\n");
}

}  // namespace
}  // namespace host
}  // namespace silhouette
