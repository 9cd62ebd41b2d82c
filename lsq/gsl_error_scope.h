// Keeps GSL's process-wide error handler switched off while at least one
// scope is alive, and puts back exactly the handler that was installed
// before the first of them began.
//
// GSL's default handler prints a message and calls abort(), which would end
// the host session; with the handler off, GSL reports failures only through
// its return values (status codes, NULL pointers), which the caller checks.
//
// The handler is one process-wide setting, so the scopes share one count
// under one mutex: the scope that raises the count from 0 switches the
// handler off and remembers the previous one, the scope that brings it back
// to 0 restores that one, and every other scope only counts. Scopes may so
// nest and may be alive on several threads at once. A code that runs GSL
// on worker threads holds one scope on its calling thread around the whole
// parallel section: the workers' own scopes then never change the handler
// (they only see a count above 0), and no thread reads it while it is
// being changed. With one thread, as in a host that makes one call at a
// time, every scope behaves as a plain save and restore.
#pragma once

#include <gsl/gsl_errno.h>

namespace silhouette {

class GslErrorScope {
 public:
  GslErrorScope();
  ~GslErrorScope();

  GslErrorScope(const GslErrorScope&) = delete;
  GslErrorScope& operator=(const GslErrorScope&) = delete;

  // The handler that was installed when the outermost of the scopes alive
  // began (NULL stands for GSL's default handler); the one that is put back
  // when the last of them ends.
  gsl_error_handler_t* previous() const { return previous_; }

 private:
  gsl_error_handler_t* previous_;
};

}  // namespace silhouette
