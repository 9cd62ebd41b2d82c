#include "dovanel/print_failure.h"

#include <new>

#include "geometry/error_text.h"
#include "host/mex_api.h"

namespace silhouette {

void PrintFailure(const std::exception_ptr& failure) noexcept {
  try {
    std::rethrow_exception(failure);
  } catch (const ErrorText& error) {
    mexPrintf("%s\n", error.what());
  } catch (const std::bad_alloc&) {
    mexPrintf("%s\n", "out of memory");
  } catch (const std::exception& error) {
    mexPrintf("%s\n", error.what());
  } catch (...) {
    mexPrintf("%s\n", "unknown error");
  }
}

}  // namespace silhouette
