#include "host/embedded_host.h"

#include <algorithm>
#include <memory>

namespace silhouette {
namespace host {

CallResult CallEntry(EntryFunction entry, int nlhs,
                     const std::vector<const mxArray*>& inputs) {
  const int slots = std::max(nlhs, 1);
  std::unique_ptr<mxArray*[]> plhs(new mxArray*[slots]);
  for (int i = 0; i < slots; ++i) plhs[i] = nullptr;
  std::vector<const mxArray*> prhs(inputs);
  prhs.push_back(nullptr);  // never read: nrhs excludes it

  CallResult result;
  TakeCommandWindowText();
  try {
    entry(nlhs, plhs.get(), static_cast<int>(inputs.size()), prhs.data());
  } catch (const HostError& error) {
    result.raised = true;
    result.error = error.what();
  }
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
