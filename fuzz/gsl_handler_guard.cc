#include "fuzz/gsl_handler_guard.h"

namespace silhouette {
namespace fuzz {
namespace {

// GSL's default handler aborts; this one, installed only to be recognised,
// does nothing (the modules turn handlers off around GSL).
void MarkerHandler(const char*, const char*, int, int) {}

}  // namespace

GslHandlerGuard::GslHandlerGuard()
    : previous_(gsl_set_error_handler(&MarkerHandler)) {}

GslHandlerGuard::~GslHandlerGuard() { gsl_set_error_handler(previous_); }

std::string GslHandlerGuard::Left() const {
  gsl_error_handler_t* now = gsl_set_error_handler(&MarkerHandler);
  return now == &MarkerHandler ? "" : "GSL's error handler changed by the call";
}

}  // namespace fuzz
}  // namespace silhouette
