#include "kestrim/viewing_edge_extractor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "camera/synthetic_scene.h"
#include "geometry/mat4.h"
#include "kestrim/reference/edge_fixture.h"

namespace silhouette {
namespace {

using testing::CamerasAround;
using testing::LookAtCamera;
using testing::MakeViewVec;
using testing::RandomPolyhedron;
using testing::Silhouette;

const double kPi = 3.141592653589793;
const double kNaN = std::numeric_limits<double>::quiet_NaN();

DepthInterval Interval(double lower, double upper) {
  DepthInterval interval;
  interval.empty = false;
  interval.lower = lower;
  interval.upper = upper;
  return interval;
}

// ------------------------------------------------------- IntersectInterval

TEST(IntersectInterval, KeepsTheCommonPart) {
  DepthInterval acc = Interval(1, 5);
  IntersectInterval(&acc, Interval(2, 4));
  EXPECT_FALSE(acc.empty);
  EXPECT_EQ(acc.lower, 2);
  EXPECT_EQ(acc.upper, 4);

  acc = Interval(2, 4);
  IntersectInterval(&acc, Interval(1, 5));
  EXPECT_FALSE(acc.empty);
  EXPECT_EQ(acc.lower, 2);
  EXPECT_EQ(acc.upper, 4);

  acc = Interval(1, 3);
  IntersectInterval(&acc, Interval(2, 6));
  EXPECT_EQ(acc.lower, 2);
  EXPECT_EQ(acc.upper, 3);
  EXPECT_FALSE(acc.empty);
}

TEST(IntersectInterval, DisjointIntervalsGiveEmpty) {
  DepthInterval acc = Interval(1, 2);
  IntersectInterval(&acc, Interval(3, 4));
  EXPECT_TRUE(acc.empty);
  acc = Interval(3, 4);
  IntersectInterval(&acc, Interval(1, 2));
  EXPECT_TRUE(acc.empty);
}

TEST(IntersectInterval, TouchingIntervalsGiveZeroLength) {
  DepthInterval acc = Interval(1, 2);
  IntersectInterval(&acc, Interval(2, 3));
  EXPECT_FALSE(acc.empty);
  EXPECT_EQ(acc.lower, 2);
  EXPECT_EQ(acc.upper, 2);
  acc = Interval(2, 3);
  IntersectInterval(&acc, Interval(1, 2));
  EXPECT_FALSE(acc.empty);
  EXPECT_EQ(acc.lower, 2);
  EXPECT_EQ(acc.upper, 2);
}

TEST(IntersectInterval, AnEmptyOperandGivesEmpty) {
  DepthInterval acc;
  IntersectInterval(&acc, Interval(1, 2));
  EXPECT_TRUE(acc.empty);
  acc = Interval(1, 2);
  IntersectInterval(&acc, DepthInterval());
  EXPECT_TRUE(acc.empty);
  acc = DepthInterval();
  IntersectInterval(&acc, DepthInterval());
  EXPECT_TRUE(acc.empty);
}

TEST(IntersectInterval, NaNBounds) {
  // A NaN upper bound of the other interval is taken over and empties.
  DepthInterval acc = Interval(1, 5);
  IntersectInterval(&acc, Interval(2, kNaN));
  EXPECT_TRUE(acc.empty);
  // A NaN lower bound of the other interval is not taken over.
  acc = Interval(1, 5);
  IntersectInterval(&acc, Interval(kNaN, 4));
  EXPECT_FALSE(acc.empty);
  EXPECT_EQ(acc.lower, 1);
  EXPECT_EQ(acc.upper, 4);
  // A NaN lower bound of acc empties it.
  acc = Interval(kNaN, 5);
  IntersectInterval(&acc, Interval(1, 4));
  EXPECT_TRUE(acc.empty);
  // A NaN upper bound of acc is replaced by the other's.
  acc = Interval(1, kNaN);
  IntersectInterval(&acc, Interval(2, 4));
  EXPECT_FALSE(acc.empty);
  EXPECT_EQ(acc.lower, 2);
  EXPECT_EQ(acc.upper, 4);
}

// ------------------------------------------------------- known geometry

// A camera with the pose [rows; 0 0 0 1]; by default its normalized
// coordinates are (pixel - 500) / 1000.
Camera CameraWithPose(const double rows[3][4], double efl = 1000,
                      double u0 = 500, double v0 = 500) {
  Camera camera;
  camera.efl = efl;
  camera.u0 = u0;
  camera.v0 = v0;
  camera.kappa1 = 0;
  camera.pose = Mat4::kIdentity;
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 4; ++c) camera.pose[r][c] = rows[r][c];
  }
  return camera;
}

// The axis-parallel rectangle |x| <= hx, |y| <= hy around (cx, cy) in
// normalized coordinates, as a pixel boundary of the cameras above.
Polygon2 Rectangle(double cx, double cy, double hx, double hy) {
  Polygon2 boundary;
  for (const Vec2& c : {Vec2(-1, -1), Vec2(1, -1), Vec2(1, 1), Vec2(-1, 1)}) {
    boundary.push_back(
        Vec2(500 + 1000 * (cx + c.x * hx), 500 + 1000 * (cy + c.y * hy)));
  }
  return boundary;
}

// Camera 0 at the origin looking along +z; camera 1 at (10, 0, 10)
// looking along -x; camera 2 at (-10, 0, 10) looking along +x.
const double kPose0[3][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}};
const double kPose1[3][4] = {{0, 0, 1, -10}, {0, 1, 0, 0}, {-1, 0, 0, 10}};
const double kPose2[3][4] = {{0, 0, -1, 10}, {0, 1, 0, 0}, {1, 0, 0, 10}};

std::vector<ViewingEdge> Edges(const ViewSet& set) {
  ViewingEdgeExtractor extractor;
  extractor.ComputeViewingEdges(set);
  return extractor.edges;
}

std::vector<ViewingEdge> Edges(const std::vector<Camera>& cameras,
                               const std::vector<Polygon2>& boundaries) {
  host::ArrayPtr views = MakeViewVec(cameras, boundaries);
  const ViewSet set(views.get());
  return Edges(set);
}

void ExpectNear(const Vec3& actual, const Vec3& expected, double tol) {
  EXPECT_NEAR(actual.x, expected.x, tol);
  EXPECT_NEAR(actual.y, expected.y, tol);
  EXPECT_NEAR(actual.z, expected.z, tol);
}

TEST(ViewingEdgeExtractor, TwoViewsOfKnownGeometry) {
  // View 0 sees the square |x|, |y| <= 0.1; view 1 the rectangle
  // |x| <= 0.1, |y| <= 0.2. The ray of view 0 through (sx 0.1, sy 0.1) is
  // s * (sx 0.1, sy 0.1, 1); its image in view 1 crosses x = -0.1 and
  // x = 0.1 at s = 100/11 and 1100/101 for sx = +1, at s = 900/101 and
  // 100/9 for sx = -1. The half-lines of view 1's rays all miss view 0's
  // square.
  const std::vector<Camera> cameras = {CameraWithPose(kPose0),
                                       CameraWithPose(kPose1)};
  host::ArrayPtr views = MakeViewVec(
      cameras, {Rectangle(0, 0, 0.1, 0.1), Rectangle(0, 0, 0.1, 0.2)});
  const ViewSet set(views.get());
  const std::vector<ViewingEdge> edges = Edges(set);
  ASSERT_EQ(edges.size(), 4u);
  for (int u = 0; u < 4; ++u) {
    const ViewingEdge& edge = edges[u];
    EXPECT_EQ(edge.view, 0);
    const Vec2 p = set.GetView(0).NormalizedHullPoint(u);
    const double near_s = p.x > 0 ? 100.0 / 11 : 900.0 / 101;
    const double far_s = p.x > 0 ? 1100.0 / 101 : 100.0 / 9;
    ExpectNear(edge.near, Vec3(p.x * near_s, p.y * near_s, near_s), 1e-9);
    ExpectNear(edge.far, Vec3(p.x * far_s, p.y * far_s, far_s), 1e-9);
  }
}

TEST(ViewingEdgeExtractor, AViewWhoseHalfLineMissesRemovesTheVertex) {
  // A third view whose silhouette is a small square off every epipolar
  // half-line of view 0's rays: view 0 loses all its edges, whatever
  // view 1 says.
  const std::vector<Camera> cameras = {
      CameraWithPose(kPose0), CameraWithPose(kPose1), CameraWithPose(kPose2)};
  const std::vector<ViewingEdge> edges =
      Edges(cameras, {Rectangle(0, 0, 0.1, 0.1), Rectangle(0, 0, 0.1, 0.2),
                      Rectangle(0.5, 0.5, 0.01, 0.01)});
  for (const ViewingEdge& edge : edges) EXPECT_NE(edge.view, 0);
}

TEST(ViewingEdgeExtractor, DisjointStretchesGiveNoEdge) {
  // In view 2 the ray of view 0 through (0.1, 0.1) crosses the small
  // rectangle around its image at s = 5, far before view 1's stretch
  // [100/11, 1100/101].
  const Polygon2 square = Rectangle(0, 0, 0.1, 0.1);
  const Polygon2 small = Rectangle(10.0 / 21, 1.0 / 21, 0.02, 0.02);
  const std::vector<ViewingEdge> with_view_2 =
      Edges({CameraWithPose(kPose0), CameraWithPose(kPose2)}, {square, small});
  bool found = false;
  for (const ViewingEdge& edge : with_view_2) {
    if (edge.view != 0 || edge.near.x <= 0 || edge.near.y <= 0) continue;
    found = true;
    EXPECT_LT(edge.near.z, 5);
    EXPECT_GT(edge.far.z, 5);
    EXPECT_LT(edge.far.z, 6);
  }
  EXPECT_TRUE(found);

  const std::vector<ViewingEdge> all = Edges(
      {CameraWithPose(kPose0), CameraWithPose(kPose1), CameraWithPose(kPose2)},
      {square, Rectangle(0, 0, 0.1, 0.2), small});
  for (const ViewingEdge& edge : all) EXPECT_NE(edge.view, 0);
}

TEST(ViewingEdgeExtractor, HullBeyondTheVanishingPointGivesNoEdge) {
  // In view 1 the ray of view 0 through (-0.1, 0.1) runs from the epipole
  // (-1, 0) towards its vanishing point (10, 1) and stops there; the
  // rectangle around (12, 1.2) lies on the same half-line beyond it, so
  // both crossings meet the ray behind camera 0. The rays through
  // (0.1, +-0.1) have no vanishing point in front of camera 1 and reach
  // the rectangle at s of about 59 (y > 0 only). (View 1's own rays have
  // their vanishing points inside view 0's square and no far end.)
  const std::vector<ViewingEdge> edges =
      Edges({CameraWithPose(kPose0), CameraWithPose(kPose1)},
            {Rectangle(0, 0, 0.1, 0.1), Rectangle(12, 1.2, 0.5, 0.5)});
  std::vector<ViewingEdge> own;
  for (const ViewingEdge& edge : edges) {
    if (edge.view == 0) own.push_back(edge);
  }
  ASSERT_EQ(own.size(), 1u);
  EXPECT_GT(own[0].near.x, 0);
  EXPECT_GT(own[0].near.y, 0);
  EXPECT_LT(own[0].near.z, 59);
  EXPECT_GT(own[0].far.z, 59);
  EXPECT_LT(own[0].far.z, 61);
}

TEST(ViewingEdgeExtractor, EmptyAndOneViewSetsGiveNoEdges) {
  host::ArrayPtr none = host::MakeStructArray(0, {"camera", "boundary"});
  const ViewSet empty_set(none.get());
  EXPECT_EQ(empty_set.NumViews(), 0);
  EXPECT_TRUE(Edges(empty_set).empty());

  host::ArrayPtr views =
      MakeViewVec({CameraWithPose(kPose0), CameraWithPose(kPose1)},
                  {Rectangle(0, 0, 0.1, 0.1), Rectangle(0, 0, 0.1, 0.2)});
  ViewSet set(views.get());
  set.views.resize(1);
  EXPECT_TRUE(Edges(set).empty());
}

TEST(ViewingEdgeExtractor, AppendsToExistingEdges) {
  host::ArrayPtr views =
      MakeViewVec({CameraWithPose(kPose0), CameraWithPose(kPose1)},
                  {Rectangle(0, 0, 0.1, 0.1), Rectangle(0, 0, 0.1, 0.2)});
  const ViewSet set(views.get());
  ViewingEdgeExtractor extractor;
  extractor.ComputeViewingEdges(set);
  extractor.ComputeViewingEdges(set);
  ASSERT_EQ(extractor.edges.size(), 8u);
  EXPECT_EQ(extractor.edges[4].near.z, extractor.edges[0].near.z);
}

// ------------------------------------------------------- synthetic scenes

struct Scene {
  std::vector<Vec3> vertices;
  std::vector<Camera> cameras;
  std::vector<Polygon2> boundaries;
};

Scene MakeScene(unsigned seed, int num_views, int num_vertices, bool clutter) {
  std::mt19937 rng(seed);
  Scene scene;
  scene.vertices = RandomPolyhedron(&rng, num_vertices, 1.0, 0.7, 0.5,
                                    Vec3(0.1, -0.2, 0.05));
  scene.cameras = CamerasAround(&rng, num_views, 6.0);
  for (const Camera& camera : scene.cameras) {
    scene.boundaries.push_back(
        Silhouette(camera, scene.vertices, &rng, clutter));
  }
  return scene;
}

Vec3 CameraCentre(const Camera& camera) {
  const Mat4 inv = camera.pose.Inverse();
  return Vec3(inv[0][3], inv[1][3], inv[2][3]);
}

// World direction (unit) of the viewing ray through normalized point p.
Vec3 RayDirection(const Camera& camera, const Vec2& p) {
  const Mat3 r = camera.R();
  const Vec3 c(p.x, p.y, 1);
  return Vec3(r.m[0][0] * c.x + r.m[1][0] * c.y + r.m[2][0] * c.z,
              r.m[0][1] * c.x + r.m[1][1] * c.y + r.m[2][1] * c.z,
              r.m[0][2] * c.x + r.m[1][2] * c.y + r.m[2][2] * c.z)
      .Normalized();
}

bool IsFinite(const Vec3& p) {
  return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

double DistanceToLine(const Vec3& x, const Vec3& origin, const Vec3& unit) {
  return (x - origin).Cross(unit).Length();
}

// Smallest signed distance (pixels) of p from the edges of the view's
// counter-clockwise hull: >= 0 inside or on it.
double HullMargin(const View& view, const Vec2& p) {
  const int32_t n = view.NumHullVertices();
  double margin = std::numeric_limits<double>::infinity();
  for (int32_t k = 0; k < n; ++k) {
    const Vec2 a = view.HullPoint(k);
    const Vec2 b = view.HullPoint((k + 1) % n);
    margin = std::min(margin, (b - a).Cross(p - a) / (b - a).Length());
  }
  return margin;
}

double Depth(const Camera& camera, const Vec3& x) {
  return (camera.pose * Vec4::FromPoint(x)).z;
}

// The point of the polyhedron that the silhouette point `pixel` of
// `camera` is the image of: a vertex, or (for a boundary point that the
// hull keeps from the middle of an outline edge) the point of the segment
// between two vertices on the viewing ray. False when there is none.
bool GeneratingPoint(const Scene& scene, const Camera& camera,
                     const Vec2& pixel, const Vec3& centre, const Vec3& dir,
                     Vec3* point) {
  const double kPixelTol = 1e-6;
  std::vector<Vec2> image;
  for (const Vec3& v : scene.vertices) image.push_back(camera.Project(v));
  for (std::size_t k = 0; k < image.size(); ++k) {
    if ((image[k] - pixel).Length() < kPixelTol) {
      *point = scene.vertices[k];
      return true;
    }
  }
  for (std::size_t a = 0; a < image.size(); ++a) {
    for (std::size_t b = a + 1; b < image.size(); ++b) {
      const Vec2 d = image[b] - image[a];
      const double t = (pixel - image[a]).Dot(d) / d.Dot(d);
      if (t <= 0 || t >= 1) continue;
      if ((image[a] + d * t - pixel).Length() > kPixelTol) continue;
      // The point of the segment closest to the viewing ray.
      const Vec3 e = scene.vertices[b] - scene.vertices[a];
      const Vec3 w = scene.vertices[a] - centre;
      const double ee = e.Dot(e), ed = e.Dot(dir), we = w.Dot(e),
                   wd = w.Dot(dir);
      const double s = (ed * wd - we) / (ee - ed * ed);
      *point = scene.vertices[a] + e * s;
      return true;
    }
  }
  return false;
}

// The exact stretch of the ray centre + t dir, t >= 0, whose image lies in
// the view's hull and in front of its camera, by clipping against the
// supporting line of every hull edge; lower > upper when there is none.
struct Stretch {
  double lower;
  double upper;
};

Stretch ReferenceStretch(const View& view, const Vec3& centre,
                         const Vec3& dir) {
  const Mat4& pose = view.camera.pose;
  const Vec4 a4 = pose * Vec4::FromPoint(centre);
  const Vec4 b4 = pose * Vec4(dir.x, dir.y, dir.z, 0);
  const Vec3 a(a4.x, a4.y, a4.z), b(b4.x, b4.y, b4.z);
  Stretch s{0, std::numeric_limits<double>::infinity()};
  // Each condition c0 + t c1 >= 0 (or > 0) narrows [lower, upper].
  auto narrow = [&s](double c0, double c1) {
    if (c1 > 0) {
      s.lower = std::max(s.lower, -c0 / c1);
    } else if (c1 < 0) {
      s.upper = std::min(s.upper, -c0 / c1);
    } else if (c0 < 0) {
      s.upper = -1;
    }
  };
  narrow(a.z, b.z);  // in front of the camera
  const int32_t n = view.NumHullVertices();
  double area = 0;
  for (int32_t k = 0; k < n; ++k) {
    area += view.NormalizedHullPoint(k).Cross(
        view.NormalizedHullPoint((k + 1) % n));
  }
  const double sign = area > 0 ? 1 : -1;
  for (int32_t k = 0; k < n; ++k) {
    const Vec2 p = view.NormalizedHullPoint(k);
    const Vec2 e = view.NormalizedHullPoint((k + 1) % n) - p;
    // sign * cross(e, h.xy / h.z - p) * h.z for h = a + t b.
    const Vec3 line(-e.y * sign, e.x * sign, (e.y * p.x - e.x * p.y) * sign);
    narrow(line.Dot(a), line.Dot(b));
  }
  return s;
}

// Checks every property a consistent scene's edges must have; returns the
// number of edges.
std::size_t CheckSceneProperties(const Scene& scene) {
  host::ArrayPtr views = MakeViewVec(scene.cameras, scene.boundaries);
  const ViewSet set(views.get());
  const std::vector<ViewingEdge> edges = Edges(set);
  const int32_t v = set.NumViews();
  const double scale = 6.0;  // camera distance

  std::size_t next = 0;
  std::size_t missing = 0;
  std::size_t vertices = 0;
  for (int32_t n = 0; n < v; ++n) {
    const View& view = set.GetView(n);
    const Vec3 centre = CameraCentre(view.camera);
    for (int32_t u = 0; u < view.NumHullVertices(); ++u) {
      ++vertices;
      const Vec3 dir = RayDirection(view.camera, view.NormalizedHullPoint(u));
      Vec3 p;
      EXPECT_TRUE(GeneratingPoint(scene, view.camera, view.HullPoint(u), centre,
                                  dir, &p))
          << "view " << n << " vertex " << u;
      EXPECT_LT(DistanceToLine(p, centre, dir), 1e-9 * scale);

      // The edge of this vertex, if any, comes next in the output.
      // A far end at infinity (the ray never leaves the other
      // silhouettes) is not finite.
      const bool has_edge =
          next < edges.size() && edges[next].view == n &&
          DistanceToLine(edges[next].near, centre, dir) < 1e-9 * scale &&
          (!IsFinite(edges[next].far) ||
           DistanceToLine(edges[next].far, centre, dir) < 1e-9 * scale);
      double p_margin = std::numeric_limits<double>::infinity();
      for (int32_t j = 0; j < v; ++j) {
        if (j == n) continue;
        p_margin = std::min(
            p_margin,
            HullMargin(set.GetView(j), set.GetView(j).camera.Project(p)));
      }
      if (!has_edge) {
        // Only a vertex whose point lies on another view's outline (within
        // the hull tolerance) may lose its edge through rounding.
        EXPECT_LT(p_margin, 0.01) << "view " << n << " vertex " << u;
        ++missing;
        continue;
      }
      const ViewingEdge& edge = edges[next++];
      const double t_near = (edge.near - centre).Dot(dir);
      const double t_far = (edge.far - centre).Dot(dir);
      const double t_p = (p - centre).Dot(dir);

      // The edge is the common part of the exact stretches.
      Stretch common{0, std::numeric_limits<double>::infinity()};
      for (int32_t j = 0; j < v; ++j) {
        if (j == n) continue;
        const Stretch s = ReferenceStretch(set.GetView(j), centre, dir);
        common.lower = std::max(common.lower, s.lower);
        common.upper = std::min(common.upper, s.upper);
      }
      EXPECT_NEAR(t_near, common.lower, 1e-6 * scale);
      if (std::isinf(common.upper)) {
        EXPECT_FALSE(IsFinite(edge.far));
      } else {
        EXPECT_NEAR(t_far, common.upper, 1e-6 * scale);
        EXPECT_LE(t_near, t_far);
        EXPECT_LE(t_p, t_far + 1e-6 * scale) << "view " << n << " vertex " << u;
      }
      EXPECT_GE(t_near, -1e-9 * scale);
      EXPECT_GE(t_p, t_near - 1e-6 * scale) << "view " << n << " vertex " << u;
      for (int32_t j = 0; j < v; ++j) {
        if (j == n) continue;
        const View& other = set.GetView(j);
        for (const Vec3& end : {edge.near, edge.far}) {
          if (!IsFinite(end)) continue;
          EXPECT_GT(Depth(other.camera, end), 0);
          EXPECT_GE(HullMargin(other, other.camera.Project(end)), -1e-5)
              << "view " << n << " vertex " << u << " in view " << j;
        }
      }
    }
  }
  EXPECT_EQ(next, edges.size()) << "edges out of hull order or off their rays";
  // Most vertices keep their edge.
  EXPECT_LE(missing * 4, vertices * 3);
  return edges.size();
}

TEST(ViewingEdgeExtractor, RandomScenesHaveConsistentEdges) {
  std::size_t total_edges = 0;
  std::size_t total_vertices = 0;
  for (unsigned seed = 1; seed <= 12; ++seed) {
    const int num_views = 3 + static_cast<int>(seed % 6);
    const int num_vertices = 10 + 5 * static_cast<int>(seed);
    const Scene scene = MakeScene(seed, num_views, num_vertices, seed % 2 == 0);
    SCOPED_TRACE(seed);
    total_edges += CheckSceneProperties(scene);
    for (const Polygon2& b : scene.boundaries) total_vertices += b.size();
  }
  EXPECT_GT(total_edges, 0u);
}

TEST(ViewingEdgeExtractor, OppositeCamerasSeeEachOtherInsideTheSilhouette) {
  // Each camera centre of an opposite pair projects to the other's
  // principal point, inside the silhouette: the index works with the
  // epipole inside the hull.
  std::mt19937 rng(42);
  Scene scene;
  scene.vertices = RandomPolyhedron(&rng, 30, 1.0, 0.8, 0.6, Vec3(0, 0, 0));
  const Vec3 dirs[] = {{1, 0.2, 0.1}, {0.1, 1, -0.3}, {-0.2, 0.3, 1}};
  for (const Vec3& d : dirs) {
    const Vec3 c = d.Normalized() * 6.0;
    scene.cameras.push_back(LookAtCamera(c, Vec3(0, 0, 0), 800, 320, 240));
    scene.cameras.push_back(LookAtCamera(-c, Vec3(0, 0, 0), 800, 320, 240));
  }
  for (const Camera& camera : scene.cameras) {
    scene.boundaries.push_back(Silhouette(camera, scene.vertices, &rng, true));
  }
  EXPECT_GT(CheckSceneProperties(scene), 0u);

  // Two opposite views alone: every stretch starts at the camera centre,
  // which projects inside the other silhouette.
  Scene pair = scene;
  pair.cameras.resize(2);
  pair.boundaries.resize(2);
  host::ArrayPtr views = MakeViewVec(pair.cameras, pair.boundaries);
  const ViewSet set(views.get());
  const std::vector<ViewingEdge> edges = Edges(set);
  EXPECT_EQ(edges.size(),
            static_cast<std::size_t>(set.GetView(0).NumHullVertices() +
                                     set.GetView(1).NumHullVertices()));
  for (const ViewingEdge& edge : edges) {
    const Vec3 centre = CameraCentre(pair.cameras[edge.view]);
    EXPECT_LT((edge.near - centre).Length(), 1e-5);
  }
  CheckSceneProperties(pair);
}

TEST(ViewingEdgeExtractor, RayStayingInsideAnotherSilhouetteHasNoFarEnd) {
  // Two cameras 4 degrees apart: the vanishing point of each ray's image
  // in the other view lies inside the silhouette, so the ray enters the
  // other silhouette's cone and never leaves it.
  std::mt19937 rng(8);
  Scene scene;
  scene.vertices = RandomPolyhedron(&rng, 30, 1.0, 0.8, 0.6, Vec3(0, 0, 0));
  const double a = 4 * kPi / 180;
  scene.cameras = {LookAtCamera(Vec3(6, 0, 0.3), Vec3(0, 0, 0), 800, 320, 240),
                   LookAtCamera(Vec3(6 * std::cos(a), 6 * std::sin(a), 0.3),
                                Vec3(0, 0, 0), 800, 320, 240)};
  for (const Camera& camera : scene.cameras) {
    scene.boundaries.push_back(Silhouette(camera, scene.vertices));
  }
  host::ArrayPtr views = MakeViewVec(scene.cameras, scene.boundaries);
  const ViewSet set(views.get());
  const std::vector<ViewingEdge> edges = Edges(set);
  std::size_t unbounded = 0;
  for (const ViewingEdge& edge : edges) {
    EXPECT_TRUE(IsFinite(edge.near));
    unbounded += IsFinite(edge.far) ? 0 : 1;
  }
  EXPECT_GT(unbounded, 0u);
  EXPECT_LT(unbounded, edges.size());
  CheckSceneProperties(scene);
}

// ------------------------------------------------------- degenerate views

Scene ShiftedScene(unsigned seed, int num_views) {
  // An object around (0, 0, 12) and cameras around it, the last one at the
  // world origin.
  std::mt19937 rng(seed);
  Scene scene;
  const Vec3 target(0, 0, 12);
  scene.vertices = RandomPolyhedron(&rng, 25, 1.0, 0.8, 0.6, target);
  std::vector<Camera> around = CamerasAround(&rng, num_views - 1, 12.0);
  for (Camera& camera : around) {
    const Vec3 c = CameraCentre(camera) + target;
    scene.cameras.push_back(LookAtCamera(c, target, 800, 320, 240));
  }
  scene.cameras.push_back(LookAtCamera(Vec3(0, 0, 0), target, 800, 320, 240));
  for (const Camera& camera : scene.cameras) {
    scene.boundaries.push_back(Silhouette(camera, scene.vertices));
  }
  return scene;
}

TEST(ViewingEdgeExtractor, SingularPoseGivesNoEdgesOfItsOwn) {
  const Scene scene = ShiftedScene(5, 4);
  host::ArrayPtr views = MakeViewVec(scene.cameras, scene.boundaries);
  const ViewSet set(views.get());
  const std::vector<ViewingEdge> regular = Edges(set);
  std::size_t own = 0;
  for (const ViewingEdge& edge : regular) own += edge.view == 3 ? 1 : 0;
  ASSERT_GT(own, 0u);

  // A fourth pose row of zeros: |det| = 0, so the inverse is the zero
  // matrix and the centre is taken as the origin, where camera 3 is.
  ViewSet singular = set;
  for (int c = 0; c < 4; ++c) singular.views[3].camera.pose[3][c] = 0;
  ASSERT_EQ(singular.views[3].camera.pose.Inverse()[0][0], 0.0);
  const std::vector<ViewingEdge> edges = Edges(singular);
  ASSERT_EQ(edges.size(), regular.size() - own);
  for (std::size_t i = 0; i < edges.size(); ++i) {
    EXPECT_NE(edges[i].view, 3);
    EXPECT_EQ(edges[i].view, regular[i].view);
    ExpectNear(edges[i].near, regular[i].near, 1e-9);
    ExpectNear(edges[i].far, regular[i].far, 1e-9);
  }
}

TEST(ViewingEdgeExtractor, CoincidentCentresRemoveEachOthersEdges) {
  std::mt19937 rng(11);
  Scene scene;
  scene.vertices = RandomPolyhedron(&rng, 25, 1.0, 0.8, 0.6, Vec3(0, 0, 0));
  // Cameras 0 and 1 both at (6, 0, 0) looking at the origin, one rolled by
  // a quarter turn. Their poses invert exactly, so each centre lies exactly
  // in the other's centre and the epipoles are 0/0.
  const double rows0[3][4] = {{0, 1, 0, 0}, {0, 0, -1, 0}, {-1, 0, 0, 6}};
  const double rows1[3][4] = {{0, 0, 1, 0}, {0, 1, 0, 0}, {-1, 0, 0, 6}};
  scene.cameras = {
      CameraWithPose(rows0, 800, 320, 240),
      CameraWithPose(rows1, 700, 300, 250),
      LookAtCamera(Vec3(0.2, 6, 0.5), Vec3(0, 0, 0), 800, 320, 240),
      LookAtCamera(Vec3(-0.5, 0.3, 6), Vec3(0, 0, 0), 800, 320, 240)};
  ASSERT_EQ(CameraCentre(scene.cameras[0]).x, 6.0);
  ASSERT_EQ(CameraCentre(scene.cameras[1]).x, 6.0);
  for (const Camera& camera : scene.cameras) {
    scene.boundaries.push_back(Silhouette(camera, scene.vertices));
  }
  const std::vector<ViewingEdge> edges = Edges(scene.cameras, scene.boundaries);
  for (const ViewingEdge& edge : edges) EXPECT_GE(edge.view, 2);
  EXPECT_GT(edges.size(), 0u);

  // Without the shared centre both views have edges.
  scene.cameras.erase(scene.cameras.begin() + 1);
  scene.boundaries.erase(scene.boundaries.begin() + 1);
  std::size_t first_view = 0;
  for (const ViewingEdge& edge : Edges(scene.cameras, scene.boundaries)) {
    first_view += edge.view == 0 ? 1 : 0;
  }
  EXPECT_GT(first_view, 0u);
}

// Recomputes the normalized boundary after a change of camera.
void Renormalize(View* view) {
  for (std::size_t k = 0; k < view->boundary.size(); ++k) {
    view->normalizedBoundary[k] =
        view->camera.ImageToNormalized(view->boundary[k]);
  }
}

TEST(ViewingEdgeExtractor, HullOfOneVertexRemovesTheOtherViewsEdges) {
  const Scene scene = MakeScene(21, 4, 25, false);
  host::ArrayPtr views = MakeViewVec(scene.cameras, scene.boundaries);
  const ViewSet full(views.get());
  ASSERT_GT(Edges(full).size(), 0u);
  ViewSet set = full;
  set.views[2].hull.resize(1);
  const std::vector<ViewingEdge> edges = Edges(set);
  EXPECT_LE(edges.size(), 1u);
  for (const ViewingEdge& edge : edges) EXPECT_EQ(edge.view, 2);

  // A view without any hull vertex contributes no ray either.
  set.views[2].hull.clear();
  EXPECT_TRUE(Edges(set).empty());
}

TEST(ViewingEdgeExtractor, NaNCameraParameterGivesNoEdges) {
  const Scene scene = MakeScene(22, 4, 25, false);
  host::ArrayPtr views = MakeViewVec(scene.cameras, scene.boundaries);
  const ViewSet full(views.get());
  ASSERT_GT(Edges(full).size(), 0u);

  ViewSet nan_efl = full;
  nan_efl.views[1].camera.efl = kNaN;
  Renormalize(&nan_efl.views[1]);
  EXPECT_TRUE(Edges(nan_efl).empty());

  ViewSet nan_u0 = full;
  nan_u0.views[0].camera.u0 = kNaN;
  Renormalize(&nan_u0.views[0]);
  EXPECT_TRUE(Edges(nan_u0).empty());

  ViewSet nan_pose = full;
  nan_pose.views[3].camera.pose[1][2] = kNaN;
  EXPECT_TRUE(Edges(nan_pose).empty());
}

// ------------------------------------------- cameras at any distance

// `count` points of the outline of the sphere of `radius` around `centre`
// seen by `camera` (its rim circle, projected), from the start angle
// `phase`. No point of one view's outline is on another's, so no ray
// grazes a silhouette.
Polygon2 SphereOutline(const Camera& camera, const Vec3& centre,
                       double radius, int count, double phase) {
  const Vec3 c = CameraCentre(camera) - centre;
  const double d = c.Length();
  const Vec3 n = c * (1 / d);
  const Vec3 helper = std::abs(n.x) < 0.9 ? Vec3(1, 0, 0) : Vec3(0, 1, 0);
  const Vec3 e1 = n.Cross(helper).Normalized();
  const Vec3 e2 = n.Cross(e1);
  const Vec3 rim_centre = centre + n * (radius * radius / d);
  const double rim_radius = radius * std::sqrt(1 - radius * radius / (d * d));
  Polygon2 outline;
  for (int k = 0; k < count; ++k) {
    const double theta = phase + 2 * kPi * k / count;
    outline.push_back(camera.Project(
        rim_centre +
        (e1 * std::cos(theta) + e2 * std::sin(theta)) * rim_radius));
  }
  return outline;
}

// Counts of a comparison with the plain reference clip.
struct ReferenceCounts {
  std::size_t edges = 0;
  // Edges of a view some of whose rays' clips hinge on a camera centre
  // behind another camera's image plane.
  std::size_t behindPairs = 0;
};

// Compares the edges of the set, vertex by vertex, with the common part of
// ReferenceStretch over the other views: an edge exactly where the
// reference is not empty, its ends within 1e-9 of `size` (relative to the
// distance along the ray), a far end that is not finite exactly where the
// reference has none. Stretches shorter than 1e-9 of `size` may go either
// way and are skipped.
ReferenceCounts CompareWithReference(const std::vector<Camera>& cameras,
                                     const std::vector<Polygon2>& boundaries,
                                     double size) {
  host::ArrayPtr views = MakeViewVec(cameras, boundaries);
  const ViewSet set(views.get());
  const std::vector<ViewingEdge> edges = Edges(set);
  const int32_t v = set.NumViews();
  const double tol = 1e-9 * size;
  ReferenceCounts counts;
  for (int32_t a = 0; a < v; ++a) {
    for (int32_t b = 0; b < v; ++b) {
      if (a != b && Depth(cameras[a], CameraCentre(cameras[b])) < 0) {
        ++counts.behindPairs;
      }
    }
  }
  std::size_t next = 0;
  for (int32_t n = 0; n < v; ++n) {
    const View& view = set.GetView(n);
    const Vec3 centre = CameraCentre(view.camera);
    for (int32_t u = 0; u < view.NumHullVertices(); ++u) {
      SCOPED_TRACE(::testing::Message() << "view " << n << " vertex " << u);
      const Vec3 dir = RayDirection(view.camera, view.NormalizedHullPoint(u));
      Stretch common{0, std::numeric_limits<double>::infinity()};
      for (int32_t j = 0; j < v; ++j) {
        if (j == n) continue;
        const Stretch s = ReferenceStretch(set.GetView(j), centre, dir);
        common.lower = std::max(common.lower, s.lower);
        common.upper = std::min(common.upper, s.upper);
      }
      const bool has_edge =
          next < edges.size() && edges[next].view == n &&
          DistanceToLine(edges[next].near, centre, dir) < tol;
      const double gap = common.upper - common.lower;
      if (std::abs(gap) <= tol * std::max(1.0, common.lower)) {
        if (has_edge) ++next;
        continue;
      }
      EXPECT_EQ(has_edge, gap > 0);
      if (!has_edge || !(gap > 0)) continue;
      const ViewingEdge& edge = edges[next++];
      ++counts.edges;
      const double scale = std::max(1.0, common.lower);
      EXPECT_NEAR((edge.near - centre).Dot(dir), common.lower, tol * scale);
      if (std::isinf(common.upper)) {
        EXPECT_FALSE(IsFinite(edge.far));
      } else {
        EXPECT_TRUE(IsFinite(edge.far));
        EXPECT_LT(DistanceToLine(edge.far, centre, dir), tol * common.upper);
        EXPECT_NEAR((edge.far - centre).Dot(dir), common.upper,
                    tol * std::max(1.0, common.upper));
      }
    }
  }
  EXPECT_EQ(next, edges.size()) << "edges out of hull order or off their rays";
  return counts;
}

// Cameras looking at the unit sphere's centre from `count` directions at
// least `min_deg` and at most `max_deg` degrees apart (each from the one
// before), at distances from 2.5 to 12 radii, with focal lengths from 300
// to 1500 pixels.
std::vector<Camera> SpreadRig(std::mt19937* rng, int count, double min_deg,
                              double max_deg) {
  std::uniform_real_distribution<double> distance(2.5, 12);
  std::uniform_real_distribution<double> efl(300, 1500);
  std::uniform_real_distribution<double> unit(0, 1);
  std::normal_distribution<double> normal(0, 1);
  std::vector<Camera> cameras;
  Vec3 dir = Vec3(normal(*rng), normal(*rng), normal(*rng)).Normalized();
  for (int k = 0; k < count; ++k) {
    if (k > 0) {
      // Turn the last direction by an angle in [min_deg, max_deg] about a
      // random axis perpendicular to it.
      const Vec3 axis = dir.Cross(Vec3(normal(*rng), normal(*rng),
                                       normal(*rng))).Normalized();
      const double angle =
          (min_deg + (max_deg - min_deg) * unit(*rng)) * kPi / 180;
      dir = (dir * std::cos(angle) + axis.Cross(dir) * std::sin(angle))
                .Normalized();
    }
    cameras.push_back(LookAtCamera(dir * distance(*rng), Vec3(0, 0, 0),
                                   efl(*rng), 320, 240));
  }
  return cameras;
}

TEST(ViewingEdgeExtractor, CamerasAtAnyDistanceMatchThePlainClip) {
  // Random rigs of 3 to 8 cameras at 2.5 to 12 radii, 15 to 150 degrees
  // apart. Most have a camera centre behind another camera's image plane,
  // which the law of sines got wrong.
  std::size_t edges = 0;
  std::size_t behind = 0;
  for (unsigned seed = 1; seed <= 24; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 rng(500 + seed);
    const std::vector<Camera> cameras =
        SpreadRig(&rng, 3 + static_cast<int>(seed % 6), 15, 150);
    std::vector<Polygon2> boundaries;
    std::uniform_real_distribution<double> phase(0, 2 * kPi);
    for (const Camera& camera : cameras) {
      boundaries.push_back(
          SphereOutline(camera, Vec3(0, 0, 0), 1.0, 40, phase(rng)));
    }
    const ReferenceCounts counts = CompareWithReference(cameras, boundaries, 12);
    edges += counts.edges;
    behind += counts.behindPairs > 0 ? 1 : 0;
  }
  EXPECT_GT(edges, 1000u);
  EXPECT_GE(behind, 12u);
}

TEST(ViewingEdgeExtractor, CamerasCloseToTheObjectMatchThePlainClip) {
  // Cameras 1.2 to 1.6 radii from the centre see the sphere under 80 to
  // 110 degrees: wide silhouettes, epipoles far outside them or behind.
  for (unsigned seed = 1; seed <= 6; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 rng(700 + seed);
    std::uniform_real_distribution<double> distance(1.2, 1.6);
    std::vector<Camera> cameras = CamerasAround(&rng, 4, 1.0);
    std::vector<Polygon2> boundaries;
    for (Camera& camera : cameras) {
      camera = LookAtCamera(CameraCentre(camera) * distance(rng),
                            Vec3(0, 0, 0), 300, 320, 240);
      boundaries.push_back(
          SphereOutline(camera, Vec3(0, 0, 0), 1.0, 36, 0.1 * seed));
    }
    EXPECT_GT(CompareWithReference(cameras, boundaries, 1.6).edges, 0u);
  }
}

TEST(ViewingEdgeExtractor, OppositeCamerasAtDifferentDistancesMatchThePlainClip) {
  // Opposite pairs at 3 and 9 radii: each centre projects inside the other
  // silhouette (the index leaves such pairs to the plain clip), and the
  // near camera of one pair lies behind the image plane of cameras of the
  // other.
  std::vector<Camera> cameras;
  std::vector<Polygon2> boundaries;
  const Vec3 dirs[] = {Vec3(1, 0.2, 0.1), Vec3(-0.6, 0.8, 0.2)};
  for (const Vec3& d : dirs) {
    const Vec3 c = d.Normalized();
    cameras.push_back(LookAtCamera(c * 3, Vec3(0, 0, 0), 400, 320, 240));
    cameras.push_back(LookAtCamera(c * -9, Vec3(0, 0, 0), 1200, 320, 240));
  }
  for (std::size_t k = 0; k < cameras.size(); ++k) {
    boundaries.push_back(
        SphereOutline(cameras[k], Vec3(0, 0, 0), 1.0, 48, 0.3 * k));
  }
  const ReferenceCounts counts = CompareWithReference(cameras, boundaries, 9);
  EXPECT_GT(counts.edges, 100u);
  EXPECT_GT(counts.behindPairs, 0u);
}

TEST(ViewingEdgeExtractor, RaysPassingBehindACamera) {
  // Camera 0 at the origin looking along +z sees the square |x|, |y| <=
  // 0.1; camera 1 at (0, 0, -10), behind it, looks at (0.3, 0.2, 0)
  // (straight along the same axis the set's reference point could not be
  // found). Camera 1's rays cross camera 0's principal plane before they
  // can reach its silhouette: every edge of view 1 starts in front of
  // camera 0, and view 0's edges end where camera 1's cone closes. The
  // law of sines took the direction to camera 1 the wrong way here.
  const std::vector<Camera> cameras = {
      CameraWithPose(kPose0),
      LookAtCamera(Vec3(0, 0, -10), Vec3(0.3, 0.2, 0), 1000, 500, 500)};
  const std::vector<Polygon2> boundaries = {Rectangle(0, 0, 0.1, 0.1),
                                            Rectangle(0.02, 0, 0.05, 0.04)};
  ASSERT_LT(Depth(cameras[0], CameraCentre(cameras[1])), 0);
  const ReferenceCounts counts = CompareWithReference(cameras, boundaries, 10);
  EXPECT_GT(counts.edges, 4u);
  host::ArrayPtr views = MakeViewVec(cameras, boundaries);
  const ViewSet set(views.get());
  std::size_t own[2] = {0, 0};
  for (const ViewingEdge& edge : Edges(set)) {
    ++own[edge.view];
    if (edge.view == 1) {
      EXPECT_GT(edge.near.z, 0);
    }
  }
  EXPECT_GT(own[0], 0u);
  EXPECT_GT(own[1], 0u);

  // Moved 3 units sideways, camera 1's centre projects outside camera 0's
  // square (the index answers), still behind its image plane.
  const std::vector<Camera> shifted = {
      CameraWithPose(kPose0),
      LookAtCamera(Vec3(3, 0, -10), Vec3(0.3, 0.2, 0), 1000, 500, 500)};
  ASSERT_LT(Depth(shifted[0], CameraCentre(shifted[1])), 0);
  EXPECT_GT(CompareWithReference(shifted, boundaries, 10).edges, 4u);
}

TEST(ViewingEdgeExtractor, BoxSeenFromThreeDistances) {
  // The box with half-sizes (1, 0.8, 0.6) seen from the directions
  // (sin a, 0.3, cos a) at a = 0, 20 and 80 degrees, at distances 3, 10
  // and 6, focal lengths 300, 1000 and 600. Clipping each hull vertex's
  // ray by hand against the two other silhouettes leaves 3, 1 and 3 edges
  // of positive length; the others are single points at frontier corners
  // or missing by rounding.
  std::vector<Vec3> corners;
  for (int i = 0; i < 8; ++i) {
    corners.push_back(Vec3(i & 1 ? 1 : -1, i & 2 ? 0.8 : -0.8,
                           i & 4 ? 0.6 : -0.6));
  }
  const double deg[3] = {0, 20, 80};
  const double dist[3] = {3, 10, 6};
  const double efl[3] = {300, 1000, 600};
  std::vector<Camera> cameras;
  std::vector<Polygon2> boundaries;
  for (int k = 0; k < 3; ++k) {
    const double a = deg[k] * kPi / 180;
    const Vec3 d = Vec3(std::sin(a), 0.3, std::cos(a)).Normalized();
    cameras.push_back(LookAtCamera(d * dist[k], Vec3(0, 0, 0), efl[k], 320, 240));
    boundaries.push_back(Silhouette(cameras.back(), corners));
  }
  host::ArrayPtr views = MakeViewVec(cameras, boundaries);
  const ViewSet set(views.get());
  int positive[3] = {0, 0, 0};
  for (const ViewingEdge& edge : Edges(set)) {
    if ((edge.far - edge.near).Length() > 1e-9) ++positive[edge.view];
    for (int32_t j = 0; j < 3; ++j) {
      if (j == edge.view) continue;
      for (const Vec3& end : {edge.near, edge.far}) {
        EXPECT_GT(Depth(cameras[j], end), 0);
        EXPECT_GE(HullMargin(set.GetView(j), cameras[j].Project(end)), -1e-6);
      }
    }
  }
  EXPECT_EQ(positive[0], 3);
  EXPECT_EQ(positive[1], 1);
  EXPECT_EQ(positive[2], 3);
  CompareWithReference(cameras, boundaries, 10);
}

// A rigid motion X' = R X + t as a 4 x 4 matrix.
Mat4 Motion(const Vec3& axis, double degrees, const Vec3& t) {
  const Vec3 u = axis.Normalized();
  const double a = degrees * kPi / 180;
  const double c = std::cos(a), s = std::sin(a);
  const double k[3][3] = {{0, -u.z, u.y}, {u.z, 0, -u.x}, {-u.y, u.x, 0}};
  const double uu[3] = {u.x, u.y, u.z};
  Mat4 m = Mat4::kIdentity;
  for (int r = 0; r < 3; ++r) {
    for (int q = 0; q < 3; ++q) {
      m[r][q] = (r == q ? c : 0) + s * k[r][q] + (1 - c) * uu[r] * uu[q];
    }
  }
  m[0][3] = t.x;
  m[1][3] = t.y;
  m[2][3] = t.z;
  return m;
}

TEST(ViewingEdgeExtractor, TwoSetsMergedIntoOneFrame) {
  // Set A around the object at 5 radii; set B calibrated in its own frame
  // at 9 to 11 radii, then placed into A's frame by the motion between the
  // frames (as after a pose solve: pose_A = pose_B * inverse(motion)). The
  // union has centres behind other cameras' image planes; its edges match
  // the plain clip, and each still passes the object.
  std::mt19937 rng(31);
  const std::vector<Vec3> object_a =
      RandomPolyhedron(&rng, 40, 1.0, 0.8, 0.6, Vec3(0.2, 0.1, -0.1));
  const Mat4 b_to_a = Motion(Vec3(0.3, -0.5, 0.8), 20, Vec3(0.7, -0.4, 0.3));
  const Mat4 a_to_b = b_to_a.Inverse();
  std::vector<Vec3> object_b;
  for (const Vec3& x : object_a) {
    object_b.push_back((a_to_b * Vec4::FromPoint(x)).ToVec3());
  }
  std::vector<Camera> cameras = CamerasAround(&rng, 4, 5.0);
  std::uniform_real_distribution<double> distance(9, 11);
  const Vec3 centre_b = (a_to_b * Vec4(0.2, 0.1, -0.1, 1)).ToVec3();
  std::vector<Camera> set_b = CamerasAround(&rng, 4, 1.0);
  for (Camera& camera : set_b) {
    camera = LookAtCamera(centre_b + CameraCentre(camera) * distance(rng),
                          centre_b, 1500, 320, 240);
  }
  std::vector<Polygon2> boundaries;
  for (const Camera& camera : cameras) {
    boundaries.push_back(Silhouette(camera, object_a, &rng, true));
  }
  for (Camera camera : set_b) {
    // The silhouette is taken in B's frame, the pose then moved to A's.
    boundaries.push_back(Silhouette(camera, object_b, &rng, true));
    camera.pose = camera.pose * a_to_b;
    cameras.push_back(camera);
  }
  const ReferenceCounts counts = CompareWithReference(cameras, boundaries, 11);
  EXPECT_GT(counts.edges, 20u);
  EXPECT_GT(counts.behindPairs, 0u);

  Scene scene;
  scene.vertices = object_a;
  scene.cameras = cameras;
  scene.boundaries = boundaries;
  CheckSceneProperties(scene);
}

TEST(ViewingEdgeExtractor, EpipoleAtInfinityIsClippedByEveryEdge) {
  // Camera 1 at (10, 0, 0), in camera 0's principal plane z = 0, looking
  // along -x: its epipole in view 0 is at infinity. View 0's rays are
  // clipped by every edge of view 1, as the plain clip does.
  const double side[3][4] = {{0, 0, 1, 0}, {0, 1, 0, 0}, {-1, 0, 0, 10}};
  const std::vector<Camera> cameras = {CameraWithPose(kPose0),
                                       CameraWithPose(side)};
  host::ArrayPtr views = MakeViewVec(
      cameras, {Rectangle(0, 0, 0.1, 0.1), Rectangle(0.4, 0, 0.1, 0.1)});
  const ViewSet set(views.get());
  // The epipole of camera 1 in view 0 really is not finite.
  const Vec4 c1 = cameras[0].pose * Vec4(10, 0, 0, 1);
  ASSERT_EQ(c1.z, 0.0);
  const ReferenceCounts counts = CompareWithReference(
      cameras, {Rectangle(0, 0, 0.1, 0.1), Rectangle(0.4, 0, 0.1, 0.1)}, 10);
  EXPECT_GT(counts.edges, 0u);
  for (const ViewingEdge& edge : Edges(set)) {
    EXPECT_TRUE(IsFinite(edge.near));
  }
}

// ------------------------------------------------ the previous release

// The edges longer than `length`, in their order.
std::vector<ViewingEdge> LongerThan(const std::vector<ViewingEdge>& edges,
                                    double length) {
  std::vector<ViewingEdge> longer;
  for (const ViewingEdge& edge : edges) {
    if (!((edge.far - edge.near).Length() <= length)) longer.push_back(edge);
  }
  return longer;
}

// The fixture holds rigs on which every camera centre lies in front of
// every other camera, with the edges the previous release computed for
// them. There the edges of positive length are the same, in the same
// order, and every end point agrees within 1e-9 of the rig's size (a far
// end at infinity stays not finite). Edges of length 0 come from rays
// through frontier points that only graze another silhouette: both
// releases keep or drop them as rounding falls, so each one kept now is
// checked to be such a point instead.
TEST(ViewingEdgeExtractor, MatchesThePreviousReleaseWhereItWasRight) {
  const std::vector<FixtureRig> rigs = ReadEdgeFixture(PreviousEdgesPath());
  ASSERT_GE(rigs.size(), 10u);
  std::size_t compared = 0;
  for (const FixtureRig& rig : rigs) {
    SCOPED_TRACE(rig.name);
    double size = 0;
    for (const Camera& camera : rig.cameras) {
      size = std::max(size, CameraCentre(camera).Length());
    }
    const double tol = 1e-9 * size;
    host::ArrayPtr views = MakeViewVec(rig.cameras, rig.boundaries);
    const ViewSet set(views.get());
    const std::vector<ViewingEdge> all = Edges(set);
    const std::vector<ViewingEdge> now = LongerThan(all, tol);
    const std::vector<ViewingEdge> then = LongerThan(rig.edges, tol);
    ASSERT_EQ(now.size(), then.size());
    for (std::size_t k = 0; k < now.size(); ++k) {
      EXPECT_EQ(now[k].view, then[k].view) << "edge " << k;
      EXPECT_LE((now[k].near - then[k].near).Length(), tol) << "edge " << k;
      ASSERT_EQ(IsFinite(now[k].far), IsFinite(then[k].far)) << "edge " << k;
      if (IsFinite(then[k].far)) {
        EXPECT_LE((now[k].far - then[k].far).Length(), tol) << "edge " << k;
      }
    }
    compared += now.size();

    for (const ViewingEdge& edge : all) {
      if ((edge.far - edge.near).Length() > tol) continue;
      // In front of and within every other silhouette, on the outline of
      // at least one.
      double closest = std::numeric_limits<double>::infinity();
      for (int32_t j = 0; j < set.NumViews(); ++j) {
        if (j == edge.view) continue;
        const View& other = set.GetView(j);
        EXPECT_GT(Depth(other.camera, edge.near), 0);
        const double margin =
            HullMargin(other, other.camera.Project(edge.near));
        EXPECT_GE(margin, -1e-6);
        closest = std::min(closest, margin);
      }
      EXPECT_LT(closest, 1e-6) << "a point edge inside every silhouette";
    }
  }
  EXPECT_GT(compared, 600u);
}

}  // namespace
}  // namespace silhouette
