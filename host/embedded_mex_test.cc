#include "host/embedded_mex.h"

#include <gtest/gtest.h>

#include "host/embedded_host.h"

namespace silhouette {
namespace host {
namespace {

TEST(EmbeddedMex, StructFieldsAreReadByNameAndElement) {
  ArrayPtr s = MakeStructArray(2, {"a", "b"});
  EXPECT_EQ(mxGetFieldNumber(s.get(), "a"), 0);
  EXPECT_EQ(mxGetFieldNumber(s.get(), "b"), 1);
  EXPECT_LT(mxGetFieldNumber(s.get(), "c"), 0);
  EXPECT_EQ(mxGetField(s.get(), 1, "b"), nullptr);  // unset fields are null
  SetField(s.get(), 1, "b", MakeScalar(7));
  ASSERT_NE(mxGetField(s.get(), 1, "b"), nullptr);
  EXPECT_EQ(*mxGetPr(mxGetField(s.get(), 1, "b")), 7);
  EXPECT_EQ(mxGetField(s.get(), 2, "b"), nullptr);  // element out of range
  EXPECT_EQ(mxAddField(s.get(), "c"), 2);
  EXPECT_EQ(*mxGetPr(mxGetField(s.get(), 1, "b")), 7);  // survives the add
}

TEST(EmbeddedMex, ShapesFollowTheHost) {
  const mwSize dims[3] = {2, 3, 4};
  ArrayPtr a(mxCreateNumericArray(3, dims, mxDOUBLE_CLASS, mxREAL));
  EXPECT_EQ(mxGetM(a.get()), 2u);
  EXPECT_EQ(mxGetN(a.get()), 12u);  // trailing dimensions folded
  EXPECT_EQ(mxGetNumberOfElements(a.get()), 24u);
  ArrayPtr s(mxCreateString("abc"));
  EXPECT_TRUE(mxIsChar(s.get()));
  EXPECT_EQ(mxGetN(s.get()), 3u);
  ArrayPtr sp(mxCreateSparse(4, 4, 2, mxREAL));
  EXPECT_TRUE(mxIsDouble(sp.get()));
  EXPECT_TRUE(mxIsSparse(sp.get()));
  EXPECT_EQ(mxGetNumberOfElements(sp.get()), 16u);
}

void PrintsAndRaises(int, mxArray* plhs[], int nrhs, const mxArray*[]) {
  plhs[0] = mxCreateDoubleScalar(nrhs);
  mexPrintf("error: %s\n", "text");
  if (nrhs > 0) mexErrMsgTxt("raised");
}

TEST(EmbeddedMex, CallEntryCapturesPrintsErrorsAndOutputs) {
  ArrayPtr x = MakeScalar(1);
  CallResult quiet = CallEntry(PrintsAndRaises, 0, {});
  EXPECT_FALSE(quiet.raised);
  EXPECT_EQ(quiet.printed, "error: text\n");
  ASSERT_EQ(quiet.outputs.size(), 1u);  // one slot even for nargout 0
  EXPECT_EQ(Values(quiet.outputs[0].get()), std::vector<double>{0});

  CallResult loud = CallEntry(PrintsAndRaises, 3, {x.get()});
  EXPECT_TRUE(loud.raised);
  EXPECT_EQ(loud.error, "raised");
  EXPECT_EQ(loud.outputs.size(), 3u);
  EXPECT_EQ(TakeCommandWindowText(), "");
}

}  // namespace
}  // namespace host
}  // namespace silhouette
