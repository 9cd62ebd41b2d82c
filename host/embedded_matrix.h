/* The array library of the embedded stand-in host: the subset of the
 * host's mx* functions that the modules and their tests use, with the
 * hosts' names, signatures and C linkage.
 *
 * This header includes nothing of the project, so that the test of the
 * MATLAB build can install it as the matrix.h of its stand-in MATLAB
 * folder, and build that folder's stub libmx and libmex from the sources
 * here (tests/matlab/).
 *
 * Memory: mxMalloc, mxCalloc and mxRealloc hand out blocks that the host
 * keeps track of. A block allocated during a module call and neither freed
 * (mxFree) nor given to an array (mxSetPr) is freed by the host when the
 * call ends; so is every array the call created and did not return or put
 * into another array. When a call ends with a host error in the manner of
 * MATLAB (no unwinding, see embedded_mex.h), the host frees all of the
 * call's blocks and arrays, its outputs included.
 */
#ifndef SILHOUETTE_HOST_EMBEDDED_MATRIX_H_
#define SILHOUETTE_HOST_EMBEDDED_MATRIX_H_

#include <stddef.h>
#ifndef __cplusplus
#include <stdbool.h>
#endif

typedef size_t mwSize;
typedef size_t mwIndex;

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

typedef struct mxArray mxArray;

#ifdef __cplusplus
extern "C" {
#endif

/* Queries. */
size_t mxGetM(const mxArray* array);
size_t mxGetN(const mxArray* array);
size_t mxGetNumberOfElements(const mxArray* array);
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

/* Changing an array's shape or data. mxSetPr takes a block from mxMalloc
 * (or NULL) and does not free the data it replaces; mxSetM and mxSetN
 * change the shape without touching the data, which must hold at least
 * M * N elements before it is read. */
void mxSetM(mxArray* array, mwSize m);
void mxSetN(mxArray* array, mwSize n);
void mxSetPr(mxArray* array, double* data);

/* Struct arrays. */
int mxGetNumberOfFields(const mxArray* array);
const char* mxGetFieldNameByNumber(const mxArray* array, int number);
int mxGetFieldNumber(const mxArray* array, const char* name);
mxArray* mxGetField(const mxArray* array, mwIndex index, const char* name);
void mxSetField(mxArray* array, mwIndex index, const char* name,
                mxArray* value);
int mxAddField(mxArray* array, const char* name);

/* Cell arrays. */
mxArray* mxGetCell(const mxArray* array, mwIndex index);
void mxSetCell(mxArray* array, mwIndex index, mxArray* value);

/* Creation and destruction. */
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

/* Memory blocks. */
void* mxMalloc(size_t n);
void* mxCalloc(size_t n, size_t size);
void* mxRealloc(void* block, size_t n);
void mxFree(void* block);

#ifdef __cplusplus
}
#endif

#endif /* SILHOUETTE_HOST_EMBEDDED_MATRIX_H_ */
