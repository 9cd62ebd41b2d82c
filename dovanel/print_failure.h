// How the Dovanel entry reports a failure of the computation.
#pragma once

#include <exception>

namespace silhouette {

// Prints the text of the failure as one line, mexPrintf("%s\n", text): the
// message of an ErrorText or of any other std::exception, "out of memory"
// for std::bad_alloc, "unknown error" for anything else. An empty message
// prints an empty line. Nothing escapes; `failure` must not be null.
void PrintFailure(const std::exception_ptr& failure) noexcept;

}  // namespace silhouette
