// Keeps GSL's process-wide error handler switched off for the lifetime of
// one object and puts back exactly the handler that was installed before.
//
// GSL's default handler prints a message and calls abort(), which would end
// the host session; with the handler off, GSL reports failures only through
// its return values (status codes, NULL pointers), which the caller checks.
// The handler is one process-wide setting, so scopes nest but must not be
// used from several threads at once.
#pragma once

#include <gsl/gsl_errno.h>

namespace silhouette {

class GslErrorScope {
 public:
  GslErrorScope();
  ~GslErrorScope();

  GslErrorScope(const GslErrorScope&) = delete;
  GslErrorScope& operator=(const GslErrorScope&) = delete;

  // The handler that was installed when this scope began (NULL stands for
  // GSL's default handler).
  gsl_error_handler_t* previous() const { return previous_; }

 private:
  gsl_error_handler_t* previous_;
};

}  // namespace silhouette
