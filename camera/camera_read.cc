// Reading a camera from a host struct array.
#include <string>

#include "camera/camera.h"
#include "geometry/error_text.h"
#include "host/array_checks.h"

namespace silhouette {
namespace {

const char* const kInternalFields[] = {"efl", "u0", "v0", "kappa1"};

// The field's value, checked to be a real double array of at least
// `min_elements` elements; throws a message naming the field otherwise.
const double* FieldValues(const mxArray* s, int64_t index, const char* name,
                          std::size_t min_elements, const char* expected) {
  const mxArray* value = mxGetField(s, static_cast<mwIndex>(index), name);
  if (!host::IsRealDoubleArray(value) ||
      mxGetNumberOfElements(value) < min_elements) {
    throw ErrorText(std::string(name) + " in camera is not " + expected + ".");
  }
  return mxGetPr(value);
}

}  // namespace

void Camera::ReadFromMxStruct(const mxArray* s, int64_t index) {
  if (!host::IsStructArray(s)) {
    throw ErrorText("camera is not a struct.");
  }
  const int64_t n = static_cast<int64_t>(mxGetNumberOfElements(s));
  if (index >= n || index < 0) {
    throw ErrorText("indexing element is out of range");
  }
  for (const char* name : kInternalFields) {
    if (mxGetFieldNumber(s, name) < 0) {
      throw ErrorText("missing internal parameter field in mxArray.");
    }
  }
  if (mxGetFieldNumber(s, "pose") < 0) {
    throw ErrorText("missing pose parameter field in mxArray.");
  }

  // Every value is checked before any is stored.
  const double* values[4];
  for (int f = 0; f < 4; ++f) {
    values[f] = FieldValues(s, index, kInternalFields[f], 1, "a real double");
  }
  const double* d =
      FieldValues(s, index, "pose", 16, "a real double 4 x 4 matrix");

  efl = values[0][0];
  u0 = values[1][0];
  v0 = values[2][0];
  kappa1 = values[3][0];
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) pose[r][c] = d[r + 4 * c];
  }
}

}  // namespace silhouette
