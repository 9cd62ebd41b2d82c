#include "lsq/gsl_vector_ptr.h"

#include <gsl/gsl_errno.h>
#include <gtest/gtest.h>

#include "geometry/error_text.h"

namespace silhouette {
namespace {

void FailingHandler(const char* reason, const char*, int, int) {
  ADD_FAILURE() << "GSL error handler called: " << reason;
}

TEST(AllocateGslVector, AllocatesTheRequestedSize) {
  gsl_error_handler_t* saved = gsl_set_error_handler(&FailingHandler);
  GslVectorPtr v = AllocateGslVector(3);
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->size, 3u);
  gsl_vector_set(v.get(), 2, 4.5);
  EXPECT_EQ(gsl_vector_get(v.get(), 2), 4.5);
  EXPECT_EQ(gsl_set_error_handler(saved), &FailingHandler);
}

TEST(AllocateGslVector, NegativeSizeThrows) {
  gsl_error_handler_t* saved = gsl_set_error_handler(&FailingHandler);
  try {
    AllocateGslVector(-1);
    ADD_FAILURE() << "no exception";
  } catch (const ErrorText& e) {
    EXPECT_STREQ(e.what(), "GSL vector allocation failed");
  }
  EXPECT_EQ(gsl_set_error_handler(saved), &FailingHandler);
}

}  // namespace
}  // namespace silhouette
