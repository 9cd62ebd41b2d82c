// Test helpers over the embedded stand-in host: calling a module's entry the
// way the host does, and building input arrays.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "host/embedded_mex.h"

namespace silhouette {
namespace host {

using EntryFunction = void (*)(int nlhs, mxArray* plhs[], int nrhs,
                               const mxArray* prhs[]);

struct CallResult {
  // One entry per output slot; empty where the entry created nothing, and
  // all empty after an abrupt end.
  std::vector<ArrayPtr> outputs;
  // What the call wrote with mexPrintf.
  std::string printed;
  // Whether the call ended through a host error (mexErrMsgTxt, or the host
  // running out of memory), and with which text.
  bool raised = false;
  std::string error;
  // What the host freed when the call ended (see CallCleanup).
  CallCleanup cleanup;
};

// Calls `entry` as the host does: `plhs` has exactly max(nlhs, 1) slots,
// allocated to that size so that a write past them is a heap overflow.
// `setup` says how a host error ends the call (by default as in Octave:
// HostError unwinds the module) and whether the host runs out of memory.
CallResult CallEntry(EntryFunction entry, int nlhs,
                     const std::vector<const mxArray*>& inputs,
                     const CallSetup& setup = CallSetup());

// A real double matrix from column-major values (rows * cols of them).
ArrayPtr MakeMatrix(std::size_t rows, std::size_t cols,
                    const std::vector<double>& column_major);
ArrayPtr MakeScalar(double value);

// A 1 x n struct array with the given fields, all unset (null).
ArrayPtr MakeStructArray(std::size_t n,
                         const std::vector<std::string>& field_names);

// Stores `value` in field `name` of element `index`; the struct owns it.
void SetField(mxArray* array, std::size_t index, const char* name,
              ArrayPtr value);

// Values of a real double matrix, column-major.
std::vector<double> Values(const mxArray* array);

}  // namespace host
}  // namespace silhouette
