#include "host/embedded_host.h"

#include <algorithm>
#include <csetjmp>
#include <memory>

namespace silhouette {
namespace host {
namespace {

// Runs the entry under a landing point for an abrupt end; false when the
// call was left through it. This frame holds nothing with a destructor:
// longjmp skips destructors, and setjmp's frame must not rely on locals
// changed after it.
bool RunToLanding(EntryFunction entry, int nlhs, mxArray* plhs[], int nrhs,
                  const mxArray* prhs[], std::jmp_buf* landing) {
  if (setjmp(*landing) != 0) return false;
  entry(nlhs, plhs, nrhs, prhs);
  return true;
}

}  // namespace

CallResult CallEntry(EntryFunction entry, int nlhs,
                     const std::vector<const mxArray*>& inputs,
                     const CallSetup& setup) {
  const int slots = std::max(nlhs, 1);
  std::unique_ptr<mxArray*[]> plhs(new mxArray*[slots]);
  for (int i = 0; i < slots; ++i) plhs[i] = nullptr;
  std::vector<const mxArray*> prhs(inputs);
  prhs.push_back(nullptr);  // never read: nrhs excludes it
  const int nrhs = static_cast<int>(inputs.size());

  CallResult result;
  TakeCommandWindowText();
  std::jmp_buf landing;
  BeginCall(setup, &landing);
  bool abrupt = false;
  try {
    abrupt = !RunToLanding(entry, nlhs, plhs.get(), nrhs, prhs.data(),
                           &landing);
  } catch (const HostError& error) {
    result.raised = true;
    result.error = error.what();
  }
  if (abrupt) {
    result.raised = true;
    result.error = AbruptErrorText();
  }
  result.cleanup = EndCall(plhs.get(), slots, abrupt);
  result.printed = TakeCommandWindowText();
  for (int i = 0; i < slots; ++i) result.outputs.emplace_back(plhs[i]);
  return result;
}

ArrayPtr MakeMatrix(std::size_t rows, std::size_t cols,
                    const std::vector<double>& column_major) {
  ArrayPtr array(mxCreateDoubleMatrix(rows, cols, mxREAL));
  std::copy(column_major.begin(), column_major.end(), mxGetPr(array.get()));
  return array;
}

ArrayPtr MakeScalar(double value) { return MakeMatrix(1, 1, {value}); }

ArrayPtr MakeStructArray(std::size_t n,
                         const std::vector<std::string>& field_names) {
  std::vector<const char*> names;
  for (const std::string& name : field_names) names.push_back(name.c_str());
  return ArrayPtr(
      mxCreateStructMatrix(1, n, static_cast<int>(names.size()), names.data()));
}

void SetField(mxArray* array, std::size_t index, const char* name,
              ArrayPtr value) {
  mxSetField(array, index, name, value.release());
}

std::vector<double> Values(const mxArray* array) {
  const double* data = mxGetPr(array);
  return std::vector<double>(data, data + mxGetNumberOfElements(array));
}

}  // namespace host
}  // namespace silhouette
