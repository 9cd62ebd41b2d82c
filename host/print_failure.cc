#include "host/print_failure.h"

#include <new>

#include "host/mex_api.h"

namespace silhouette {
namespace host {

void PrintFailure(const std::exception_ptr& failure,
                  const char* format) noexcept {
  try {
    std::rethrow_exception(failure);
  } catch (const std::bad_alloc&) {
    mexPrintf(format, "out of memory");
  } catch (const std::exception& error) {
    mexPrintf(format, error.what());
  } catch (...) {
    mexPrintf(format, "unexpected failure of unknown type");
  }
}

}  // namespace host
}  // namespace silhouette
