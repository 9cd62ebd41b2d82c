#include "lsq/gsl_error_scope.h"

namespace silhouette {

GslErrorScope::GslErrorScope() : previous_(gsl_set_error_handler_off()) {}

GslErrorScope::~GslErrorScope() { gsl_set_error_handler(previous_); }

}  // namespace silhouette
