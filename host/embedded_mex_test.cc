#include "host/embedded_mex.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "host/embedded_heap.h"
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


// Leaves a block and an array behind, returns one array in the first slot
// and one made from an mxMalloc block in the second.
void LeavesThingsBehind(int, mxArray* plhs[], int, const mxArray*[]) {
  mxMalloc(100);
  mxCreateDoubleMatrix(2, 2, mxREAL);
  void* freed = mxMalloc(10);
  mxFree(freed);
  plhs[0] = mxCreateDoubleScalar(1);
  mxArray* out = mxCreateDoubleMatrix(0, 0, mxREAL);
  mxFree(mxGetPr(out));
  auto* data = static_cast<double*>(mxCalloc(3, sizeof(double)));
  data[2] = 7;
  mxSetPr(out, data);
  mxSetM(out, 1);
  mxSetN(out, 3);
  plhs[1] = out;
}

TEST(EmbeddedMex, TheHostFreesWhatACallLeavesBehindButNotItsOutputs) {
  const CallResult r = CallEntry(LeavesThingsBehind, 2, {});
  EXPECT_FALSE(r.raised);
  EXPECT_EQ(r.cleanup.blocks, 1u);
  EXPECT_EQ(r.cleanup.arrays, 1u);
  ASSERT_EQ(r.outputs.size(), 2u);
  EXPECT_EQ(Values(r.outputs[0].get()), std::vector<double>{1});
  EXPECT_EQ(Values(r.outputs[1].get()), (std::vector<double>{0, 0, 7}));
}

struct Flag {
  bool* set;
  ~Flag() { *set = true; }
};

bool g_destructor_ran = false;

void RaisesWithAnObjectAlive(int, mxArray* plhs[], int, const mxArray*[]) {
  Flag flag{&g_destructor_ran};
  plhs[0] = mxCreateDoubleScalar(3);
  mxMalloc(64);
  mexErrMsgTxt("stopped");
}

TEST(EmbeddedMex, AnAbruptEndRunsNoDestructorAndFreesTheCallsMemory) {
  CallSetup abrupt;
  abrupt.errors = HostErrorStyle::kAbrupt;
  g_destructor_ran = false;
  const CallResult a = CallEntry(RaisesWithAnObjectAlive, 1, {}, abrupt);
  EXPECT_TRUE(a.raised);
  EXPECT_EQ(a.error, "stopped");
  EXPECT_FALSE(g_destructor_ran);
  EXPECT_EQ(a.outputs[0], nullptr);  // the output went with the call
  EXPECT_EQ(a.cleanup.arrays, 1u);
  EXPECT_EQ(a.cleanup.blocks, 1u);

  g_destructor_ran = false;
  const CallResult u = CallEntry(RaisesWithAnObjectAlive, 1, {});
  EXPECT_TRUE(u.raised);
  EXPECT_EQ(u.error, "stopped");
  EXPECT_TRUE(g_destructor_ran);
  EXPECT_NE(u.outputs[0], nullptr);  // left for the test to look at
  EXPECT_EQ(u.cleanup.blocks, 1u);
}

void AllocatesFourTimes(int, mxArray* plhs[], int, const mxArray*[]) {
  void* block = mxMalloc(8);
  block = mxRealloc(block, 16);
  mxFree(block);
  mxFree(mxCalloc(2, 8));
  plhs[0] = mxCreateDoubleScalar(4);
}

TEST(EmbeddedMex, TheHostRunsOutOfMemoryAtTheAllocationAskedFor) {
  for (HostErrorStyle style :
       {HostErrorStyle::kUnwind, HostErrorStyle::kAbrupt}) {
    for (std::size_t n = 1; n <= 5; ++n) {
      CallSetup setup;
      setup.errors = style;
      setup.failAllocation = n;
      const CallResult r = CallEntry(AllocatesFourTimes, 1, {}, setup);
      if (n <= 4) {
        EXPECT_TRUE(r.raised) << n;
        EXPECT_EQ(r.error, "Out of memory.");
        EXPECT_EQ(r.outputs[0], nullptr);
        EXPECT_EQ(r.cleanup.blocks, n == 2 ? 1u : 0u) << n;  // mxRealloc
      } else {
        EXPECT_FALSE(r.raised);
        EXPECT_EQ(Values(r.outputs[0].get()), std::vector<double>{4});
      }
    }
  }
}

TEST(EmbeddedMex, BlocksMoveWithReallocAndBelongToTheArrayTheyAreSetInto) {
  auto* block = static_cast<double*>(mxMalloc(2 * sizeof(double)));
  block[0] = 1.5;
  block[1] = -2;
  block = static_cast<double*>(mxRealloc(block, 3 * sizeof(double)));
  block[2] = 8;
  ArrayPtr array(mxCreateDoubleMatrix(0, 0, mxREAL));
  mxFree(mxGetPr(array.get()));
  EXPECT_EQ(mxGetPr(array.get()), nullptr);
  mxSetPr(array.get(), block);
  mxSetN(array.get(), 3);
  mxSetM(array.get(), 1);
  EXPECT_EQ(Values(array.get()), (std::vector<double>{1.5, -2, 8}));
  const std::size_t held = HeapBytesInUse();
  array.reset();  // frees the block with the array
  EXPECT_GE(held - HeapBytesInUse(), 3 * sizeof(double));
}

std::vector<double>* g_kept = nullptr;

void KeepsAVectorAndRaises(int, mxArray*[], int, const mxArray*[]) {
  g_kept = new std::vector<double>(1000, 1.0);
  mexErrMsgTxt("gone");
}

TEST(EmbeddedMex, TheHeapCountSeesMemoryAnAbruptEndLeaves) {
  CallSetup abrupt;
  abrupt.errors = HostErrorStyle::kAbrupt;
  const std::size_t before = HeapBytesInUse();
  { CallEntry(KeepsAVectorAndRaises, 1, {}, abrupt); }
  const std::size_t after = HeapBytesInUse();
  EXPECT_GE(after - before, 1000 * sizeof(double));
  delete g_kept;
  EXPECT_EQ(HeapBytesInUse(), before);
}

}  // namespace
}  // namespace host
}  // namespace silhouette
