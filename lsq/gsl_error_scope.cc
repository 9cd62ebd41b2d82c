#include "lsq/gsl_error_scope.h"

#include <mutex>

namespace silhouette {
namespace {

// The scopes alive in the process and the handler the first of them found.
struct ScopeCount {
  std::mutex mutex;
  int alive = 0;
  gsl_error_handler_t* saved = nullptr;
};

ScopeCount& Count() {
  static ScopeCount count;
  return count;
}

}  // namespace

GslErrorScope::GslErrorScope() {
  ScopeCount& count = Count();
  const std::lock_guard<std::mutex> lock(count.mutex);
  if (count.alive == 0) count.saved = gsl_set_error_handler_off();
  ++count.alive;
  previous_ = count.saved;
}

GslErrorScope::~GslErrorScope() {
  ScopeCount& count = Count();
  const std::lock_guard<std::mutex> lock(count.mutex);
  if (--count.alive == 0) gsl_set_error_handler(count.saved);
}

}  // namespace silhouette
