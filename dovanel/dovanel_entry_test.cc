#include "dovanel/dovanel_entry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "camera/synthetic_scene.h"
#include "camera/view_set.h"
#include "dovanel/dovanel_working_memory.h"
#include "dovanel/relative_pose_model.h"
#include "dovanel/testing/fixture_problems.h"
#include "dovanel/two_set_scene.h"
#include "host/embedded_host.h"
#include "host/embedded_leak_check.h"
#include "host/physical_memory.h"

namespace silhouette {
namespace {

using host::ArrayPtr;
using host::CallEntry;
using host::CallResult;
using host::MakeMatrix;
using host::Values;
using testing::MakeTwoSetScene;
using testing::PerturbedPose;
using testing::RotationAngle;
using testing::TwoSetScene;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

const char kArgCountUsage[] =
    "Need 4 input args: Dovanel( viewVecA,  viewVecB, vecArray, [mfe;tol] )";
const char kStartsUsage[] =
    "Need 3rd arg must be 7xn matrix of n quattran starting points )";
const char kStartsClass[] =
    "Need 3rd arg vecArray as a real, full double 7xn matrix";
const char kSettingsClass[] =
    "Need 4th arg [mfe;tol] as a real, full double array of at least 2 "
    "numbers";

CallResult Call(int nlhs, const std::vector<const mxArray*>& inputs) {
  return CallEntry(DovanelMain, nlhs, inputs);
}

ArrayPtr Starts(const std::vector<std::vector<double>>& columns) {
  std::vector<double> values;
  for (const std::vector<double>& c : columns) {
    values.insert(values.end(), c.begin(), c.end());
  }
  return MakeMatrix(7, columns.size(), values);
}

ArrayPtr Settings(double mfe, double tol) {
  return MakeMatrix(2, 1, {mfe, tol});
}

void ExpectNoOutputs(const CallResult& r) {
  for (const ArrayPtr& out : r.outputs) EXPECT_EQ(out, nullptr);
}

class DovanelEntry : public ::testing::Test {
 protected:
  DovanelEntry() {
    // A scene and a start from which the solver reaches the true pose.
    std::mt19937 rng(35);
    scene_ = MakeTwoSetScene(&rng, 2, 3);
    std::mt19937 starts(36);
    near_ = PerturbedPose(&starts, scene_.truePose, 3, 0.03);
    starts_ = Starts({near_});
    settings_ = Settings(100, 1e-12);
  }

  // The residuals of `pose` computed by the model directly.
  std::vector<double> ModelResiduals(const std::vector<double>& pose) const {
    const ViewSet a(scene_.viewVecA.get());
    const ViewSet b(scene_.viewVecB.get());
    const RelativePoseModel model(a, b);
    std::vector<double> out(model.NumResiduals());
    model.ResidualsAt(out.data(), pose.data());
    return out;
  }

  CallResult CallWith(int nlhs, const mxArray* starts,
                      const mxArray* settings) {
    return Call(nlhs, {a(), b(), starts, settings});
  }

  const mxArray* a() const { return scene_.viewVecA.get(); }
  const mxArray* b() const { return scene_.viewVecB.get(); }

  TwoSetScene scene_;
  std::vector<double> near_;
  ArrayPtr starts_;
  ArrayPtr settings_;
};

TEST_F(DovanelEntry, RecoversThePoseWithOutputsOfTheRightShapes) {
  const CallResult r = CallWith(3, starts_.get(), settings_.get());
  ASSERT_FALSE(r.raised) << r.error;
  EXPECT_EQ(r.printed, "");
  ASSERT_EQ(r.outputs.size(), 3u);
  ASSERT_NE(r.outputs[0], nullptr);
  ASSERT_NE(r.outputs[1], nullptr);
  ASSERT_NE(r.outputs[2], nullptr);
  EXPECT_EQ(mxGetM(r.outputs[0].get()), 1u);
  EXPECT_EQ(mxGetN(r.outputs[0].get()), 1u);
  EXPECT_EQ(mxGetM(r.outputs[1].get()), 7u);
  EXPECT_EQ(mxGetN(r.outputs[1].get()), 1u);
  EXPECT_EQ(mxGetM(r.outputs[2].get()), 1u);
  EXPECT_EQ(mxGetN(r.outputs[2].get()), 48u);

  const double rms = Values(r.outputs[0].get())[0];
  const std::vector<double> pose = Values(r.outputs[1].get());
  const std::vector<double> residuals = Values(r.outputs[2].get());
  EXPECT_LT(rms, 1e-6);
  const Mat4 found = PoseToMatrix(pose.data());
  const Mat4 truth = PoseToMatrix(scene_.truePose.data());
  EXPECT_LT(RotationAngle(found, truth), 1e-6);
  EXPECT_LT((found.Translation() - truth.Translation()).Length(), 1e-6);
  EXPECT_EQ(residuals, ModelResiduals(pose));
  double sum = 0;
  for (double v : residuals) sum += v * v;
  EXPECT_EQ(rms, std::sqrt(sum / 48));
}

TEST_F(DovanelEntry, NoStartsGiveZeroRmsAndTheZeroPose) {
  ArrayPtr none = MakeMatrix(7, 0, {});
  const CallResult r = CallWith(3, none.get(), settings_.get());
  ASSERT_FALSE(r.raised) << r.error;
  EXPECT_EQ(r.printed, "");
  EXPECT_EQ(Values(r.outputs[0].get()), std::vector<double>{0});
  EXPECT_EQ(Values(r.outputs[1].get()), std::vector<double>(7, 0.0));
  const std::vector<double> identity = {0, 0, 0, 1, 0, 0, 0};
  EXPECT_EQ(Values(r.outputs[2].get()), ModelResiduals(identity));
  EXPECT_EQ(mxGetN(r.outputs[2].get()), 48u);
}

TEST_F(DovanelEntry, WritesOnlyTheSlotsTheHostProvides) {
  const CallResult full = CallWith(3, starts_.get(), settings_.get());
  ASSERT_EQ(full.outputs.size(), 3u);
  for (int nlhs = 0; nlhs <= 3; ++nlhs) {
    const CallResult r = CallWith(nlhs, starts_.get(), settings_.get());
    ASSERT_FALSE(r.raised) << r.error;
    ASSERT_EQ(r.outputs.size(), static_cast<size_t>(nlhs > 1 ? nlhs : 1));
    for (size_t i = 0; i < r.outputs.size(); ++i) {
      ASSERT_NE(r.outputs[i], nullptr) << nlhs << " " << i;
      EXPECT_EQ(Values(r.outputs[i].get()), Values(full.outputs[i].get()));
    }
  }
}

TEST_F(DovanelEntry, ArgumentCount) {
  for (int n : {0, 1, 3, 5}) {
    std::vector<const mxArray*> inputs(n, settings_.get());
    if (n >= 3) inputs[2] = starts_.get();
    const CallResult r = Call(3, inputs);
    EXPECT_TRUE(r.raised) << n;
    EXPECT_EQ(r.error, kArgCountUsage) << n;
    ExpectNoOutputs(r);
  }
}

TEST_F(DovanelEntry, StartsNeedSevenRowsBeforeAnythingElse) {
  ArrayPtr six = MakeMatrix(6, 3, std::vector<double>(18, 0));
  ArrayPtr junk = MakeMatrix(1, 1, {0});
  ArrayPtr ints(mxCreateNumericMatrix(6, 3, mxINT32_CLASS, mxREAL));
  for (const mxArray* starts : {six.get(), ints.get()}) {
    const CallResult r = Call(3, {junk.get(), junk.get(), starts, junk.get()});
    EXPECT_TRUE(r.raised);
    EXPECT_EQ(r.error, kStartsUsage);
    ExpectNoOutputs(r);
  }
  ArrayPtr eight = MakeMatrix(8, 1, std::vector<double>(8, 0));
  EXPECT_EQ(CallWith(1, eight.get(), settings_.get()).error, kStartsUsage);
  ArrayPtr empty = MakeMatrix(0, 0, {});
  EXPECT_EQ(CallWith(1, empty.get(), settings_.get()).error, kStartsUsage);
}

TEST_F(DovanelEntry, StartsMustBeARealFullDoubleMatrix) {
  std::vector<ArrayPtr> bad;
  bad.emplace_back(mxCreateNumericMatrix(7, 2, mxSINGLE_CLASS, mxREAL));
  bad.emplace_back(mxCreateNumericMatrix(7, 2, mxINT32_CLASS, mxREAL));
  bad.emplace_back(mxCreateLogicalMatrix(7, 2));
  bad.emplace_back(mxCreateDoubleMatrix(7, 2, mxCOMPLEX));
  bad.emplace_back(mxCreateSparse(7, 2, 1, mxREAL));
  bad.emplace_back(mxCreateCellMatrix(7, 2));
  bad.emplace_back(mxCreateStructMatrix(7, 2, 0, nullptr));
  for (const ArrayPtr& starts : bad) {
    const CallResult r = CallWith(3, starts.get(), settings_.get());
    EXPECT_TRUE(r.raised);
    EXPECT_EQ(r.error, kStartsClass);
    ExpectNoOutputs(r);
  }
  // Checked before the fourth argument.
  ArrayPtr ints(mxCreateNumericMatrix(7, 2, mxINT32_CLASS, mxREAL));
  ArrayPtr one = MakeMatrix(1, 1, {10});
  EXPECT_EQ(CallWith(1, ints.get(), one.get()).error, kStartsClass);
}

TEST_F(DovanelEntry, FourthArgumentMustHoldTwoRealDoubles) {
  std::vector<ArrayPtr> bad;
  bad.push_back(MakeMatrix(1, 1, {10}));
  bad.push_back(MakeMatrix(0, 0, {}));
  bad.push_back(MakeMatrix(1, 0, {}));
  bad.emplace_back(mxCreateNumericMatrix(2, 1, mxSINGLE_CLASS, mxREAL));
  bad.emplace_back(mxCreateNumericMatrix(2, 1, mxINT32_CLASS, mxREAL));
  bad.emplace_back(mxCreateDoubleMatrix(2, 1, mxCOMPLEX));
  bad.emplace_back(mxCreateSparse(2, 1, 2, mxREAL));
  bad.emplace_back(mxCreateString("ab"));
  bad.emplace_back(mxCreateCellMatrix(2, 1));
  for (const ArrayPtr& settings : bad) {
    const CallResult r = CallWith(3, starts_.get(), settings.get());
    EXPECT_TRUE(r.raised);
    EXPECT_EQ(r.error, kSettingsClass);
    ExpectNoOutputs(r);
  }
  // More than two numbers, in any shape: the rest is ignored.
  ArrayPtr four = MakeMatrix(2, 2, {100, 1e-12, 5, 6});
  const CallResult r = CallWith(3, starts_.get(), four.get());
  EXPECT_FALSE(r.raised);
  EXPECT_EQ(
      Values(r.outputs[1].get()),
      Values(CallWith(3, starts_.get(), settings_.get()).outputs[1].get()));
}

TEST_F(DovanelEntry, ReadFailuresArePrinted) {
  ArrayPtr no_camera = host::MakeStructArray(2, {"boundary"});
  host::SetField(no_camera.get(), 0, "boundary",
                 MakeMatrix(2, 3, {0, 0, 10, 0, 0, 10}));
  host::SetField(no_camera.get(), 1, "boundary",
                 MakeMatrix(2, 3, {0, 0, 10, 0, 0, 10}));
  for (int nlhs = 0; nlhs <= 3; ++nlhs) {
    CallResult r =
        Call(nlhs, {a(), no_camera.get(), starts_.get(), settings_.get()});
    EXPECT_FALSE(r.raised);
    EXPECT_EQ(r.printed, "missing camera field in viewVec from Matlab.\n");
    ExpectNoOutputs(r);
  }
  ArrayPtr not_struct = MakeMatrix(1, 1, {3});
  const CallResult r =
      Call(3, {not_struct.get(), b(), starts_.get(), settings_.get()});
  EXPECT_FALSE(r.raised);
  EXPECT_EQ(r.printed,
            "viewVec is not a struct array with fields camera and "
            "boundary.\n");
  ExpectNoOutputs(r);
}

TEST_F(DovanelEntry, DistortedCamerasArePrinted) {
  std::mt19937 rng(40);
  TwoSetScene scene = MakeTwoSetScene(&rng, 2, 2);
  scene.camerasB[1].kappa1 = 1e-9;
  std::vector<Polygon2> boundaries;
  for (const Camera& c : scene.camerasA) {
    boundaries.push_back(testing::Silhouette(c, scene.vertices));
  }
  ArrayPtr distorted = testing::MakeViewVec(scene.camerasB, boundaries);
  ArrayPtr none = MakeMatrix(7, 0, {});
  for (const mxArray* starts : {starts_.get(), none.get()}) {
    const CallResult r = Call(
        3, {scene.viewVecA.get(), distorted.get(), starts, settings_.get()});
    EXPECT_FALSE(r.raised);
    EXPECT_EQ(r.printed, "Cannot form matrix K with nonzero kappa1\n");
    ExpectNoOutputs(r);
  }
}

TEST_F(DovanelEntry, NegativeOrNaNTolIsPrinted) {
  ArrayPtr none = MakeMatrix(7, 0, {});
  for (double tol : {-1e-8, -kInf, kNaN}) {
    ArrayPtr settings = Settings(10, tol);
    for (const mxArray* starts : {starts_.get(), none.get()}) {
      const CallResult r = CallWith(3, starts, settings.get());
      EXPECT_FALSE(r.raised);
      EXPECT_EQ(r.printed, "tol in [mfe;tol] must not be negative or NaN\n");
      ExpectNoOutputs(r);
    }
  }
}

TEST_F(DovanelEntry, EmptyViewSetsArePrinted) {
  ArrayPtr empty = host::MakeStructArray(0, {"camera", "boundary"});
  const CallResult ra =
      Call(3, {empty.get(), b(), starts_.get(), settings_.get()});
  EXPECT_FALSE(ra.raised);
  EXPECT_EQ(ra.printed,
            "viewVecA has no views: each set needs at least one.\n");
  ExpectNoOutputs(ra);
  const CallResult rb =
      Call(3, {a(), empty.get(), starts_.get(), settings_.get()});
  EXPECT_EQ(rb.printed,
            "viewVecB has no views: each set needs at least one.\n");
  ExpectNoOutputs(rb);
}

TEST_F(DovanelEntry, IterationLimitIsTruncatedAndClamped) {
  // A far start, so that every iteration counts.
  std::mt19937 rng(50);
  ArrayPtr far = Starts({PerturbedPose(&rng, scene_.truePose, 15, 0.3)});
  auto pose_with = [&](double mfe) {
    ArrayPtr settings = Settings(mfe, 1e-14);
    const CallResult r = CallWith(2, far.get(), settings.get());
    EXPECT_FALSE(r.raised);
    EXPECT_EQ(r.printed, "");
    return Values(r.outputs[1].get());
  };
  const std::vector<double> one = pose_with(1);
  const std::vector<double> two = pose_with(2);
  const std::vector<double> three = pose_with(3);
  EXPECT_NE(one, two);
  EXPECT_NE(two, three);
  EXPECT_EQ(pose_with(2.9), two);
  for (double mfe : {0.0, 0.7, -5.0, -kInf, kNaN, -1e300}) {
    EXPECT_EQ(pose_with(mfe), one) << mfe;
  }
  const std::vector<double> many = pose_with(10000);
  for (double mfe : {kInf, 1e300, 2147483647.0, 4e9}) {
    EXPECT_EQ(pose_with(mfe), many) << mfe;
  }
}

TEST_F(DovanelEntry, TheBestStartWinsAndANaNStartNever) {
  std::vector<double> nan_start = near_;
  nan_start[5] = kNaN;
  std::vector<double> inf_start = near_;
  inf_start[0] = kInf;
  std::mt19937 rng(60);
  const std::vector<double> poor = PerturbedPose(&rng, scene_.truePose, 90, 1);
  const CallResult alone = CallWith(3, starts_.get(), settings_.get());
  const std::vector<double> best = Values(alone.outputs[1].get());
  for (const auto& columns :
       {std::vector<std::vector<double>>{nan_start, near_},
        std::vector<std::vector<double>>{near_, nan_start},
        std::vector<std::vector<double>>{poor, nan_start, near_, poor},
        std::vector<std::vector<double>>{inf_start, near_, inf_start},
        std::vector<std::vector<double>>{near_, near_}}) {
    ArrayPtr starts = Starts(columns);
    const CallResult r = CallWith(3, starts.get(), settings_.get());
    ASSERT_FALSE(r.raised);
    EXPECT_EQ(Values(r.outputs[1].get()), best);
    EXPECT_EQ(Values(r.outputs[0].get()), Values(alone.outputs[0].get()));
  }
  ArrayPtr only_nan = Starts({nan_start});
  const CallResult r = CallWith(3, only_nan.get(), settings_.get());
  ASSERT_FALSE(r.raised);
  EXPECT_TRUE(std::isnan(Values(r.outputs[0].get())[0]));
}

}  // namespace
}  // namespace silhouette

namespace silhouette {
namespace {

TEST_F(DovanelEntry, SingularReferencePointIsPrinted) {
  Camera a = testing::LookAtCamera(Vec3(0, 0, 0), Vec3(0, 0, 1), 500, 320, 240);
  a.pose = Mat4::kIdentity;
  Camera b = a;
  b.pose[0][3] = 1;
  const Polygon2 square = {{300, 220}, {340, 220}, {340, 260}, {300, 260}};
  ArrayPtr singular = testing::MakeViewVec({a, b}, {square, square});
  const CallResult r = Call(3, {scene_.viewVecA.get(), singular.get(),
                                starts_.get(), settings_.get()});
  EXPECT_FALSE(r.raised);
  EXPECT_EQ(r.printed, "Failed to solve linear system.\n");
  ExpectNoOutputs(r);
}

TEST_F(DovanelEntry, OneViewSetsAreAccepted) {
  std::mt19937 rng(61);
  const TwoSetScene scene = MakeTwoSetScene(&rng, 1, 1);
  const CallResult r = Call(3, {scene.viewVecA.get(), scene.viewVecB.get(),
                                starts_.get(), settings_.get()});
  ASSERT_FALSE(r.raised) << r.error;
  EXPECT_EQ(r.printed, "");
  ASSERT_NE(r.outputs[2], nullptr);
  EXPECT_EQ(mxGetN(r.outputs[2].get()), 8u);
  EXPECT_TRUE(std::isfinite(Values(r.outputs[0].get())[0]));
}

TEST_F(DovanelEntry, PointAndSegmentSilhouettesDoNotBreakTheCall) {
  std::mt19937 rng(62);
  const TwoSetScene scene = MakeTwoSetScene(&rng, 3, 3);
  std::vector<Polygon2> boundaries;
  for (const Camera& c : scene.camerasB) {
    boundaries.push_back(testing::Silhouette(c, scene.vertices));
  }
  boundaries[1] = {{320, 240}};
  boundaries[2] = {{300, 240}, {340, 250}};
  ArrayPtr degenerate = testing::MakeViewVec(scene.camerasB, boundaries);
  const CallResult r = Call(3, {scene.viewVecA.get(), degenerate.get(),
                                starts_.get(), settings_.get()});
  ASSERT_FALSE(r.raised) << r.error;
  ASSERT_NE(r.outputs[2], nullptr);
  EXPECT_EQ(mxGetN(r.outputs[2].get()), 72u);
}

// In MATLAB running out of memory in the host ends the call without
// unwinding: nothing of the entry may hold memory at any host allocation.
// Octave unwinds; that must leave nothing behind either.
TEST_F(DovanelEntry, RunningOutOfHostMemoryLeavesNothingBehind) {
  for (host::HostErrorStyle style :
       {host::HostErrorStyle::kAbrupt, host::HostErrorStyle::kUnwind}) {
    for (int nlhs : {1, 2, 3}) {
      const host::HostAllocationFailures failures =
          host::FailEachHostAllocation(
              DovanelMain, nlhs, {a(), b(), starts_.get(), settings_.get()},
              style);
      EXPECT_GE(failures.allocations, static_cast<std::size_t>(nlhs));
      EXPECT_TRUE(failures.leaks.empty())
          << "nlhs " << nlhs << ": " << host::Describe(failures);
    }
  }
}

TEST_F(DovanelEntry, OutputsLeaveNoHostMemoryToTheHost) {
  const CallResult r = CallWith(3, starts_.get(), settings_.get());
  ASSERT_FALSE(r.raised) << r.error;
  EXPECT_EQ(r.cleanup.blocks, 0u);
  EXPECT_EQ(r.cleanup.arrays, 0u);
  // A failure printed after the room for the residuals was taken.
  ArrayPtr negative_tol = Settings(100, -1);
  const CallResult failed = CallWith(3, starts_.get(), negative_tol.get());
  EXPECT_NE(failed.printed, "");
  ExpectNoOutputs(failed);
  EXPECT_EQ(failed.cleanup.blocks, 0u);
}

// The answers recorded before the search was made faster and parallel,
// bit for bit, through the gateway (which uses every core).
TEST(DovanelRecordedAnswers, GatewayReproducesThemBitForBit) {
  const std::vector<testing::RecordedAnswer> recorded = testing::ParseAnswers(
      testing::ReadTextFile(DOVANEL_TESTDATA_DIR "/recorded_answers.txt"));
  const std::vector<testing::FixtureProblem> problems =
      testing::MakeFixtureProblems(DOVANEL_TESTDATA_DIR);
  ASSERT_EQ(recorded.size(), problems.size());
  for (std::size_t i = 0; i < problems.size(); ++i) {
    const testing::FixtureProblem& p = problems[i];
    ASSERT_EQ(recorded[i].name, p.name);
    const ArrayPtr starts = MakeMatrix(7, p.numStarts, p.starts);
    const ArrayPtr settings = Settings(p.mfe, p.tol);
    const CallResult r = Call(3, {p.viewVecA.get(), p.viewVecB.get(),
                                  starts.get(), settings.get()});
    ASSERT_FALSE(r.raised) << r.error;
    ASSERT_EQ(r.printed, "");
    testing::RecordedAnswer actual;
    actual.name = p.name;
    actual.rms = Values(r.outputs[0].get())[0];
    actual.pose = Values(r.outputs[1].get());
    actual.residuals = Values(r.outputs[2].get());
    EXPECT_EQ(testing::AnswerDifference(recorded[i], actual), "");
  }
}

TEST(DovanelEntryMemory, WorkingMemoryBeyondThePhysicalFailsBeforeReading) {
  // Two sets of 16383 views (fields never set) give 2.1e9 residuals, still
  // within an int, whose solver would need some 250 GB on one thread. The
  // call prints Dovanel's out-of-memory line before it reads a view (a
  // reader would have stopped at view 1's missing boundary) or takes the
  // room for the residuals from the host.
  const std::size_t views = 16383;
  const double needed = DovanelWorkingBytes(views, views, 0, 1, 1);
  if (host::PhysicalMemoryBytes() >= needed) {
    GTEST_SKIP() << "this machine holds " << needed << " bytes";
  }
  const ArrayPtr a = host::MakeStructArray(views, {"camera", "boundary"});
  const ArrayPtr b = host::MakeStructArray(views, {"camera", "boundary"});
  const ArrayPtr starts = MakeMatrix(7, 1, {0, 0, 0, 1, 0, 0, 0});
  const ArrayPtr settings = MakeMatrix(2, 1, {10, 1e-8});
  const CallResult r =
      Call(3, {a.get(), b.get(), starts.get(), settings.get()});
  EXPECT_FALSE(r.raised);
  EXPECT_EQ(r.printed, "out of memory\n");
  for (const ArrayPtr& out : r.outputs) EXPECT_EQ(out, nullptr);
}

}  // namespace
}  // namespace silhouette
