#include "host/array_checks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "host/embedded_host.h"

namespace silhouette {
namespace host {
namespace {

TEST(ArrayChecks, OnlyRealFullDoublesAreDoubleArrays) {
  EXPECT_TRUE(IsRealDoubleArray(MakeMatrix(2, 3, {1, 2, 3, 4, 5, 6}).get()));
  EXPECT_TRUE(IsRealDoubleArray(MakeMatrix(0, 0, {}).get()));
  EXPECT_FALSE(IsRealDoubleArray(nullptr));
  EXPECT_FALSE(IsRealDoubleArray(
      ArrayPtr(mxCreateNumericMatrix(2, 3, mxSINGLE_CLASS, mxREAL)).get()));
  EXPECT_FALSE(IsRealDoubleArray(
      ArrayPtr(mxCreateNumericMatrix(2, 3, mxINT32_CLASS, mxREAL)).get()));
  EXPECT_FALSE(IsRealDoubleArray(ArrayPtr(mxCreateLogicalMatrix(2, 3)).get()));
  EXPECT_FALSE(IsRealDoubleArray(ArrayPtr(mxCreateString("ab")).get()));
  EXPECT_FALSE(
      IsRealDoubleArray(ArrayPtr(mxCreateDoubleMatrix(2, 3, mxCOMPLEX)).get()));
  EXPECT_FALSE(
      IsRealDoubleArray(ArrayPtr(mxCreateSparse(2, 3, 1, mxREAL)).get()));
  EXPECT_FALSE(IsRealDoubleArray(ArrayPtr(mxCreateCellMatrix(1, 2)).get()));
  EXPECT_FALSE(IsRealDoubleArray(MakeStructArray(1, {"a"}).get()));
}

TEST(ArrayChecks, MatricesHaveTwoDimensions) {
  const mwSize dims[3] = {2, 3, 2};
  ArrayPtr cube(mxCreateNumericArray(3, dims, mxDOUBLE_CLASS, mxREAL));
  EXPECT_TRUE(IsRealDoubleArray(cube.get()));
  EXPECT_FALSE(IsRealDoubleMatrix(cube.get()));
  EXPECT_TRUE(IsRealDoubleMatrix(MakeMatrix(2, 3, {1, 2, 3, 4, 5, 6}).get()));
  EXPECT_FALSE(IsRealDoubleMatrix(ArrayPtr(mxCreateString("ab")).get()));
}

TEST(ArrayChecks, AllFiniteFindsEveryNaNAndInfinityWherever) {
  const double inf = std::numeric_limits<double>::infinity();
  const double largest = std::numeric_limits<double>::max();
  EXPECT_TRUE(AllFinite(nullptr, 0));
  for (std::size_t n = 1; n <= 9; ++n) {
    std::vector<double> v(n);
    for (std::size_t k = 0; k < n; ++k) {
      v[k] = k % 3 == 0 ? largest : (k % 3 == 1 ? -0.0 : -4e-320);
    }
    EXPECT_TRUE(AllFinite(v.data(), n)) << n;
    for (std::size_t k = 0; k < n; ++k) {
      for (double bad : {inf, -inf, std::nan(""), -std::nan("")}) {
        std::vector<double> w = v;
        w[k] = bad;
        EXPECT_FALSE(AllFinite(w.data(), n)) << n << " " << k << " " << bad;
        EXPECT_TRUE(AllFinite(w.data(), k)) << n << " " << k;
      }
    }
  }
}

TEST(ArrayChecks, StructArraysAndOutputSlots) {
  EXPECT_TRUE(IsStructArray(MakeStructArray(0, {"a"}).get()));
  EXPECT_FALSE(IsStructArray(MakeScalar(1).get()));
  EXPECT_FALSE(IsStructArray(nullptr));
  EXPECT_EQ(NumOutputSlots(0), 1);
  EXPECT_EQ(NumOutputSlots(1), 1);
  EXPECT_EQ(NumOutputSlots(3), 3);
}

}  // namespace
}  // namespace host
}  // namespace silhouette
