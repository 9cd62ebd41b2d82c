#include "host/array_checks.h"

#include <cmath>
#include <limits>

#if defined(__SSE2__) || defined(_M_X64) || \
    (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define SILHOUETTE_PACKED_FINITE_CHECK 1
#include <emmintrin.h>
#endif

namespace silhouette {
namespace host {

bool IsRealDoubleArray(const mxArray* array) {
  return array != nullptr && mxIsDouble(array) && !mxIsComplex(array) &&
         !mxIsSparse(array);
}

bool IsRealDoubleMatrix(const mxArray* array) {
  return IsRealDoubleArray(array) && mxGetNumberOfDimensions(array) == 2;
}

bool AllFinite(const double* values, std::size_t count) {
  std::size_t k = 0;
  bool finite = true;
#ifdef SILHOUETTE_PACKED_FINITE_CHECK
  // |v| <= the largest double fails for infinities and, as every
  // comparison with NaN does, for NaN.
  const __m128d magnitude =
      _mm_castsi128_pd(_mm_set_epi32(0x7fffffff, -1, 0x7fffffff, -1));
  const __m128d largest = _mm_set1_pd(std::numeric_limits<double>::max());
  __m128d all = _mm_cmpeq_pd(largest, largest);
  for (; k + 2 <= count; k += 2) {
    const __m128d v = _mm_and_pd(_mm_loadu_pd(values + k), magnitude);
    all = _mm_and_pd(all, _mm_cmple_pd(v, largest));
  }
  finite = _mm_movemask_pd(all) == 3;
#endif
  for (; k < count; ++k) finite = finite && std::isfinite(values[k]);
  return finite;
}

bool IsStructArray(const mxArray* array) {
  return array != nullptr && mxIsStruct(array);
}

}  // namespace host
}  // namespace silhouette
