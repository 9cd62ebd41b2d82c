// Checks that a call leaves GSL's process-wide error handler as it found
// it: no state of one module call may reach the next.
#pragma once

#include <gsl/gsl_errno.h>

#include <string>

namespace silhouette {
namespace fuzz {

// Installs a handler of its own for its lifetime (the one in place before
// comes back at the end). Left() tells whether the handler in place is
// still its own, "" if so.
class GslHandlerGuard {
 public:
  GslHandlerGuard();
  ~GslHandlerGuard();
  GslHandlerGuard(const GslHandlerGuard&) = delete;
  GslHandlerGuard& operator=(const GslHandlerGuard&) = delete;

  std::string Left() const;

 private:
  gsl_error_handler_t* previous_;
};

}  // namespace fuzz
}  // namespace silhouette
