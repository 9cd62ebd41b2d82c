#include "host/array_checks.h"

#include <gtest/gtest.h>

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
