// The embedded host's array library and its bookkeeping of module calls.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "host/embedded_mex.h"

struct mxArray {
  mxClassID classId = mxDOUBLE_CLASS;
  std::vector<mwSize> dims{0, 0};
  bool complex = false;
  bool sparse = false;
  // Host blocks held by the array, exactly sized: a read past the end is a
  // heap overflow.
  void* real = nullptr;
  void* imag = nullptr;
  std::unique_ptr<mwIndex[]> sparseRows;
  std::unique_ptr<mwIndex[]> sparseColumnStarts;
  std::vector<std::string> fieldNames;
  std::vector<mxArray*> children;  // struct: element-major; cell: elements
};

namespace {

using silhouette::host::CallCleanup;
using silhouette::host::CallSetup;
using silhouette::host::HostErrorStyle;

struct BlockInfo {
  mxArray* owner;  // the array holding the block, or null for a loose one
  bool ofCall;     // allocated (or let go by an array) during a call
};

// The host's records. Like the real host's, they are one per process; the
// MEX API is used from one thread only.
struct HostState {
  std::unordered_map<void*, BlockInfo> blocks;
  // Arrays created during the current call that nothing else holds yet.
  std::unordered_set<mxArray*> temporaries;
  bool inCall = false;
  CallSetup setup;
  std::size_t allocations = 0;
  std::jmp_buf* landing = nullptr;
  std::string abruptText;
};

HostState& Host() {
  static HostState state;
  return state;
}

[[noreturn]] void Fault(const char* what) {
  std::fprintf(stderr, "embedded host: %s\n", what);
  std::abort();
}

// Every allocation of a call may be the one at which the host runs out of
// memory.
void CountAllocation() {
  HostState& host = Host();
  if (host.inCall && host.setup.failAllocation != 0 &&
      ++host.allocations == host.setup.failAllocation) {
    silhouette::host::RaiseHostError("Out of memory.");
  }
}

// No allocation may be larger than half the address space; the host does
// not even ask for more (a sanitizer would stop the process instead of
// failing the allocation).
constexpr std::size_t kMaxBlock = static_cast<std::size_t>(PTRDIFF_MAX);

void* NewBlock(std::size_t bytes, bool zero, mxArray* owner) {
  if (bytes > kMaxBlock) silhouette::host::RaiseHostError("Out of memory.");
  void* block = zero ? std::calloc(bytes, 1) : std::malloc(bytes);
  if (block == nullptr) {
    if (bytes > 0) silhouette::host::RaiseHostError("Out of memory.");
    return nullptr;
  }
  HostState& host = Host();
  host.blocks[block] = BlockInfo{owner, host.inCall};
  return block;
}

void FreeBlock(void* block) {
  if (block == nullptr) return;
  Host().blocks.erase(block);
  std::free(block);
}

mxArray* NewArray() {
  mxArray* array = new mxArray;
  HostState& host = Host();
  if (host.inCall) host.temporaries.insert(array);
  return array;
}

void DestroyArray(mxArray* array) {
  if (array == nullptr) return;
  Host().temporaries.erase(array);
  FreeBlock(array->real);
  FreeBlock(array->imag);
  for (mxArray* child : array->children) DestroyArray(child);
  delete array;
}

// `child` now belongs to a struct or cell array.
void Adopt(mxArray* child) {
  if (child != nullptr) Host().temporaries.erase(child);
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

// The caller counts the allocation first: nothing of the host may be alive
// when running out of memory ends a call abruptly.
mxArray* NewNumeric(std::vector<mwSize> dims, mxClassID class_id,
                    mxComplexity flag) {
  mxArray* array = NewArray();
  array->classId = class_id;
  array->dims = std::move(dims);
  while (array->dims.size() < 2) array->dims.push_back(1);
  array->complex = (flag == mxCOMPLEX);
  const std::size_t bytes = NumElements(*array) * ElementBytes(class_id);
  array->real = NewBlock(bytes, true, array);
  if (array->complex) array->imag = NewBlock(bytes, true, array);
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
  return static_cast<double*>(array->real);
}

double* mxGetPi(const mxArray* array) {
  return static_cast<double*>(array->imag);
}

void* mxGetData(const mxArray* array) { return array->real; }

void mxSetM(mxArray* array, mwSize m) { array->dims[0] = m; }

void mxSetN(mxArray* array, mwSize n) {
  array->dims.resize(2);
  array->dims[1] = n;
}

void mxSetPr(mxArray* array, double* data) {
  HostState& host = Host();
  if (data != nullptr) {
    auto found = host.blocks.find(data);
    if (found == host.blocks.end() || found->second.owner != nullptr) {
      Fault("mxSetPr needs a block from mxMalloc that no array holds");
    }
    found->second.owner = array;
  }
  // The replaced data is not freed: it becomes a loose block, which the
  // host frees at the end of the call.
  if (array->real != nullptr) {
    if (host.inCall) {
      host.blocks[array->real] = BlockInfo{nullptr, true};
    } else {
      FreeBlock(array->real);
    }
  }
  array->real = data;
}

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
  DestroyArray(slot);
  Adopt(value);
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
  DestroyArray(array->children[index]);
  Adopt(value);
  array->children[index] = value;
}

mxArray* mxCreateDoubleMatrix(mwSize m, mwSize n, mxComplexity flag) {
  CountAllocation();
  return NewNumeric({m, n}, mxDOUBLE_CLASS, flag);
}

mxArray* mxCreateDoubleScalar(double value) {
  mxArray* array = mxCreateDoubleMatrix(1, 1, mxREAL);
  *mxGetPr(array) = value;
  return array;
}

mxArray* mxCreateNumericMatrix(mwSize m, mwSize n, mxClassID class_id,
                               mxComplexity flag) {
  CountAllocation();
  return NewNumeric({m, n}, class_id, flag);
}

mxArray* mxCreateNumericArray(mwSize ndim, const mwSize* dims,
                              mxClassID class_id, mxComplexity flag) {
  CountAllocation();
  return NewNumeric(std::vector<mwSize>(dims, dims + ndim), class_id, flag);
}

mxArray* mxCreateLogicalMatrix(mwSize m, mwSize n) {
  CountAllocation();
  return NewNumeric({m, n}, mxLOGICAL_CLASS, mxREAL);
}

mxArray* mxCreateString(const char* text) {
  CountAllocation();
  const std::size_t length = std::strlen(text);
  mxArray* array = NewNumeric({1, length}, mxCHAR_CLASS, mxREAL);
  auto* chars = static_cast<unsigned short*>(array->real);
  for (std::size_t i = 0; i < length; ++i) {
    chars[i] = static_cast<unsigned char>(text[i]);
  }
  return array;
}

mxArray* mxCreateSparse(mwSize m, mwSize n, mwSize nzmax, mxComplexity flag) {
  CountAllocation();
  if (nzmax == 0) nzmax = 1;
  mxArray* array = NewArray();
  array->dims = {m, n};
  array->sparse = true;
  array->complex = (flag == mxCOMPLEX);
  array->real = NewBlock(nzmax * sizeof(double), true, array);
  if (array->complex) {
    array->imag = NewBlock(nzmax * sizeof(double), true, array);
  }
  array->sparseRows.reset(new mwIndex[nzmax]());
  array->sparseColumnStarts.reset(new mwIndex[n + 1]());
  return array;
}

mxArray* mxCreateCellMatrix(mwSize m, mwSize n) {
  CountAllocation();
  mxArray* array = NewArray();
  array->classId = mxCELL_CLASS;
  array->dims = {m, n};
  array->children.assign(m * n, nullptr);
  return array;
}

mxArray* mxCreateStructMatrix(mwSize m, mwSize n, int nfields,
                              const char** field_names) {
  CountAllocation();
  mxArray* array = NewArray();
  array->classId = mxSTRUCT_CLASS;
  array->dims = {m, n};
  for (int f = 0; f < nfields; ++f) array->fieldNames.push_back(field_names[f]);
  array->children.assign(m * n * array->fieldNames.size(), nullptr);
  return array;
}

void mxDestroyArray(mxArray* array) { DestroyArray(array); }

void* mxMalloc(std::size_t n) {
  CountAllocation();
  return NewBlock(n, false, nullptr);
}

void* mxCalloc(std::size_t n, std::size_t size) {
  CountAllocation();
  if (size != 0 && n > static_cast<std::size_t>(-1) / size) {
    silhouette::host::RaiseHostError("Out of memory.");
  }
  return NewBlock(n * size, true, nullptr);
}

void* mxRealloc(void* block, std::size_t n) {
  if (block == nullptr) return mxMalloc(n);
  CountAllocation();
  HostState& host = Host();
  auto found = host.blocks.find(block);
  if (found == host.blocks.end()) {
    Fault("mxRealloc of memory the host did not allocate");
  }
  const BlockInfo info = found->second;
  if (n > kMaxBlock) silhouette::host::RaiseHostError("Out of memory.");
  void* moved = std::realloc(block, n);
  if (moved == nullptr && n > 0) {
    silhouette::host::RaiseHostError("Out of memory.");
  }
  host.blocks.erase(block);
  host.blocks[moved] = info;
  if (info.owner != nullptr) {
    if (info.owner->real == block) info.owner->real = moved;
    if (info.owner->imag == block) info.owner->imag = moved;
  }
  return moved;
}

void mxFree(void* block) {
  if (block == nullptr) return;
  HostState& host = Host();
  auto found = host.blocks.find(block);
  if (found == host.blocks.end()) {
    Fault("mxFree of memory the host did not allocate");
  }
  mxArray* owner = found->second.owner;
  if (owner != nullptr) {
    if (owner->real == block) owner->real = nullptr;
    if (owner->imag == block) owner->imag = nullptr;
  }
  FreeBlock(block);
}

namespace silhouette {
namespace host {

void BeginCall(const CallSetup& setup, std::jmp_buf* landing) {
  HostState& host = Host();
  host.inCall = true;
  host.setup = setup;
  host.allocations = 0;
  host.landing = landing;
  host.abruptText.clear();
}

CallCleanup EndCall(mxArray* plhs[], int slots, bool abrupt) {
  HostState& host = Host();
  for (int i = 0; i < slots; ++i) {
    if (plhs[i] == nullptr) continue;
    if (abrupt) {
      plhs[i] = nullptr;  // destroyed below with the other temporaries
    } else {
      host.temporaries.erase(plhs[i]);  // the caller's now
    }
  }
  CallCleanup cleanup;
  const std::vector<mxArray*> left(host.temporaries.begin(),
                                   host.temporaries.end());
  for (mxArray* array : left) DestroyArray(array);
  cleanup.arrays = left.size();
  host.temporaries.clear();

  std::vector<void*> loose;
  for (const auto& entry : host.blocks) {
    if (entry.second.owner == nullptr && entry.second.ofCall) {
      loose.push_back(entry.first);
    }
  }
  for (void* block : loose) FreeBlock(block);
  cleanup.blocks = loose.size();

  host.inCall = false;
  host.landing = nullptr;
  host.allocations = 0;
  host.setup = CallSetup();
  return cleanup;
}

std::string AbruptErrorText() { return Host().abruptText; }

void RaiseHostError(const char* text) {
  HostState& host = Host();
  if (host.inCall && host.setup.errors == HostErrorStyle::kAbrupt &&
      host.landing != nullptr) {
    host.abruptText = text;
    std::longjmp(*host.landing, 1);
  }
  throw HostError(text);
}

}  // namespace host
}  // namespace silhouette
