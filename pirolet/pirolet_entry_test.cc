#include "pirolet/pirolet_entry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "host/embedded_host.h"
#include "host/embedded_leak_check.h"

namespace silhouette {
namespace {

using host::ArrayPtr;
using host::CallEntry;
using host::CallResult;
using host::MakeMatrix;
using host::Values;

const char kUsage[] = "Need 1 input arg(s):  meanDiam = Pirolet( poly )";

CallResult Call(int nlhs, const std::vector<const mxArray*>& inputs) {
  return CallEntry(PiroletMain, nlhs, inputs);
}

TEST(PiroletEntry, UnitSquareGivesBothOutputs) {
  ArrayPtr square = MakeMatrix(2, 4, {0, 0, 1, 0, 1, 1, 0, 1});
  const CallResult r = Call(2, {square.get()});
  ASSERT_FALSE(r.raised) << r.error;
  ASSERT_EQ(r.outputs.size(), 2u);
  EXPECT_EQ(mxGetM(r.outputs[0].get()), 1u);
  EXPECT_NEAR(Values(r.outputs[0].get())[0], 1.2732395447351628, 1e-15);
  EXPECT_EQ(mxGetM(r.outputs[1].get()), 2u);
  EXPECT_EQ(Values(r.outputs[1].get()),
            (std::vector<double>{1, 1, 0, 1, 0, 0, 1, 0}));
  EXPECT_EQ(r.printed, "");
}

TEST(PiroletEntry, WritesOnlyTheSlotsTheHostProvides) {
  ArrayPtr triangle = MakeMatrix(2, 3, {0, 0, 1, 0, 0, 1});
  for (int nlhs : {0, 1}) {
    const CallResult r = Call(nlhs, {triangle.get()});
    ASSERT_EQ(r.outputs.size(), 1u);  // a write to slot 2 would overflow
    EXPECT_NEAR(Values(r.outputs[0].get())[0],
                (2 + std::sqrt(2.0)) / 3.141592653589793, 1e-15);
  }
}

TEST(PiroletEntry, ArgumentErrorsCarryTheUsageTexts) {
  ArrayPtr ok = MakeMatrix(2, 3, {0, 0, 1, 0, 0, 1});
  EXPECT_EQ(Call(1, {}).error, kUsage);
  EXPECT_EQ(Call(1, {ok.get(), ok.get()}).error, kUsage);
  EXPECT_EQ(Call(1, {MakeMatrix(3, 5, std::vector<double>(15, 1)).get()}).error,
            "Need poly matrix with 2 rows");
  EXPECT_EQ(Call(1, {MakeMatrix(2, 2, {0, 0, 1, 1}).get()}).error,
            "Need at least 3 points");
  const CallResult r = Call(2, {MakeMatrix(2, 0, {}).get()});
  EXPECT_TRUE(r.raised);
  EXPECT_EQ(r.outputs[0], nullptr);
}

TEST(PiroletEntry, RejectsEveryArrayThatIsNotARealFullDouble) {
  std::vector<ArrayPtr> bad;
  bad.emplace_back(mxCreateNumericMatrix(2, 4, mxSINGLE_CLASS, mxREAL));
  bad.emplace_back(mxCreateNumericMatrix(2, 4, mxINT32_CLASS, mxREAL));
  bad.emplace_back(mxCreateLogicalMatrix(2, 4));
  bad.emplace_back(mxCreateString("abcdefgh"));
  bad.emplace_back(mxCreateDoubleMatrix(2, 4, mxCOMPLEX));
  bad.emplace_back(mxCreateSparse(2, 4, 1, mxREAL));
  bad.emplace_back(mxCreateCellMatrix(2, 4));
  bad.push_back(host::MakeStructArray(1, {"x"}));
  const mwSize dims[3] = {2, 3, 2};  // read as 2 x 6 otherwise
  bad.emplace_back(mxCreateNumericArray(3, dims, mxDOUBLE_CLASS, mxREAL));
  for (const ArrayPtr& array : bad) {
    const CallResult r = Call(1, {array.get()});
    EXPECT_TRUE(r.raised);
    EXPECT_EQ(r.error, "Need poly as a real, full double matrix");
    EXPECT_EQ(r.outputs[0], nullptr);
  }
}

TEST(PiroletEntry, NonFiniteCoordinatesAreAClearError) {
  const double nan = std::nan("");
  const double inf = std::numeric_limits<double>::infinity();
  for (double bad : {nan, inf, -inf}) {
    ArrayPtr poly = MakeMatrix(2, 3, {0, 0, 1, bad, 0, 1});
    const CallResult r = Call(2, {poly.get()});
    EXPECT_EQ(r.error, "Need poly with finite coordinates");
  }
  ArrayPtr overflow = MakeMatrix(2, 3, {-1e308, 0, 1e308, 0, 0, 1e308});
  EXPECT_EQ(Call(1, {overflow.get()}).error,
            "Could not compute the convex hull of poly");
}

TEST(PiroletEntry, DegenerateHullsListTheirVertices) {
  ArrayPtr segment = MakeMatrix(2, 3, {0, 0, 3, 4, 1.5, 2});
  CallResult r = Call(2, {segment.get()});
  EXPECT_NEAR(Values(r.outputs[0].get())[0], 10 / 3.141592653589793, 1e-14);
  EXPECT_EQ(Values(r.outputs[1].get()), (std::vector<double>{0, 0, 3, 4}));
  ArrayPtr point = MakeMatrix(2, 3, {5, 5, 5, 5, 5, 5});
  r = Call(2, {point.get()});
  EXPECT_EQ(Values(r.outputs[0].get())[0], 0);
  EXPECT_EQ(Values(r.outputs[1].get()), (std::vector<double>{5, 5}));
}

// Coordinates above about 1e154 overflow the squares of lengths. A disc,
// a square outline and a segment scaled by 2^k give 2^k times the mean
// caliper diameter and the hull of the unscaled ones, bit for bit; a hull
// whose mean width exceeds the largest double gives Inf.
TEST(PiroletEntry, HugeCoordinatesGiveTheScaledResult) {
  std::vector<double> disc, square, segment = {0, 0, 3, 4, 1.5, 2};
  for (int i = 0; i < 90; ++i) {
    const double a = 2 * 3.141592653589793 * i / 90;
    disc.push_back(std::cos(a));
    disc.push_back(std::sin(a));
  }
  for (int i = 0; i < 40; ++i) {
    const double t = i / 10.0;
    const double side[4][2] = {{t, 0}, {4, t}, {4 - t, 4}, {0, 4 - t}};
    square.push_back(side[i / 10][0]);
    square.push_back(side[i / 10][1]);
  }
  for (const std::vector<double>& xy : {disc, square, segment}) {
    const std::size_t n = xy.size() / 2;
    const CallResult small = Call(2, {MakeMatrix(2, n, xy).get()});
    ASSERT_FALSE(small.raised) << small.error;
    for (int k : {511, 600, 1000}) {
      std::vector<double> big = xy;
      for (double& v : big) v = std::ldexp(v, k);
      const CallResult r = Call(2, {MakeMatrix(2, n, big).get()});
      ASSERT_FALSE(r.raised) << r.error;
      EXPECT_EQ(Values(r.outputs[0].get())[0],
                std::ldexp(Values(small.outputs[0].get())[0], k))
          << n << " points, k " << k;
      std::vector<double> hull = Values(small.outputs[1].get());
      for (double& v : hull) v = std::ldexp(v, k);
      EXPECT_EQ(Values(r.outputs[1].get()), hull) << n << " points, k " << k;
    }
  }
  ArrayPtr too_wide = MakeMatrix(2, 3, {0, 0, 1.7e308, 0, 0, 1.7e308});
  const CallResult wide = Call(1, {too_wide.get()});
  ASSERT_FALSE(wide.raised) << wide.error;
  EXPECT_EQ(Values(wide.outputs[0].get())[0],
            std::numeric_limits<double>::infinity());
}

// In MATLAB running out of memory in the host ends the call without
// unwinding: nothing of the entry may hold memory at any host allocation.
// Octave unwinds; that must leave nothing behind either.
TEST(PiroletEntry, RunningOutOfHostMemoryLeavesNothingBehind) {
  ArrayPtr pentagon = MakeMatrix(2, 5, {0, 0, 2, 0, 1, 0.5, 2, 2, 0, 2});
  for (host::HostErrorStyle style :
       {host::HostErrorStyle::kAbrupt, host::HostErrorStyle::kUnwind}) {
    for (int nlhs : {1, 2}) {
      const host::HostAllocationFailures failures =
          host::FailEachHostAllocation(PiroletMain, nlhs, {pentagon.get()},
                                       style);
      EXPECT_GE(failures.allocations, static_cast<std::size_t>(nlhs));
      EXPECT_TRUE(failures.leaks.empty())
          << "nlhs " << nlhs << ": " << host::Describe(failures);
    }
  }
}

TEST(PiroletEntry, OutputsLeaveNoHostMemoryToTheHost) {
  ArrayPtr pentagon = MakeMatrix(2, 5, {0, 0, 2, 0, 1, 0.5, 2, 2, 0, 2});
  const CallResult r = Call(2, {pentagon.get()});
  EXPECT_EQ(r.cleanup.blocks, 0u);
  EXPECT_EQ(r.cleanup.arrays, 0u);
  // The hull's room was cut to its four vertices.
  EXPECT_EQ(Values(r.outputs[1].get()),
            (std::vector<double>{2, 2, 0, 2, 0, 0, 2, 0}));
  const CallResult failed = Call(2, {MakeMatrix(2, 3, {-1e308, 0, 1e308, 0,
                                                       0, 1e308}).get()});
  EXPECT_TRUE(failed.raised);
  EXPECT_EQ(failed.cleanup.blocks, 0u);
}

}  // namespace
}  // namespace silhouette
