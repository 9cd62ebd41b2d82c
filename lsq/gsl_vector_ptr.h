// Owning pointer to a GSL vector, and an allocation that reports failure by
// throwing instead of through GSL's error handler.
#pragma once

#include <gsl/gsl_vector.h>

#include <memory>

namespace silhouette {

struct GslVectorFree {
  void operator()(gsl_vector* v) const { gsl_vector_free(v); }
};

using GslVectorPtr = std::unique_ptr<gsl_vector, GslVectorFree>;

// Allocates a vector of `size` elements (contents undefined) with GSL's error
// handler off. Throws ErrorText "GSL vector allocation failed" for a negative
// size or when GSL cannot allocate.
GslVectorPtr AllocateGslVector(int size);

}  // namespace silhouette
