#include "fuzz/host_value_decoder.h"

#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>
#include <utility>

namespace silhouette {
namespace fuzz {
namespace {

using host::ArrayPtr;

const char* const kKnownFields[] = {"camera", "boundary", "efl", "u0",
                                    "v0",     "kappa1",   "pose"};
const char* const kCameraFields[] = {"efl", "u0", "v0", "kappa1", "pose"};

const mxClassID kClasses[] = {mxDOUBLE_CLASS, mxSINGLE_CLASS,  mxINT8_CLASS,
                              mxUINT8_CLASS,  mxINT16_CLASS,   mxUINT16_CLASS,
                              mxINT32_CLASS,  mxUINT32_CLASS,  mxINT64_CLASS,
                              mxUINT64_CLASS, mxLOGICAL_CLASS, mxCHAR_CLASS};

std::size_t Product(const std::vector<std::size_t>& dims) {
  std::size_t n = 1;
  for (std::size_t d : dims) n *= d;
  return n;
}

// A double as the nearest float, without the undefined conversion of a
// value beyond the float range.
float ToFloat(double v) {
  const double top = std::numeric_limits<float>::max();
  if (v > top) return std::numeric_limits<float>::infinity();
  if (v < -top) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(v);
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
    default:
      return 8;
  }
}

// Stores `value` in the field when the struct has it; the value is dropped
// otherwise (a real host has no slot for it either).
void SetField(mxArray* array, std::size_t index, const char* name,
              ArrayPtr value) {
  if (mxGetFieldNumber(array, name) < 0) return;
  mxSetField(array, index, name, value.release());
}

}  // namespace

int HostValueDecoder::NumInputs(int expected) {
  const uint8_t b = in_.Byte();
  return b < 224 ? expected : b % 6;
}

std::vector<std::size_t> HostValueDecoder::Dims() {
  std::vector<std::size_t> dims;
  switch (in_.Byte() % 8) {
    case 1:
      dims = {2, in_.Count(kMaxElements / 2)};
      break;
    case 2:
      dims = {in_.Count(8), in_.Count(64)};
      break;
    case 3:
      dims = in_.Bool() ? std::vector<std::size_t>{0, in_.Count(4)}
                        : std::vector<std::size_t>{in_.Count(4), 0};
      break;
    case 4: {
      const std::size_t ndims = 3 + in_.Below(2);
      for (std::size_t d = 0; d < ndims; ++d) dims.push_back(in_.Count(4));
      break;
    }
    case 5:
      dims = {4, 4};
      break;
    case 6:
      dims = in_.Bool() ? std::vector<std::size_t>{1, 16}
                        : std::vector<std::size_t>{16, 1};
      break;
    case 7:
      dims = {7, in_.Count(4)};
      break;
    default:
      dims = {1, 1};
      break;
  }
  for (std::size_t d = dims.size(); d-- > 0 && Product(dims) > kMaxElements;) {
    dims[d] = 1;
  }
  return dims;
}

ArrayPtr HostValueDecoder::DoubleMatrix(std::size_t rows, std::size_t cols,
                                        const std::vector<double>& values) {
  ArrayPtr array(mxCreateDoubleMatrix(rows, cols, mxREAL));
  double* data = mxGetPr(array.get());
  for (std::size_t k = 0; k < rows * cols && k < values.size(); ++k) {
    data[k] = values[k];
  }
  return array;
}

ArrayPtr HostValueDecoder::Numeric(mxClassID class_id, bool complex,
                                   const std::vector<std::size_t>& dims) {
  if (class_id == mxLOGICAL_CLASS || class_id == mxCHAR_CLASS) complex = false;
  ArrayPtr array(mxCreateNumericArray(dims.size(), dims.data(), class_id,
                                      complex ? mxCOMPLEX : mxREAL));
  const std::size_t n = Product(dims);
  void* parts[2] = {
      mxGetData(array.get()),
      complex ? static_cast<void*>(mxGetPi(array.get())) : nullptr};
  for (void* part : parts) {
    if (part == nullptr) continue;
    for (std::size_t k = 0; k < n; ++k) {
      if (class_id == mxDOUBLE_CLASS) {
        static_cast<double*>(part)[k] = in_.Number();
      } else if (class_id == mxSINGLE_CLASS) {
        static_cast<float*>(part)[k] = ToFloat(in_.Number());
      } else {
        unsigned char* bytes =
            static_cast<unsigned char*>(part) + k * ElementBytes(class_id);
        for (std::size_t b = 0; b < ElementBytes(class_id); ++b) {
          bytes[b] = in_.Byte();
        }
      }
    }
  }
  return array;
}

ArrayPtr HostValueDecoder::Sparse() {
  const std::size_t m = in_.Count(16);
  const std::size_t n = in_.Count(16);
  const std::size_t nzmax = in_.Count(16);
  const bool complex = in_.Bool();
  ArrayPtr array(mxCreateSparse(m, n, nzmax, complex ? mxCOMPLEX : mxREAL));
  // The stand-in keeps room for at least one non-zero.
  const std::size_t stored = nzmax > 0 ? nzmax : 1;
  for (std::size_t k = 0; k < stored; ++k) {
    mxGetPr(array.get())[k] = in_.Number();
    if (complex) mxGetPi(array.get())[k] = in_.Number();
  }
  return array;
}

std::string HostValueDecoder::FieldName() {
  const uint8_t b = in_.Byte() % 10;
  if (b < 7) return kKnownFields[b];
  if (b == 7) return "Camera";
  std::string name = in_.Text(12);
  return name.empty() ? "extra" : name;
}

ArrayPtr HostValueDecoder::Child(int depth) {
  if (children_ >= kMaxChildren) return nullptr;
  ++children_;
  if (in_.Byte() % 4 == 3) return nullptr;
  return Array(depth);
}

ArrayPtr HostValueDecoder::Struct(int depth) {
  const std::size_t m = in_.Count(4);
  const std::size_t n = in_.Count(8);
  std::vector<std::string> names;
  for (std::size_t f = in_.Count(6); f > 0; --f) {
    std::string name = FieldName();
    bool seen = false;
    for (const std::string& other : names) seen = seen || other == name;
    if (!seen) names.push_back(std::move(name));
  }
  std::vector<const char*> pointers;
  for (const std::string& name : names) pointers.push_back(name.c_str());
  ArrayPtr array(mxCreateStructMatrix(m, n, static_cast<int>(pointers.size()),
                                      pointers.data()));
  for (std::size_t i = 0; i < m * n; ++i) {
    for (const std::string& name : names) {
      SetField(array.get(), i, name.c_str(), Child(depth + 1));
    }
  }
  return array;
}

ArrayPtr HostValueDecoder::Cell(int depth) {
  const std::size_t m = in_.Count(4);
  const std::size_t n = in_.Count(8);
  ArrayPtr array(mxCreateCellMatrix(m, n));
  for (std::size_t i = 0; i < m * n; ++i) {
    mxSetCell(array.get(), i, Child(depth + 1).release());
  }
  return array;
}

ArrayPtr HostValueDecoder::Array(int depth) {
  uint8_t kind = in_.Byte() % kNumKinds;
  // Deep down only leaves: containers would nest without end.
  if (depth >= kMaxDepth && (kind == kStructArray || kind == kCellArray ||
                             kind == kViewSetArray || kind == kCameraStruct)) {
    kind = kDoubleMatrix;
  }
  switch (kind) {
    case kNumericArray: {
      const mxClassID class_id =
          kClasses[in_.Below(sizeof(kClasses) / sizeof(kClasses[0]))];
      const bool complex = in_.Bool();
      return Numeric(class_id, complex, Dims());
    }
    case kSparseMatrix:
      return Sparse();
    case kStructArray:
      return Struct(depth);
    case kCellArray:
      return Cell(depth);
    case kString:
      return ArrayPtr(mxCreateString(in_.Text(32).c_str()));
    case kViewSetArray: {
      const SceneObject object = DecodeObject(&in_);
      return ViewSetOf(DecodeViews(&in_, object, 1 + in_.Below(4)));
    }
    case kCameraStruct:
      return Camera(SceneCamera(), depth);
    case kPolygon: {
      const std::vector<double> points = DecodePlanarPoints(&in_, 64);
      return DoubleMatrix(2, points.size() / 2, points);
    }
    case kScalar:
      return ArrayPtr(mxCreateDoubleScalar(in_.Number()));
    default:
      return Numeric(mxDOUBLE_CLASS, false, Dims());
  }
}

ArrayPtr HostValueDecoder::Camera(const SceneCamera& camera, int depth) {
  // fault: 0 well formed; 1-5 field f - 1 missing; 6-10 field f - 6 holds
  // any array; 11 an empty struct; 12 two elements; 13 pose of 15 numbers;
  // 14 fields in reverse order; 15 an extra field.
  const uint8_t fault = in_.Byte() % 16;
  std::vector<const char*> names;
  for (int f = 0; f < 5; ++f) {
    if (fault != 1 + f) names.push_back(kCameraFields[f]);
  }
  if (fault == 14)
    names.assign(std::rbegin(kCameraFields), std::rend(kCameraFields));
  if (fault == 15) names.push_back("extra");
  const std::size_t elements = fault == 11 ? 0 : (fault == 12 ? 2 : 1);
  ArrayPtr array(mxCreateStructMatrix(
      1, elements, static_cast<int>(names.size()), names.data()));
  const double values[4] = {camera.efl, camera.u0, camera.v0, camera.kappa1};
  for (std::size_t i = 0; i < elements; ++i) {
    for (int f = 0; f < 5; ++f) {
      ArrayPtr value;
      if (fault == 6 + f || i == 1) {
        value = Child(depth + 1);
      } else if (f < 4) {
        value.reset(mxCreateDoubleScalar(values[f]));
      } else if (fault == 13) {
        value = DoubleMatrix(
            1, 15, std::vector<double>(camera.pose, camera.pose + 15));
      } else {
        value = DoubleMatrix(
            4, 4, std::vector<double>(camera.pose, camera.pose + 16));
      }
      SetField(array.get(), i, kCameraFields[f], std::move(value));
    }
    if (fault == 15) SetField(array.get(), i, "extra", Child(depth + 1));
  }
  return array;
}

ArrayPtr HostValueDecoder::ViewSetOf(const std::vector<SceneView>& views) {
  // layout: bits 0-1 the shape (1 x V, V x 1, m x n, or 0 x V when V is 0),
  // bit 2 no camera field, bit 3 no boundary field, bit 4 an extra field,
  // bit 5 boundary before camera.
  const uint8_t layout = in_.Byte();
  const std::size_t v = views.size();
  std::size_t m = 1, n = v;
  switch (layout & 3) {
    case 1:
      m = v;
      n = 1;
      break;
    case 2:
      for (std::size_t d = 2; d * d <= v; ++d) {
        if (v % d == 0) {
          m = d;
          n = v / d;
        }
      }
      break;
    case 3:
      if (v == 0) m = 0;
      break;
    default:
      break;
  }
  std::vector<const char*> names;
  if (layout & 0x20) {
    if (!(layout & 0x08)) names.push_back("boundary");
    if (!(layout & 0x04)) names.push_back("camera");
  } else {
    if (!(layout & 0x04)) names.push_back("camera");
    if (!(layout & 0x08)) names.push_back("boundary");
  }
  if (layout & 0x10) names.push_back("extra");
  ArrayPtr array(
      mxCreateStructMatrix(m, n, static_cast<int>(names.size()), names.data()));
  for (std::size_t i = 0; i < v; ++i) {
    // fault: 0-9 well formed; 10 boundary any array; 11 camera any array;
    // 12 boundary unset; 13 camera unset; 14 boundary N x 2; 15 boundary
    // 3 x N.
    const uint8_t fault = in_.Byte() % 16;
    const std::vector<double>& b = views[i].boundary;
    const std::size_t points = b.size() / 2;
    ArrayPtr boundary;
    if (fault == 10) {
      boundary = Array(1);
    } else if (fault == 14) {
      boundary = DoubleMatrix(points, 2, b);
    } else if (fault == 15) {
      boundary = DoubleMatrix(3, b.size() / 3, b);
    } else if (fault != 12) {
      boundary = DoubleMatrix(2, points, b);
    }
    ArrayPtr camera;
    if (fault == 11) {
      camera = Array(1);
    } else if (fault != 13) {
      camera = Camera(views[i].camera, 1);
    }
    SetField(array.get(), i, "camera", std::move(camera));
    SetField(array.get(), i, "boundary", std::move(boundary));
    if (layout & 0x10) SetField(array.get(), i, "extra", Child(1));
  }
  return array;
}

ArrayPtr HostValueDecoder::ViewSet() {
  if (in_.Byte() != 0) return AnyArray();
  const SceneObject object = DecodeObject(&in_);
  const uint8_t b = in_.Byte();
  const int count = b < 250 ? 3 + b % 6 : static_cast<int>(in_.Count(64));
  return ViewSetOf(DecodeViews(&in_, object, count));
}

ArrayPtr HostValueDecoder::Polygon() {
  if (in_.Byte() != 0) return AnyArray();
  const std::vector<double> points = DecodePlanarPoints(&in_, kMaxElements / 2);
  return DoubleMatrix(2, points.size() / 2, points);
}

ArrayPtr HostValueDecoder::Starts(const SceneTransform& truth) {
  const uint8_t mode = in_.Byte();
  if (mode >= 2) return AnyArray();
  const std::size_t n = in_.Below(4);
  std::vector<double> values;
  for (std::size_t i = 0; i < n; ++i) {
    for (int k = 0; k < 4; ++k) {
      values.push_back(mode == 1 ? in_.Number()
                                 : truth.quaternion[k] +
                                       static_cast<int8_t>(in_.Byte()) / 512.0);
    }
    for (int k = 0; k < 3; ++k) {
      values.push_back(mode == 1 ? in_.Number()
                                 : truth.translation[k] +
                                       static_cast<int8_t>(in_.Byte()) / 128.0);
    }
  }
  return DoubleMatrix(7, n, values);
}

ArrayPtr HostValueDecoder::SolverSettings() {
  const uint8_t mode = in_.Byte();
  if (mode == 0) {
    const double mfe = in_.Byte() % 32;
    const double tol = in_.NumberOr(1e-10);
    return DoubleMatrix(2, 1, {mfe, tol});
  }
  if (mode == 1) return DoubleMatrix(2, 1, {in_.Number(), in_.Number()});
  return AnyArray();
}

}  // namespace fuzz
}  // namespace silhouette
