#include "host/embedded_mex.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

struct mxArray {
  mxClassID classId = mxDOUBLE_CLASS;
  std::vector<mwSize> dims{0, 0};
  bool complex = false;
  bool sparse = false;
  // Exactly sized raw blocks: a read past the end is a heap overflow.
  std::unique_ptr<unsigned char[]> real;
  std::unique_ptr<unsigned char[]> imag;
  std::unique_ptr<mwIndex[]> sparseRows;
  std::unique_ptr<mwIndex[]> sparseColumnStarts;
  std::vector<std::string> fieldNames;
  std::vector<mxArray*> children;  // struct: element-major; cell: elements

  ~mxArray() {
    for (mxArray* child : children) delete child;
  }
};

namespace {

// The command window of the stand-in host. Like the real host's, it is one
// per process; only the unit tests read it.
std::string& CommandWindow() {
  static std::string text;
  return text;
}

std::size_t NumElements(const mxArray& array) {
  std::size_t n = 1;
  for (mwSize d : array.dims) n *= d;
  return n;
}

std::size_t ElementBytes(mxClassID class_id) {
  switch (class_id) {
    case mxLOGICAL_CLASS:
    case mxINT8_CLASS:
    case mxUINT8_CLASS:
      return 1;
    case mxCHAR_CLASS:
    case mxINT16_CLASS:
    case mxUINT16_CLASS:
      return 2;
    case mxSINGLE_CLASS:
    case mxINT32_CLASS:
    case mxUINT32_CLASS:
      return 4;
    case mxDOUBLE_CLASS:
    case mxINT64_CLASS:
    case mxUINT64_CLASS:
      return 8;
    default:
      return 0;
  }
}

std::unique_ptr<unsigned char[]> ZeroBlock(std::size_t bytes) {
  std::unique_ptr<unsigned char[]> block(new unsigned char[bytes]);
  if (bytes > 0) std::memset(block.get(), 0, bytes);
  return block;
}

mxArray* NewNumeric(std::vector<mwSize> dims, mxClassID class_id,
                    mxComplexity flag) {
  mxArray* array = new mxArray;
  array->classId = class_id;
  array->dims = std::move(dims);
  while (array->dims.size() < 2) array->dims.push_back(1);
  array->complex = (flag == mxCOMPLEX);
  const std::size_t bytes = NumElements(*array) * ElementBytes(class_id);
  array->real = ZeroBlock(bytes);
  if (array->complex) array->imag = ZeroBlock(bytes);
  return array;
}

bool IsStruct(const mxArray* array) {
  return array != nullptr && array->classId == mxSTRUCT_CLASS;
}

}  // namespace

std::size_t mxGetM(const mxArray* array) { return array->dims[0]; }

std::size_t mxGetN(const mxArray* array) {
  std::size_t n = 1;
  for (std::size_t d = 1; d < array->dims.size(); ++d) n *= array->dims[d];
  return n;
}

std::size_t mxGetNumberOfElements(const mxArray* array) {
  return NumElements(*array);
}

mwSize mxGetNumberOfDimensions(const mxArray* array) {
  return array->dims.size();
}

const mwSize* mxGetDimensions(const mxArray* array) {
  return array->dims.data();
}

mxClassID mxGetClassID(const mxArray* array) { return array->classId; }

bool mxIsDouble(const mxArray* array) {
  return array->classId == mxDOUBLE_CLASS;
}
bool mxIsSingle(const mxArray* array) {
  return array->classId == mxSINGLE_CLASS;
}
bool mxIsInt32(const mxArray* array) { return array->classId == mxINT32_CLASS; }
bool mxIsLogical(const mxArray* array) {
  return array->classId == mxLOGICAL_CLASS;
}
bool mxIsChar(const mxArray* array) { return array->classId == mxCHAR_CLASS; }
bool mxIsNumeric(const mxArray* array) {
  return array->classId >= mxDOUBLE_CLASS && array->classId <= mxUINT64_CLASS;
}
bool mxIsComplex(const mxArray* array) { return array->complex; }
bool mxIsSparse(const mxArray* array) { return array->sparse; }
bool mxIsStruct(const mxArray* array) { return IsStruct(array); }
bool mxIsCell(const mxArray* array) { return array->classId == mxCELL_CLASS; }
bool mxIsEmpty(const mxArray* array) { return NumElements(*array) == 0; }

double* mxGetPr(const mxArray* array) {
  return reinterpret_cast<double*>(array->real.get());
}

double* mxGetPi(const mxArray* array) {
  return reinterpret_cast<double*>(array->imag.get());
}

void* mxGetData(const mxArray* array) { return array->real.get(); }

int mxGetNumberOfFields(const mxArray* array) {
  return IsStruct(array) ? static_cast<int>(array->fieldNames.size()) : 0;
}

const char* mxGetFieldNameByNumber(const mxArray* array, int number) {
  if (!IsStruct(array) || number < 0 ||
      number >= static_cast<int>(array->fieldNames.size())) {
    return nullptr;
  }
  return array->fieldNames[number].c_str();
}

int mxGetFieldNumber(const mxArray* array, const char* name) {
  if (!IsStruct(array)) return -1;
  for (std::size_t f = 0; f < array->fieldNames.size(); ++f) {
    if (array->fieldNames[f] == name) return static_cast<int>(f);
  }
  return -1;
}

mxArray* mxGetField(const mxArray* array, mwIndex index, const char* name) {
  const int field = mxGetFieldNumber(array, name);
  if (field < 0 || index >= NumElements(*array)) return nullptr;
  return array->children[index * array->fieldNames.size() + field];
}

void mxSetField(mxArray* array, mwIndex index, const char* name,
                mxArray* value) {
  const int field = mxGetFieldNumber(array, name);
  if (field < 0 || index >= NumElements(*array)) return;
  mxArray*& slot = array->children[index * array->fieldNames.size() + field];
  delete slot;
  slot = value;
}

int mxAddField(mxArray* array, const char* name) {
  if (!IsStruct(array)) return -1;
  const int existing = mxGetFieldNumber(array, name);
  if (existing >= 0) return existing;
  const std::size_t old_fields = array->fieldNames.size();
  const std::size_t n = NumElements(*array);
  std::vector<mxArray*> children;
  children.reserve(n * (old_fields + 1));
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t f = 0; f < old_fields; ++f) {
      children.push_back(array->children[i * old_fields + f]);
    }
    children.push_back(nullptr);
  }
  array->children.swap(children);
  array->fieldNames.push_back(name);
  return static_cast<int>(old_fields);
}

mxArray* mxGetCell(const mxArray* array, mwIndex index) {
  if (array->classId != mxCELL_CLASS || index >= array->children.size()) {
    return nullptr;
  }
  return array->children[index];
}

void mxSetCell(mxArray* array, mwIndex index, mxArray* value) {
  if (array->classId != mxCELL_CLASS || index >= array->children.size()) {
    return;
  }
  delete array->children[index];
  array->children[index] = value;
}

mxArray* mxCreateDoubleMatrix(mwSize m, mwSize n, mxComplexity flag) {
  return NewNumeric({m, n}, mxDOUBLE_CLASS, flag);
}

mxArray* mxCreateDoubleScalar(double value) {
  mxArray* array = mxCreateDoubleMatrix(1, 1, mxREAL);
  *mxGetPr(array) = value;
  return array;
}

mxArray* mxCreateNumericMatrix(mwSize m, mwSize n, mxClassID class_id,
                               mxComplexity flag) {
  return NewNumeric({m, n}, class_id, flag);
}

mxArray* mxCreateNumericArray(mwSize ndim, const mwSize* dims,
                              mxClassID class_id, mxComplexity flag) {
  return NewNumeric(std::vector<mwSize>(dims, dims + ndim), class_id, flag);
}

mxArray* mxCreateLogicalMatrix(mwSize m, mwSize n) {
  return NewNumeric({m, n}, mxLOGICAL_CLASS, mxREAL);
}

mxArray* mxCreateString(const char* text) {
  const std::size_t length = std::strlen(text);
  mxArray* array = NewNumeric({1, length}, mxCHAR_CLASS, mxREAL);
  auto* chars = reinterpret_cast<unsigned short*>(array->real.get());
  for (std::size_t i = 0; i < length; ++i) {
    chars[i] = static_cast<unsigned char>(text[i]);
  }
  return array;
}

mxArray* mxCreateSparse(mwSize m, mwSize n, mwSize nzmax, mxComplexity flag) {
  if (nzmax == 0) nzmax = 1;
  mxArray* array = new mxArray;
  array->dims = {m, n};
  array->sparse = true;
  array->complex = (flag == mxCOMPLEX);
  array->real = ZeroBlock(nzmax * sizeof(double));
  if (array->complex) array->imag = ZeroBlock(nzmax * sizeof(double));
  array->sparseRows.reset(new mwIndex[nzmax]());
  array->sparseColumnStarts.reset(new mwIndex[n + 1]());
  return array;
}

mxArray* mxCreateCellMatrix(mwSize m, mwSize n) {
  mxArray* array = new mxArray;
  array->classId = mxCELL_CLASS;
  array->dims = {m, n};
  array->children.assign(m * n, nullptr);
  return array;
}

mxArray* mxCreateStructMatrix(mwSize m, mwSize n, int nfields,
                              const char** field_names) {
  mxArray* array = new mxArray;
  array->classId = mxSTRUCT_CLASS;
  array->dims = {m, n};
  for (int f = 0; f < nfields; ++f) array->fieldNames.push_back(field_names[f]);
  array->children.assign(m * n * array->fieldNames.size(), nullptr);
  return array;
}

void mxDestroyArray(mxArray* array) { delete array; }

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

void mexErrMsgTxt(const char* text) { throw silhouette::host::HostError(text); }

namespace silhouette {
namespace host {

std::string TakeCommandWindowText() {
  std::string text;
  text.swap(CommandWindow());
  return text;
}

}  // namespace host
}  // namespace silhouette
