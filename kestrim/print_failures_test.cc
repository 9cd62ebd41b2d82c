#include "kestrim/print_failures.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>

#include "geometry/error_text.h"
#include "host/embedded_mex.h"

namespace silhouette {
namespace {

// What RunPrintingFailures prints for `body`, and its result.
template <typename Body>
std::string Printed(Body body, bool* finished) {
  host::TakeCommandWindowText();
  *finished = RunPrintingFailures(body);
  return host::TakeCommandWindowText();
}

TEST(RunPrintingFailures, PrintsNothingWhenTheBodyFinishes) {
  bool finished = false;
  int calls = 0;
  EXPECT_EQ(Printed([&calls] { ++calls; }, &finished), "");
  EXPECT_TRUE(finished);
  EXPECT_EQ(calls, 1);
}

TEST(RunPrintingFailures, PrintsErrorTexts) {
  bool finished = true;
  EXPECT_EQ(
      Printed([] { throw ErrorText("missing boundary field."); }, &finished),
      "error: missing boundary field.\n");
  EXPECT_FALSE(finished);
  EXPECT_EQ(Printed([] { throw ErrorText(""); }, &finished), "error: \n");
  // A text with a percent sign is printed as it is.
  EXPECT_EQ(Printed([] { throw ErrorText("100% %s"); }, &finished),
            "error: 100% %s\n");
}

TEST(RunPrintingFailures, PrintsOutOfMemory) {
  bool finished = true;
  EXPECT_EQ(Printed([] { throw std::bad_alloc(); }, &finished),
            "error: out of memory\n");
  EXPECT_FALSE(finished);
}

TEST(RunPrintingFailures, PrintsOtherStandardExceptions) {
  bool finished = true;
  EXPECT_EQ(Printed([] { throw std::out_of_range("index 7"); }, &finished),
            "error: index 7\n");
  EXPECT_FALSE(finished);
}

TEST(RunPrintingFailures, PrintsAFixedTextForAnythingElse) {
  bool finished = true;
  EXPECT_EQ(Printed([] { throw 42; }, &finished),
            "error: unexpected failure of unknown type\n");
  EXPECT_FALSE(finished);
}

}  // namespace
}  // namespace silhouette
