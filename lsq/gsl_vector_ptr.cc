#include "lsq/gsl_vector_ptr.h"

#include <cstddef>

#include "geometry/error_text.h"
#include "lsq/gsl_error_scope.h"

namespace silhouette {

GslVectorPtr AllocateGslVector(int size) {
  gsl_vector* v = nullptr;
  if (size >= 0) {
    GslErrorScope scope;
    v = gsl_vector_alloc(static_cast<size_t>(size));
  }
  if (v == nullptr) throw ErrorText("GSL vector allocation failed");
  return GslVectorPtr(v);
}

}  // namespace silhouette
