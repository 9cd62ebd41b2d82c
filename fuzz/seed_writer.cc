#include "fuzz/seed_writer.h"

#include <cmath>
#include <cstring>
#include <stdexcept>

#include "fuzz/host_value_decoder.h"

namespace silhouette {
namespace fuzz {
namespace {

bool SameBits(double a, double b) { return std::memcmp(&a, &b, 8) == 0; }

const char* const kKnownFields[] = {"camera", "boundary", "efl", "u0",
                                    "v0",     "kappa1",   "pose"};

}  // namespace

SeedValue SeedValue::Matrix(std::size_t rows, std::size_t cols,
                            std::vector<double> values) {
  SeedValue v;
  v.rows = rows;
  v.cols = cols;
  v.values = std::move(values);
  v.values.resize(rows * cols, 0.0);
  return v;
}

SeedValue SeedValue::Struct(std::size_t rows, std::size_t cols,
                            std::vector<std::string> fields) {
  SeedValue v;
  v.isStruct = true;
  v.rows = rows;
  v.cols = cols;
  v.fields = std::move(fields);
  v.children.resize(rows * cols * v.fields.size());
  v.childSet.assign(v.children.size(), false);
  return v;
}

SeedValue& SeedValue::Field(std::size_t index, const std::string& name) {
  for (std::size_t f = 0; f < fields.size(); ++f) {
    if (fields[f] == name) {
      childSet[index * fields.size() + f] = true;
      return children[index * fields.size() + f];
    }
  }
  throw std::invalid_argument("no field " + name);
}

void SeedWriter::Count(std::size_t count) {
  if (count < 250) {
    Byte(static_cast<uint8_t>(count));
    return;
  }
  if (count > 0xffff) throw std::invalid_argument("count too large");
  Byte(250);
  Byte(static_cast<uint8_t>(count >> 8));
  Byte(static_cast<uint8_t>(count & 0xff));
}

void SeedWriter::Number(double value) {
  for (int code = 0; code < FuzzInput::kPaletteSize; ++code) {
    if (SameBits(value, FuzzInput::Palette(code))) {
      Byte(static_cast<uint8_t>(code));
      return;
    }
  }
  if (value == std::floor(value) && value >= -64 && value <= 63 &&
      !SameBits(value, -0.0)) {
    Byte(static_cast<uint8_t>(static_cast<int>(value) + 192));
    return;
  }
  Byte(FuzzInput::kFirstRaw);
  uint8_t raw[8];
  std::memcpy(raw, &value, sizeof(raw));
  for (uint8_t b : raw) Byte(b);
}

void SeedWriter::ZerosFor(const std::function<void(FuzzInput*)>& decode) {
  const std::vector<uint8_t> zeros(1 << 16, 0);
  FuzzInput in(zeros.data(), zeros.size());
  decode(&in);
  for (std::size_t k = 0; k < in.Position(); ++k) Byte(0);
}

void SeedWriter::AnyArray(const SeedValue& value) {
  if (value.isStruct) {
    if (value.rows > 4 || value.cols > 8 || value.fields.size() > 6) {
      throw std::invalid_argument("struct too large for a seed");
    }
    Byte(kStructArray);
    Count(value.rows);
    Count(value.cols);
    Count(value.fields.size());
    for (const std::string& name : value.fields) {
      int known = -1;
      for (int k = 0; k < 7; ++k) {
        if (name == kKnownFields[k]) known = k;
      }
      if (known >= 0) {
        Byte(static_cast<uint8_t>(known));
      } else if (name == "Camera") {
        Byte(7);
      } else {
        Byte(8);
        Count(name.size());
        for (char c : name) Byte(static_cast<uint8_t>(c));
      }
    }
    for (std::size_t k = 0; k < value.children.size(); ++k) {
      if (!value.childSet[k]) {
        Byte(3);  // an unset element
        continue;
      }
      Byte(0);
      AnyArray(value.children[k]);
    }
    return;
  }
  Byte(kDoubleMatrix);
  const std::size_t m = value.rows, n = value.cols;
  if (m == 1 && n == 1) {
    Byte(0);
  } else if (m == 2 && n <= HostValueDecoder::kMaxElements / 2) {
    Byte(1);
    Count(n);
  } else if (m == 4 && n == 4) {
    Byte(5);
  } else if (m == 7 && n <= 4) {
    Byte(7);
    Count(n);
  } else if (m <= 8 && n <= 64) {
    Byte(2);
    Count(m);
    Count(n);
  } else {
    throw std::invalid_argument("matrix shape not offered by the decoder");
  }
  for (double v : value.values) Number(v);
}

void SeedWriter::Polygon(const std::vector<double>& xy) {
  Byte(0);  // structured
  PlanarPoints(xy);
}

void SeedWriter::PlanarPoints(const std::vector<double>& xy) {
  Byte(0);  // free points
  Count(xy.size() / 2);
  Byte(0);  // scale 1
  Byte(0);  // offset 0
  Byte(0);
  for (double v : xy) Number(v);
  Count(0);  // no clutter
}

}  // namespace fuzz
}  // namespace silhouette
