#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "camera/camera.h"
#include "camera/synthetic_scene.h"
#include "geometry/error_text.h"

namespace silhouette {
namespace {

using host::ArrayPtr;
using host::MakeMatrix;
using host::MakeScalar;
using host::MakeStructArray;
using host::SetField;

ArrayPtr CameraArray(std::size_t n, const std::vector<std::string>& fields) {
  ArrayPtr s = MakeStructArray(n, fields);
  for (std::size_t i = 0; i < n; ++i) {
    for (const std::string& f : fields) {
      if (f == "pose") {
        // [R t; 0 0 0 1] with R a quarter turn about z and t = (1, 2, 3).
        SetField(s.get(), i, "pose",
                 MakeMatrix(4, 4,
                            {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1}));
      } else {
        SetField(s.get(), i, f.c_str(), MakeScalar(10.0 * i + f.size()));
      }
    }
  }
  return s;
}

std::string ReadError(const mxArray* s, int64_t index, Camera* camera) {
  try {
    camera->ReadFromMxStruct(s, index);
  } catch (const ErrorText& error) {
    return error.what();
  }
  return "";
}

const std::vector<std::string> kAll = {"efl", "u0", "v0", "kappa1", "pose"};

TEST(CameraRead, ReadsTheElementAndThePoseRowMajor) {
  ArrayPtr s = CameraArray(3, kAll);
  Camera camera;
  EXPECT_EQ(ReadError(s.get(), 2, &camera), "");
  EXPECT_EQ(camera.efl, 23);
  EXPECT_EQ(camera.u0, 22);
  EXPECT_EQ(camera.kappa1, 26);
  const Mat3 r = camera.R();
  EXPECT_EQ(r[0][1], -1);  // row 1 of [0 -1 0; 1 0 0; 0 0 1]
  EXPECT_EQ(r[1][0], 1);
  const Vec3 t = camera.T();
  EXPECT_EQ(t.x, 1);
  EXPECT_EQ(t.y, 2);
  EXPECT_EQ(t.z, 3);
}

TEST(CameraRead, IndexAndFieldMessagesInOrder) {
  Camera camera;
  ArrayPtr s = CameraArray(3, kAll);
  EXPECT_EQ(ReadError(s.get(), 3, &camera), "indexing element is out of range");
  EXPECT_EQ(ReadError(s.get(), -1, &camera),
            "indexing element is out of range");
  ArrayPtr no_u0_no_pose = CameraArray(1, {"efl", "v0", "kappa1"});
  EXPECT_EQ(ReadError(no_u0_no_pose.get(), 0, &camera),
            "missing internal parameter field in mxArray.");
  ArrayPtr no_pose = CameraArray(1, {"efl", "u0", "v0", "kappa1"});
  EXPECT_EQ(ReadError(no_pose.get(), 0, &camera),
            "missing pose parameter field in mxArray.");
  EXPECT_EQ(ReadError(MakeScalar(1).get(), 0, &camera),
            "camera is not a struct.");
}

TEST(CameraRead, BadValuesAreRejectedBeforeAnythingIsStored) {
  Camera camera;
  camera.efl = 7;
  ArrayPtr s = CameraArray(1, kAll);
  SetField(s.get(), 0, "kappa1", MakeMatrix(0, 0, {}));
  EXPECT_EQ(ReadError(s.get(), 0, &camera),
            "kappa1 in camera is not a real double.");
  SetField(s.get(), 0, "kappa1", ArrayPtr(mxCreateString("x")));
  EXPECT_EQ(ReadError(s.get(), 0, &camera),
            "kappa1 in camera is not a real double.");
  SetField(s.get(), 0, "kappa1", MakeScalar(0));
  SetField(s.get(), 0, "pose", MakeMatrix(3, 5, std::vector<double>(15, 1)));
  EXPECT_EQ(ReadError(s.get(), 0, &camera),
            "pose in camera is not a real double 4 x 4 matrix.");
  SetField(s.get(), 0, "pose",
           ArrayPtr(mxCreateNumericMatrix(4, 4, mxSINGLE_CLASS, mxREAL)));
  EXPECT_EQ(ReadError(s.get(), 0, &camera),
            "pose in camera is not a real double 4 x 4 matrix.");
  ArrayPtr unset = MakeStructArray(1, kAll);  // MATLAB leaves fields null
  EXPECT_EQ(ReadError(unset.get(), 0, &camera),
            "efl in camera is not a real double.");
  EXPECT_EQ(camera.efl, 7);  // untouched
  // Extra elements are ignored: the first is the value.
  SetField(s.get(), 0, "pose", MakeMatrix(4, 4, std::vector<double>(16, 2)));
  SetField(s.get(), 0, "efl", MakeMatrix(1, 3, {5, 6, 7}));
  EXPECT_EQ(ReadError(s.get(), 0, &camera), "");
  EXPECT_EQ(camera.efl, 5);
}

}  // namespace
}  // namespace silhouette
