#include "fuzz/host_value_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "camera/view_set.h"
#include "fuzz/seed_writer.h"
#include "geometry/error_text.h"
#include "host/embedded_host.h"
#include "kestrim/kestrim_entry.h"

namespace silhouette {
namespace fuzz {
namespace {

bool SameBits(double a, double b) { return std::memcmp(&a, &b, 8) == 0; }

// Whether the host array holds exactly what the seed value describes.
::testing::AssertionResult Matches(const mxArray* array, const SeedValue& value,
                                   const std::string& where) {
  if (array == nullptr)
    return ::testing::AssertionFailure() << where << " unset";
  if (mxGetM(array) != value.rows || mxGetN(array) != value.cols) {
    return ::testing::AssertionFailure() << where << " has another shape";
  }
  if (value.isStruct) {
    if (!mxIsStruct(array) ||
        mxGetNumberOfFields(array) != static_cast<int>(value.fields.size())) {
      return ::testing::AssertionFailure() << where << " not the struct";
    }
    for (std::size_t i = 0; i < value.rows * value.cols; ++i) {
      for (std::size_t f = 0; f < value.fields.size(); ++f) {
        const std::size_t k = i * value.fields.size() + f;
        const mxArray* child = mxGetField(array, i, value.fields[f].c_str());
        const std::string at =
            where + "(" + std::to_string(i + 1) + ")." + value.fields[f];
        if (!value.childSet[k]) {
          if (child != nullptr) return ::testing::AssertionFailure() << at;
          continue;
        }
        ::testing::AssertionResult r = Matches(child, value.children[k], at);
        if (!r) return r;
      }
    }
    return ::testing::AssertionSuccess();
  }
  if (!mxIsDouble(array) || mxIsComplex(array) || mxIsSparse(array)) {
    return ::testing::AssertionFailure() << where << " not real double";
  }
  for (std::size_t k = 0; k < value.values.size(); ++k) {
    if (!SameBits(mxGetPr(array)[k], value.values[k])) {
      return ::testing::AssertionFailure() << where << " value " << k;
    }
  }
  return ::testing::AssertionSuccess();
}

host::ArrayPtr Decode(const SeedWriter& seed) {
  FuzzInput in(seed.bytes().data(), seed.bytes().size());
  return HostValueDecoder(&in).AnyArray();
}

TEST(SeedWriter, ValuesComeBackBitForBit) {
  const double inf = std::numeric_limits<double>::infinity();
  SeedValue camera =
      SeedValue::Struct(1, 1, {"efl", "u0", "v0", "kappa1", "pose"});
  camera.Field(0, "efl") = SeedValue::Matrix(1, 1, {1500.25});
  camera.Field(0, "u0") = SeedValue::Matrix(1, 1, {-0.0});
  camera.Field(0, "v0") = SeedValue::Matrix(1, 1, {inf});
  camera.Field(0, "pose") = SeedValue::Matrix(
      4, 4, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1e-310, -7, 63.5, 1});
  // kappa1 left unset.
  SeedValue set = SeedValue::Struct(2, 3, {"camera", "boundary", "my field"});
  for (std::size_t i = 0; i < 6; ++i) {
    set.Field(i, "camera") = camera;
    std::vector<double> points;
    for (std::size_t k = 0; k < 2 * (i + 1); ++k) points.push_back(k * 0.1);
    set.Field(i, "boundary") = SeedValue::Matrix(2, i + 1, points);
  }
  set.Field(4, "my field") =
      SeedValue::Matrix(7, 2, std::vector<double>(14, 3));
  set.Field(5, "my field") =
      SeedValue::Matrix(5, 9, std::vector<double>(45, -1));

  SeedWriter seed;
  seed.AnyArray(set);
  EXPECT_TRUE(Matches(Decode(seed).get(), set, "set"));

  const std::vector<double> polygon = {0, 0, 2, 0, 1, 0.5, 1e300, -3};
  SeedWriter polygon_seed;
  polygon_seed.Polygon(polygon);
  FuzzInput in(polygon_seed.bytes().data(), polygon_seed.bytes().size());
  EXPECT_TRUE(Matches(HostValueDecoder(&in).Polygon().get(),
                      SeedValue::Matrix(2, 4, polygon), "polygon"));
  EXPECT_TRUE(in.Exhausted());
}

TEST(HostValueDecoder, ZeroBytesGiveAWellFormedViewSet) {
  const std::vector<uint8_t> zeros(4096, 0);
  FuzzInput in(zeros.data(), zeros.size());
  const host::ArrayPtr set = HostValueDecoder(&in).ViewSet();
  ASSERT_EQ(mxGetNumberOfElements(set.get()), 3u);
  const host::CallResult r = host::CallEntry(KestrimMain, 3, {set.get()});
  EXPECT_EQ(r.printed, "");
  ASSERT_NE(r.outputs[0], nullptr);
  // Three cameras around a box: every view keeps some edges.
  const std::vector<double> views = host::Values(r.outputs[2].get());
  for (double v : {1.0, 2.0, 3.0}) {
    EXPECT_NE(std::find(views.begin(), views.end(), v), views.end()) << v;
  }
}

// The number of arrays in a tree, and its largest numeric array.
void Measure(const mxArray* array, std::size_t* arrays, std::size_t* largest) {
  if (array == nullptr) return;
  ++*arrays;
  if (mxIsStruct(array)) {
    for (std::size_t i = 0; i < mxGetNumberOfElements(array); ++i) {
      for (int f = 0; f < mxGetNumberOfFields(array); ++f) {
        Measure(mxGetField(array, i, mxGetFieldNameByNumber(array, f)), arrays,
                largest);
      }
    }
  } else if (mxIsCell(array)) {
    for (std::size_t i = 0; i < mxGetNumberOfElements(array); ++i) {
      Measure(mxGetCell(array, i), arrays, largest);
    }
  } else if (mxGetNumberOfElements(array) > *largest) {
    *largest = mxGetNumberOfElements(array);
  }
}

TEST(HostValueDecoder, RandomBytesStayWithinTheLimits) {
  std::mt19937 rng(7);
  for (int trial = 0; trial < 3000; ++trial) {
    std::vector<uint8_t> bytes(1 + rng() % 600);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(rng());
    FuzzInput in(bytes.data(), bytes.size());
    const host::ArrayPtr array = HostValueDecoder(&in).AnyArray();
    ASSERT_NE(array, nullptr);
    std::size_t arrays = 0, largest = 0;
    Measure(array.get(), &arrays, &largest);
    // Every child counts against the limit; a view set or camera among
    // them brings a few dozen arrays of its own.
    EXPECT_LE(arrays, (1 + HostValueDecoder::kMaxChildren) * 64) << trial;
    EXPECT_LE(largest, HostValueDecoder::kMaxElements) << trial;
  }
}

}  // namespace
}  // namespace fuzz
}  // namespace silhouette
