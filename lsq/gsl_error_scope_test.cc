#include "lsq/gsl_error_scope.h"

#include <gsl/gsl_matrix.h>
#include <gsl/gsl_vector.h>
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

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
      // The inner scope reports the handler the outermost one found.
      EXPECT_EQ(inner.previous(), &OtherHandler);
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

TEST_F(GslErrorScopeTest, ScopesEndingOutOfOrderRestoreOnceAllHaveEnded) {
  auto* first = new GslErrorScope;
  auto* second = new GslErrorScope;
  delete first;  // the second is still alive: the handler stays off
  EXPECT_EQ(ProvokeGslError(), GSL_EBADLEN);
  delete second;
  EXPECT_EQ(gsl_set_error_handler(&FailingHandler), &FailingHandler);
}

// Worker threads open and close scopes and make GSL fail while the
// calling thread holds one scope around them all: no failure reaches the
// handler, and the one installed before is back afterwards. Under
// ThreadSanitizer this also shows that the workers' scopes never write the
// handler while other workers' GSL calls read it.
TEST_F(GslErrorScopeTest, WorkersInsideAnOuterScopeNeverSeeTheHandler) {
  {
    GslErrorScope outer;
    std::vector<std::thread> workers;
    std::atomic<int> statuses{0};
    for (int t = 0; t < 4; ++t) {
      workers.emplace_back([&] {
        for (int i = 0; i < 200; ++i) {
          GslErrorScope scope;
          if (ProvokeGslError() == GSL_EBADLEN) ++statuses;
        }
      });
    }
    for (std::thread& w : workers) w.join();
    EXPECT_EQ(statuses.load(), 800);
  }
  EXPECT_EQ(gsl_set_error_handler(&FailingHandler), &FailingHandler);
}

// Without an outer scope the threads' scopes overlap in every order; the
// handler is off whenever one of them is alive and restored once the last
// has ended.
TEST_F(GslErrorScopeTest, OverlappingScopesOnThreadsKeepTheHandlerOff) {
  std::vector<std::thread> workers;
  for (int t = 0; t < 4; ++t) {
    workers.emplace_back([] {
      for (int i = 0; i < 200; ++i) {
        GslErrorScope scope;
        EXPECT_EQ(scope.previous(), &FailingHandler);
      }
    });
  }
  for (std::thread& w : workers) w.join();
  EXPECT_EQ(gsl_set_error_handler(&FailingHandler), &FailingHandler);
}

}  // namespace
}  // namespace silhouette
