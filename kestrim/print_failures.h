// Runs a module's work so that no exception leaves it: every failure is
// printed to the command window instead.
#pragma once

#include <exception>
#include <new>

#include "geometry/error_text.h"
#include "host/mex_api.h"

namespace silhouette {

// Calls `body()`. An exception it throws is caught and printed with
// mexPrintf as "error: <text>\n": an ErrorText or other std::exception with
// its message, std::bad_alloc as "out of memory", anything else as
// "unexpected failure of unknown type". Returns whether `body` finished
// without an exception. Never raises a host error, which in MATLAB would
// end the call without unwinding.
template <typename Body>
bool RunPrintingFailures(Body&& body) {
  try {
    body();
    return true;
  } catch (const ErrorText& error) {
    mexPrintf("error: %s\n", error.what());
  } catch (const std::bad_alloc&) {
    mexPrintf("error: %s\n", "out of memory");
  } catch (const std::exception& error) {
    mexPrintf("error: %s\n", error.what());
  } catch (...) {
    mexPrintf("error: %s\n", "unexpected failure of unknown type");
  }
  return false;
}

}  // namespace silhouette
