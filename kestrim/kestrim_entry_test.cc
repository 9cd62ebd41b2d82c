#include "kestrim/kestrim_entry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "camera/synthetic_scene.h"
#include "camera/view_set.h"
#include "host/embedded_host.h"
#include "host/embedded_leak_check.h"
#include "kestrim/viewing_edge_extractor.h"

namespace silhouette {
namespace {

using host::ArrayPtr;
using host::CallEntry;
using host::CallResult;
using host::Values;

const char kUsage[] = "Need 1 input arg(s):  Thrandle( silset )";

CallResult Call(int nlhs, const std::vector<const mxArray*>& inputs) {
  return CallEntry(KestrimMain, nlhs, inputs);
}

struct SceneArrays {
  std::vector<Camera> cameras;
  std::vector<Polygon2> boundaries;
  ArrayPtr viewVec;
};

SceneArrays MakeScene(unsigned seed, int num_views) {
  std::mt19937 rng(seed);
  SceneArrays scene;
  const std::vector<Vec3> vertices =
      testing::RandomPolyhedron(&rng, 20, 1.0, 0.8, 0.6, Vec3(0, 0, 0));
  scene.cameras = testing::CamerasAround(&rng, num_views, 6.0);
  for (const Camera& camera : scene.cameras) {
    scene.boundaries.push_back(testing::Silhouette(camera, vertices));
  }
  scene.viewVec = testing::MakeViewVec(scene.cameras, scene.boundaries);
  return scene;
}

std::vector<ViewingEdge> DirectEdges(const mxArray* viewVec) {
  const ViewSet set(viewVec);
  ViewingEdgeExtractor extractor;
  extractor.ComputeViewingEdges(set);
  return extractor.edges;
}

void ExpectShape(const ArrayPtr& array, std::size_t rows, std::size_t cols) {
  ASSERT_NE(array, nullptr);
  EXPECT_EQ(mxGetM(array.get()), rows);
  EXPECT_EQ(mxGetN(array.get()), cols);
}

TEST(KestrimEntry, WrongArgumentCountGivesUsage) {
  const SceneArrays scene = MakeScene(1, 3);
  for (const std::vector<const mxArray*>& inputs :
       {std::vector<const mxArray*>{},
        std::vector<const mxArray*>{scene.viewVec.get(),
                                    scene.viewVec.get()}}) {
    const CallResult r = Call(3, inputs);
    EXPECT_TRUE(r.raised);
    EXPECT_EQ(r.error, kUsage);
    EXPECT_EQ(r.printed, "");
    for (const ArrayPtr& out : r.outputs) EXPECT_EQ(out, nullptr);
  }
}

TEST(KestrimEntry, ReturnsTheEdgesWithOneBasedViewNumbers) {
  const SceneArrays scene = MakeScene(2, 4);
  const std::vector<ViewingEdge> edges = DirectEdges(scene.viewVec.get());
  ASSERT_GT(edges.size(), 0u);
  const std::size_t e = edges.size();

  const CallResult r = Call(3, {scene.viewVec.get()});
  ASSERT_FALSE(r.raised) << r.error;
  EXPECT_EQ(r.printed, "");
  ASSERT_EQ(r.outputs.size(), 3u);
  ExpectShape(r.outputs[0], 3, e);
  ExpectShape(r.outputs[1], 3, e);
  ExpectShape(r.outputs[2], 1, e);
  const std::vector<double> near = Values(r.outputs[0].get());
  const std::vector<double> far = Values(r.outputs[1].get());
  const std::vector<double> view = Values(r.outputs[2].get());
  bool saw_first_view = false;
  for (std::size_t i = 0; i < e; ++i) {
    EXPECT_EQ(near[3 * i], edges[i].near.x);
    EXPECT_EQ(near[3 * i + 1], edges[i].near.y);
    EXPECT_EQ(near[3 * i + 2], edges[i].near.z);
    EXPECT_EQ(far[3 * i], edges[i].far.x);
    EXPECT_EQ(far[3 * i + 1], edges[i].far.y);
    EXPECT_EQ(far[3 * i + 2], edges[i].far.z);
    EXPECT_EQ(view[i], edges[i].view + 1.0);
    EXPECT_GE(view[i], 1.0);
    EXPECT_LE(view[i], 4.0);
    if (i > 0) {
      EXPECT_GE(view[i], view[i - 1]);
    }
    saw_first_view = saw_first_view || view[i] == 1.0;
  }
  EXPECT_TRUE(saw_first_view);
  EXPECT_EQ(view.front(), 1.0);
}

TEST(KestrimEntry, WritesOnlyTheSlotsTheHostProvides) {
  const SceneArrays scene = MakeScene(3, 3);
  const std::size_t e = DirectEdges(scene.viewVec.get()).size();
  ASSERT_GT(e, 0u);
  for (int nlhs = 0; nlhs <= 3; ++nlhs) {
    SCOPED_TRACE(nlhs);
    const CallResult r = Call(nlhs, {scene.viewVec.get()});
    ASSERT_FALSE(r.raised);
    // CallEntry allocates exactly max(nlhs, 1) slots: a write past them
    // would be a heap overflow.
    ASSERT_EQ(r.outputs.size(), static_cast<std::size_t>(nlhs > 1 ? nlhs : 1));
    ExpectShape(r.outputs[0], 3, e);
    if (nlhs >= 2) ExpectShape(r.outputs[1], 3, e);
    if (nlhs >= 3) ExpectShape(r.outputs[2], 1, e);
  }
}

TEST(KestrimEntry, MissingBoundaryFieldPrintsErrorAndReturnsNothing) {
  host::ArrayPtr views = host::MakeStructArray(2, {"camera"});
  const SceneArrays scene = MakeScene(4, 2);
  for (std::size_t i = 0; i < 2; ++i) {
    host::SetField(views.get(), i, "camera",
                   testing::MakeCameraStruct(scene.cameras[i]));
  }
  for (int nlhs : {0, 1, 3}) {
    const CallResult r = Call(nlhs, {views.get()});
    EXPECT_FALSE(r.raised);
    EXPECT_EQ(r.printed,
              "error: missing boundary field in viewVec from Matlab.\n");
    for (const ArrayPtr& out : r.outputs) EXPECT_EQ(out, nullptr);
  }
}

TEST(KestrimEntry, MissingCameraAndPoseFieldsPrintTheirTexts) {
  const SceneArrays scene = MakeScene(5, 2);
  host::ArrayPtr no_camera = host::MakeStructArray(2, {"boundary"});
  for (std::size_t i = 0; i < 2; ++i) {
    host::SetField(no_camera.get(), i, "boundary",
                   testing::MakeBoundary(scene.boundaries[i]));
  }
  CallResult r = Call(3, {no_camera.get()});
  EXPECT_EQ(r.printed, "error: missing camera field in viewVec from Matlab.\n");
  for (const ArrayPtr& out : r.outputs) EXPECT_EQ(out, nullptr);

  host::ArrayPtr no_pose = host::MakeStructArray(1, {"camera", "boundary"});
  host::ArrayPtr camera =
      host::MakeStructArray(1, {"efl", "u0", "v0", "kappa1"});
  for (const char* name : {"efl", "u0", "v0", "kappa1"}) {
    host::SetField(camera.get(), 0, name, host::MakeScalar(1));
  }
  host::SetField(no_pose.get(), 0, "camera", std::move(camera));
  host::SetField(no_pose.get(), 0, "boundary",
                 testing::MakeBoundary(scene.boundaries[0]));
  r = Call(3, {no_pose.get()});
  EXPECT_EQ(r.printed, "error: missing pose parameter field in mxArray.\n");
  for (const ArrayPtr& out : r.outputs) EXPECT_EQ(out, nullptr);
}

TEST(KestrimEntry, DistortedCameraPrintsError) {
  SceneArrays scene = MakeScene(8, 3);
  scene.cameras[2].kappa1 = 1e-7;
  host::ArrayPtr views = testing::MakeViewVec(scene.cameras, scene.boundaries);
  const CallResult r = Call(3, {views.get()});
  EXPECT_FALSE(r.raised);
  EXPECT_EQ(r.printed, "error: Cannot form matrix K with nonzero kappa1\n");
  for (const ArrayPtr& out : r.outputs) EXPECT_EQ(out, nullptr);
}

TEST(KestrimEntry, OneViewSetGivesThreeEmptyOutputs) {
  const SceneArrays scene = MakeScene(6, 1);
  const CallResult r = Call(3, {scene.viewVec.get()});
  ASSERT_FALSE(r.raised);
  EXPECT_EQ(r.printed, "");
  ASSERT_EQ(r.outputs.size(), 3u);
  ExpectShape(r.outputs[0], 3, 0);
  ExpectShape(r.outputs[1], 3, 0);
  ExpectShape(r.outputs[2], 1, 0);
}

TEST(KestrimEntry, EmptySetGivesThreeEmptyOutputs) {
  host::ArrayPtr none = host::MakeStructArray(0, {"camera", "boundary"});
  const CallResult r = Call(3, {none.get()});
  ASSERT_FALSE(r.raised);
  EXPECT_EQ(r.printed, "");
  ExpectShape(r.outputs[0], 3, 0);
  ExpectShape(r.outputs[1], 3, 0);
  ExpectShape(r.outputs[2], 1, 0);
}

TEST(KestrimEntry, NonStructInputPrintsError) {
  std::vector<ArrayPtr> inputs;
  inputs.push_back(host::MakeMatrix(2, 3, {0, 0, 1, 0, 0, 1}));
  inputs.emplace_back(mxCreateString("views"));
  inputs.emplace_back(mxCreateCellMatrix(1, 2));
  for (const ArrayPtr& input : inputs) {
    const CallResult r = Call(3, {input.get()});
    EXPECT_FALSE(r.raised);
    EXPECT_EQ(r.printed,
              "error: viewVec is not a struct array with fields camera and "
              "boundary.\n");
    for (const ArrayPtr& out : r.outputs) EXPECT_EQ(out, nullptr);
  }
}

TEST(KestrimEntry, BadBoundaryPrintsError) {
  const SceneArrays scene = MakeScene(7, 2);
  std::vector<ArrayPtr> bad;
  bad.push_back(host::MakeMatrix(3, 2, {0, 0, 0, 1, 1, 1}));
  bad.push_back(host::MakeMatrix(2, 0, {}));
  bad.emplace_back(mxCreateNumericMatrix(2, 4, mxSINGLE_CLASS, mxREAL));
  bad.emplace_back(mxCreateString("ab"));
  for (ArrayPtr& boundary : bad) {
    host::ArrayPtr views =
        testing::MakeViewVec(scene.cameras, scene.boundaries);
    host::SetField(views.get(), 1, "boundary", std::move(boundary));
    const CallResult r = Call(3, {views.get()});
    EXPECT_FALSE(r.raised);
    EXPECT_EQ(r.printed,
              "error: boundary of view 2 is not a real double matrix of 2 "
              "rows and at least 1 column.\n");
    for (const ArrayPtr& out : r.outputs) EXPECT_EQ(out, nullptr);
  }
  host::ArrayPtr views = testing::MakeViewVec(scene.cameras, scene.boundaries);
  host::SetField(views.get(), 0, "boundary",
                 host::MakeMatrix(2, 2, {0, 0, 1, std::nan("")}));
  const CallResult r = Call(3, {views.get()});
  EXPECT_EQ(r.printed,
            "error: boundary of view 1 has a coordinate that is not finite.\n");
  for (const ArrayPtr& out : r.outputs) EXPECT_EQ(out, nullptr);
}

}  // namespace
}  // namespace silhouette

namespace silhouette {
namespace {

// Identity rotations with the hull centroids at the principal points: the
// reference point's first three equations are singular.
host::ArrayPtr SingularPair() {
  Camera a = testing::LookAtCamera(Vec3(0, 0, 0), Vec3(0, 0, 1), 500, 320, 240);
  a.pose = Mat4::kIdentity;
  Camera b = a;
  b.pose[0][3] = 1;
  const Polygon2 square = {{300, 220}, {340, 220}, {340, 260}, {300, 260}};
  return testing::MakeViewVec({a, b}, {square, square});
}

TEST(KestrimEntry, SingularReferencePointPrintsError) {
  host::ArrayPtr views = SingularPair();
  const CallResult r = Call(3, {views.get()});
  EXPECT_FALSE(r.raised);
  EXPECT_EQ(r.printed, "error: Failed to solve linear system.\n");
  for (const ArrayPtr& out : r.outputs) EXPECT_EQ(out, nullptr);
}

TEST(KestrimEntry, PointAndSegmentSilhouettesDoNotBreakTheCall) {
  SceneArrays scene = MakeScene(12, 4);
  scene.boundaries[1] = {{320, 240}};
  scene.boundaries[2] = {{300, 240}, {340, 250}};
  host::ArrayPtr views = testing::MakeViewVec(scene.cameras, scene.boundaries);
  const CallResult r = Call(3, {views.get()});
  ASSERT_FALSE(r.raised);
  EXPECT_EQ(r.printed, "");
  ASSERT_NE(r.outputs[2], nullptr);
  // A point silhouette admits no stretch of another view's ray.
  for (double view : Values(r.outputs[2].get())) EXPECT_EQ(view, 2);
}

// In MATLAB running out of memory in the host ends the call without
// unwinding: nothing of the entry may hold memory at any host allocation.
// Octave unwinds; that must leave nothing behind either.
TEST(KestrimEntry, RunningOutOfHostMemoryLeavesNothingBehind) {
  const SceneArrays scene = MakeScene(3, 4);
  ASSERT_FALSE(DirectEdges(scene.viewVec.get()).empty());
  for (host::HostErrorStyle style :
       {host::HostErrorStyle::kAbrupt, host::HostErrorStyle::kUnwind}) {
    for (int nlhs : {0, 2, 3}) {
      const host::HostAllocationFailures failures =
          host::FailEachHostAllocation(KestrimMain, nlhs,
                                       {scene.viewVec.get()}, style);
      EXPECT_GE(failures.allocations, static_cast<std::size_t>(nlhs));
      EXPECT_TRUE(failures.leaks.empty())
          << "nlhs " << nlhs << ": " << host::Describe(failures);
    }
  }
}

TEST(KestrimEntry, OutputsLeaveNoHostMemoryToTheHost) {
  const SceneArrays scene = MakeScene(3, 4);
  for (int nlhs : {1, 3}) {
    const CallResult r = Call(nlhs, {scene.viewVec.get()});
    ASSERT_FALSE(r.raised) << r.error;
    EXPECT_EQ(r.cleanup.blocks, 0u);
    EXPECT_EQ(r.cleanup.arrays, 0u);
  }
  // A failure printed after the room was taken.
  ArrayPtr bad = testing::MakeViewVec(scene.cameras, scene.boundaries);
  mxSetField(bad.get(), 1, "camera", mxCreateDoubleScalar(1));
  const CallResult r = Call(3, {bad.get()});
  EXPECT_EQ(r.printed, "error: camera is not a struct.\n");
  EXPECT_EQ(r.cleanup.blocks, 0u);
}

TEST(KestrimEntry, TablesBeyondThePhysicalMemoryFailBeforeTheSetIsRead) {
  // Three million views (their fields never set: the stand-in holds such a
  // struct in a few dozen megabytes) would need petabytes of pair tables.
  // The call fails with Kestrim's out-of-memory line before it reads a
  // view; a reader would have stopped at view 1's missing boundary.
  const ArrayPtr huge = host::MakeStructArray(3000000, {"camera", "boundary"});
  const CallResult r = Call(3, {huge.get()});
  EXPECT_FALSE(r.raised);
  EXPECT_EQ(r.printed, "error: out of memory\n");
  for (const ArrayPtr& out : r.outputs) EXPECT_EQ(out, nullptr);
}

}  // namespace
}  // namespace silhouette
