#include "host/array_checks.h"

namespace silhouette {
namespace host {

bool IsRealDoubleArray(const mxArray* array) {
  return array != nullptr && mxIsDouble(array) && !mxIsComplex(array) &&
         !mxIsSparse(array);
}

bool IsRealDoubleMatrix(const mxArray* array) {
  return IsRealDoubleArray(array) && mxGetNumberOfDimensions(array) == 2;
}

bool IsStructArray(const mxArray* array) {
  return array != nullptr && mxIsStruct(array);
}

}  // namespace host
}  // namespace silhouette
