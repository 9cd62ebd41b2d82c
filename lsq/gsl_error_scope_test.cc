#include "lsq/gsl_error_scope.h"

#include <gsl/gsl_matrix.h>
#include <gsl/gsl_vector.h>
#include <gtest/gtest.h>

#include <stdexcept>

namespace silhouette {
namespace {

void FailingHandler(const char* reason, const char*, int, int) {
  ADD_FAILURE() << "GSL error handler called: " << reason;
}

void OtherHandler(const char*, const char*, int, int) {}

// Makes GSL report GSL_EBADLEN through its error handler.
int ProvokeGslError() {
  gsl_matrix* m = gsl_matrix_calloc(2, 2);
  gsl_vector* v = gsl_vector_calloc(3);
  const int status = gsl_matrix_set_col(m, 0, v);
  gsl_vector_free(v);
  gsl_matrix_free(m);
  return status;
}

class GslErrorScopeTest : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = gsl_set_error_handler(&FailingHandler); }
  void TearDown() override { gsl_set_error_handler(saved_); }
  gsl_error_handler_t* saved_ = nullptr;
};

TEST_F(GslErrorScopeTest, SwitchesHandlerOffAndRestoresIt) {
  {
    GslErrorScope scope;
    EXPECT_EQ(scope.previous(), &FailingHandler);
    EXPECT_EQ(ProvokeGslError(), GSL_EBADLEN);  // FailingHandler not called
  }
  EXPECT_EQ(gsl_set_error_handler(&FailingHandler), &FailingHandler);
}

TEST_F(GslErrorScopeTest, NestedScopesRestoreInOrder) {
  gsl_set_error_handler(&OtherHandler);
  {
    GslErrorScope outer;
    {
      GslErrorScope inner;
      EXPECT_EQ(ProvokeGslError(), GSL_EBADLEN);
    }
    EXPECT_EQ(ProvokeGslError(), GSL_EBADLEN);  // still off
  }
  EXPECT_EQ(gsl_set_error_handler(&FailingHandler), &OtherHandler);
}

TEST_F(GslErrorScopeTest, RestoresWhenLeftByException) {
  try {
    GslErrorScope scope;
    throw std::runtime_error("leave");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(gsl_set_error_handler(&FailingHandler), &FailingHandler);
}

TEST_F(GslErrorScopeTest, RestoresTheDefaultHandler) {
  gsl_set_error_handler(nullptr);
  { GslErrorScope scope; }
  EXPECT_EQ(gsl_set_error_handler(&FailingHandler), nullptr);
}

}  // namespace
}  // namespace silhouette
