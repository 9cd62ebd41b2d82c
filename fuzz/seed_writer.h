// Writes fuzz inputs that the decoders read back as chosen values: the seed
// corpus is made of the example data and the tests' cases this way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"

namespace silhouette {
namespace fuzz {

// A host value as the seeds describe it: a real double matrix, or a struct
// array with named fields (an unset field is a null pointer).
struct SeedValue {
  static SeedValue Matrix(std::size_t rows, std::size_t cols,
                          std::vector<double> values);
  static SeedValue Struct(std::size_t rows, std::size_t cols,
                          std::vector<std::string> fields);
  // Field `name` of element `index` of a struct.
  SeedValue& Field(std::size_t index, const std::string& name);

  bool isStruct = false;
  std::size_t rows = 0;
  std::size_t cols = 0;
  std::vector<double> values;       // column-major
  std::vector<std::string> fields;  // struct: names
  std::vector<SeedValue> children;  // struct: element-major
  std::vector<bool> childSet;
};

class SeedWriter {
 public:
  const std::vector<uint8_t>& bytes() const { return bytes_; }

  void Byte(uint8_t b) { bytes_.push_back(b); }
  // What FuzzInput::Count reads back as `count`.
  void Count(std::size_t count);
  // What FuzzInput::Number reads back as `value`, bit for bit.
  void Number(double value);
  // The bytes `decode` consumes when every byte is zero, as zeros: the
  // well-formed default of a structured part of the input.
  void ZerosFor(const std::function<void(FuzzInput*)>& decode);

  // What HostValueDecoder::AnyArray reads back as `value`. Matrices must
  // have a shape the decoder offers: 1 x 1, 2 x N, 4 x 4, 7 x n (n <= 4)
  // or up to 8 x 64; structs at most 4 x 8 with at most 6 fields.
  void AnyArray(const SeedValue& value);
  // What DecodePlanarPoints reads back as these points (x, y pairs; a -0
  // coordinate comes back as 0).
  void PlanarPoints(const std::vector<double>& xy);
  // What HostValueDecoder::Polygon reads back as a 2 x N matrix.
  void Polygon(const std::vector<double>& xy);

 private:
  std::vector<uint8_t> bytes_;
};

}  // namespace fuzz
}  // namespace silhouette
