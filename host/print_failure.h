// How an entry reports a failure of its computation: one line in the
// command window, never a host error (in MATLAB a host error ends the call
// without unwinding) and never an escaping exception.
#pragma once

#include <exception>

namespace silhouette {
namespace host {

// Prints mexPrintf(format, text) with the text of `failure`: the message of
// an ErrorText or any other std::exception, "out of memory" for
// std::bad_alloc, "unexpected failure of unknown type" for anything else.
// `format` holds one %s; `failure` must not be null.
void PrintFailure(const std::exception_ptr& failure,
                  const char* format) noexcept;

// Calls `body()` and prints whatever it throws with `format`; returns
// whether it finished. The body's objects are released before the line is
// printed.
template <typename Body>
bool RunPrintingFailures(const char* format, Body&& body) noexcept {
  std::exception_ptr failure;
  try {
    body();
  } catch (...) {
    failure = std::current_exception();
  }
  if (!failure) return true;
  PrintFailure(failure, format);
  return false;
}

}  // namespace host
}  // namespace silhouette
