// An embedded stand-in for the host's array and MEX libraries.
//
// It offers the subset of the MEX API that the modules use, with the same
// names, signatures and C linkage (the array library is in
// embedded_matrix.h), plus the array classes needed to feed modules bad
// input (single, int32, logical, char, complex, sparse, cell, struct,
// empty, N-d). Like Octave, mxGetPr() is a plain cast of the data pointer
// whatever the class; data blocks are allocated to their exact size, so a
// module that reads past an array is caught by AddressSanitizer.
//
// mexPrintf() writes into a captured command window (see
// TakeCommandWindowText). A host error (mexErrMsgTxt, or the host running
// out of memory) ends the call in one of two manners, chosen per call (see
// CallEntry in embedded_host.h): by throwing host::HostError, which
// unwinds the module's frames as Octave does, or abruptly, as MATLAB does:
// the call is left at once, no destructor of the module runs, and the host
// frees the call's arrays and mxMalloc blocks.
#pragma once

#include <csetjmp>
#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>

#include "host/embedded_matrix.h"

extern "C" {

int mexPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
[[noreturn]] void mexErrMsgTxt(const char* text);

}  // extern "C"

namespace silhouette {
namespace host {

// What a host error throws when the call unwinds.
class HostError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Returns everything mexPrintf wrote since the last call, and clears it.
std::string TakeCommandWindowText();

struct ArrayDeleter {
  void operator()(mxArray* array) const { mxDestroyArray(array); }
};
using ArrayPtr = std::unique_ptr<mxArray, ArrayDeleter>;

// How a host error ends a call.
enum class HostErrorStyle {
  kUnwind,  // throw HostError (Octave)
  kAbrupt,  // leave the call without unwinding (MATLAB)
};

struct CallSetup {
  HostErrorStyle errors = HostErrorStyle::kUnwind;
  // The host runs out of memory at the n-th allocation of the call
  // (mxCreate*, mxMalloc, mxCalloc, mxRealloc), counted from 1; 0 never.
  // Running out of memory is a host error with the text "Out of memory.".
  std::size_t failAllocation = 0;
};

// What the host cleaned up after a call.
struct CallCleanup {
  // Arrays the call created and neither returned, destroyed nor put into
  // another array; after an abrupt end, its outputs as well.
  std::size_t arrays = 0;
  // mxMalloc blocks the call neither freed nor gave to an array.
  std::size_t blocks = 0;
};

// The host's side of a module call, for CallEntry. BeginCall starts
// tracking what the call allocates; with HostErrorStyle::kAbrupt a host
// error jumps to `landing` (longjmp), which must be a jmp_buf set by a
// frame that encloses the call. EndCall stops tracking and frees what the
// host frees at the end of a call: `abrupt` says whether the call was left
// through `landing`, in which case the `slots` entries of plhs are freed
// too and set to null.
void BeginCall(const CallSetup& setup, std::jmp_buf* landing);
CallCleanup EndCall(mxArray* plhs[], int slots, bool abrupt);

// The text of the host error that ended the current or last call abruptly.
std::string AbruptErrorText();

// Ends the current call with a host error in the style it was begun with;
// outside a call, throws HostError.
[[noreturn]] void RaiseHostError(const char* text);

}  // namespace host
}  // namespace silhouette
