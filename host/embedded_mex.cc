// The embedded host's MEX library: the command window and host errors.
#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "host/embedded_mex.h"

namespace {

// The command window of the stand-in host. Like the real host's, it is one
// per process; only the tests read it.
std::string& CommandWindow() {
  static std::string text;
  return text;
}

}  // namespace

int mexPrintf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (length > 0) {
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    CommandWindow().append(buffer.data(), static_cast<std::size_t>(length));
  }
  va_end(args);
  return length;
}

void mexErrMsgTxt(const char* text) { silhouette::host::RaiseHostError(text); }

namespace silhouette {
namespace host {

std::string TakeCommandWindowText() {
  std::string text;
  text.swap(CommandWindow());
  return text;
}

}  // namespace host
}  // namespace silhouette
