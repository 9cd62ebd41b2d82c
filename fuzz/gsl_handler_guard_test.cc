#include "fuzz/gsl_handler_guard.h"

#include <gtest/gtest.h>

#include "lsq/gsl_error_scope.h"

namespace silhouette {
namespace fuzz {
namespace {

TEST(GslHandlerGuard, SeesAHandlerLeftBehind) {
  gsl_error_handler_t* before = gsl_set_error_handler(nullptr);
  gsl_set_error_handler(before);
  {
    const GslHandlerGuard guard;
    { const GslErrorScope scope; }  // puts back what it found
    EXPECT_EQ(guard.Left(), "");
    gsl_set_error_handler_off();  // as a scope that forgot to restore
    EXPECT_NE(guard.Left(), "");
  }
  // The guard restores what was there before it.
  EXPECT_EQ(gsl_set_error_handler(before), before);
}

}  // namespace
}  // namespace fuzz
}  // namespace silhouette
