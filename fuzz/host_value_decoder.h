// Turns fuzz bytes into the host values a module's entry receives: numeric
// arrays of every class (complex, sparse, empty, N-d), struct arrays with
// missing, extra, empty or wrongly shaped fields, cells and strings, and
// view sets and polygons that are mostly well formed.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "fuzz/fuzz_scene.h"
#include "host/embedded_mex.h"

namespace silhouette {
namespace fuzz {

// The array kinds AnyArray() chooses from, by its first byte modulo kNumKinds.
enum ArrayKind : uint8_t {
  kDoubleMatrix = 0,  // real double, shape from the bytes
  kNumericArray,      // any class, maybe complex, maybe N-d
  kSparseMatrix,
  kStructArray,  // free field names and values
  kCellArray,
  kString,
  kViewSetArray,  // a view set around one object (fuzz_scene.h)
  kCameraStruct,
  kPolygon,  // 2 x N, points in shapes that trouble hulls
  kScalar,
  kNumKinds
};

class HostValueDecoder {
 public:
  // Arrays hold at most this many elements (and struct arrays and cells
  // this many elements of their own over all levels together), so that
  // one input stays cheap to run.
  static constexpr std::size_t kMaxElements = 4096;
  static constexpr std::size_t kMaxChildren = 256;
  static constexpr int kMaxDepth = 3;

  explicit HostValueDecoder(FuzzInput* in) : in_(*in) {}

  // Any array; the first byte chooses the kind.
  host::ArrayPtr AnyArray() { return Array(0); }

  // A view set: with a zero first byte the views of a decoded object
  // (DecodeObject, DecodeViews) in a struct array with faults chosen by
  // the bytes; any other first byte gives AnyArray() of the rest.
  host::ArrayPtr ViewSet();
  // The views of `object` as a struct array with faults.
  host::ArrayPtr ViewSetOf(const std::vector<SceneView>& views);

  // A polygon: a zero first byte gives a 2 x N real double matrix of
  // points in shapes that trouble hulls; any other gives AnyArray().
  host::ArrayPtr Polygon();

  // The seven numbers of a pose (quaternion, translation) per column:
  // with a zero first byte near `truth`, else free numbers or AnyArray().
  host::ArrayPtr Starts(const SceneTransform& truth);

  // [mfe; tol]: with a zero first byte a small iteration count and a
  // tolerance, else free numbers or AnyArray().
  host::ArrayPtr SolverSettings();

  // The number of outputs asked for, 0 to 4.
  int NumOutputs() { return static_cast<int>(in_.Below(5)); }
  // With a byte below 224 `expected`, else 0 to 5.
  int NumInputs(int expected);

 private:
  host::ArrayPtr Array(int depth);
  std::vector<std::size_t> Dims();
  host::ArrayPtr Numeric(mxClassID class_id, bool complex,
                         const std::vector<std::size_t>& dims);
  host::ArrayPtr Sparse();
  host::ArrayPtr Struct(int depth);
  host::ArrayPtr Cell(int depth);
  host::ArrayPtr Camera(const SceneCamera& camera, int depth);
  host::ArrayPtr DoubleMatrix(std::size_t rows, std::size_t cols,
                              const std::vector<double>& values);
  std::string FieldName();
  // A child array for a struct or cell, or null (an unset element); null
  // also once kMaxChildren children were made.
  host::ArrayPtr Child(int depth);

  FuzzInput& in_;
  std::size_t children_ = 0;
};

}  // namespace fuzz
}  // namespace silhouette
