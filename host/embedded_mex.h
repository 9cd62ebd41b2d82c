// An embedded stand-in for the host's array and MEX libraries.
//
// It offers the subset of the MEX API that the modules use, with the same
// names and signatures, plus the array classes needed to feed modules bad
// input (single, int32, logical, char, complex, sparse, cell, struct, empty,
// N-d). Like Octave, mxGetPr() is a plain cast of the data pointer whatever
// the class; data blocks are allocated to their exact size, so a module that
// reads past an array is caught by AddressSanitizer.
//
// mexPrintf() writes into a captured command window (see
// TakeCommandWindowText) and mexErrMsgTxt() throws host::HostError, which
// ends the call the way Octave's does (by unwinding).
#pragma once

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>

typedef std::size_t mwSize;
typedef std::size_t mwIndex;

typedef enum { mxREAL = 0, mxCOMPLEX = 1 } mxComplexity;

typedef enum {
  mxUNKNOWN_CLASS = 0,
  mxCELL_CLASS,
  mxSTRUCT_CLASS,
  mxLOGICAL_CLASS,
  mxCHAR_CLASS,
  mxVOID_CLASS,
  mxDOUBLE_CLASS,
  mxSINGLE_CLASS,
  mxINT8_CLASS,
  mxUINT8_CLASS,
  mxINT16_CLASS,
  mxUINT16_CLASS,
  mxINT32_CLASS,
  mxUINT32_CLASS,
  mxINT64_CLASS,
  mxUINT64_CLASS,
  mxFUNCTION_CLASS
} mxClassID;

struct mxArray;

// Array library: queries.
std::size_t mxGetM(const mxArray* array);
std::size_t mxGetN(const mxArray* array);
std::size_t mxGetNumberOfElements(const mxArray* array);
mwSize mxGetNumberOfDimensions(const mxArray* array);
const mwSize* mxGetDimensions(const mxArray* array);
mxClassID mxGetClassID(const mxArray* array);
bool mxIsDouble(const mxArray* array);
bool mxIsSingle(const mxArray* array);
bool mxIsInt32(const mxArray* array);
bool mxIsLogical(const mxArray* array);
bool mxIsChar(const mxArray* array);
bool mxIsNumeric(const mxArray* array);
bool mxIsComplex(const mxArray* array);
bool mxIsSparse(const mxArray* array);
bool mxIsStruct(const mxArray* array);
bool mxIsCell(const mxArray* array);
bool mxIsEmpty(const mxArray* array);
double* mxGetPr(const mxArray* array);
double* mxGetPi(const mxArray* array);
void* mxGetData(const mxArray* array);

// Array library: struct arrays.
int mxGetNumberOfFields(const mxArray* array);
const char* mxGetFieldNameByNumber(const mxArray* array, int number);
int mxGetFieldNumber(const mxArray* array, const char* name);
mxArray* mxGetField(const mxArray* array, mwIndex index, const char* name);
void mxSetField(mxArray* array, mwIndex index, const char* name,
                mxArray* value);
int mxAddField(mxArray* array, const char* name);

// Array library: cell arrays.
mxArray* mxGetCell(const mxArray* array, mwIndex index);
void mxSetCell(mxArray* array, mwIndex index, mxArray* value);

// Array library: creation and destruction.
mxArray* mxCreateDoubleMatrix(mwSize m, mwSize n, mxComplexity flag);
mxArray* mxCreateDoubleScalar(double value);
mxArray* mxCreateNumericMatrix(mwSize m, mwSize n, mxClassID class_id,
                               mxComplexity flag);
mxArray* mxCreateNumericArray(mwSize ndim, const mwSize* dims,
                              mxClassID class_id, mxComplexity flag);
mxArray* mxCreateLogicalMatrix(mwSize m, mwSize n);
mxArray* mxCreateString(const char* text);
mxArray* mxCreateSparse(mwSize m, mwSize n, mwSize nzmax, mxComplexity flag);
mxArray* mxCreateCellMatrix(mwSize m, mwSize n);
mxArray* mxCreateStructMatrix(mwSize m, mwSize n, int nfields,
                              const char** field_names);
void mxDestroyArray(mxArray* array);

// MEX library.
int mexPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
[[noreturn]] void mexErrMsgTxt(const char* text);

namespace silhouette {
namespace host {

// What the stand-in's mexErrMsgTxt throws.
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

}  // namespace host
}  // namespace silhouette
