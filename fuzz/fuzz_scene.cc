#include "fuzz/fuzz_scene.h"

#include <cmath>
#include <cstdint>

namespace silhouette {
namespace fuzz {
namespace {

constexpr double kPi = 3.141592653589793;

struct V3 {
  double x, y, z;
};

V3 Sub(const V3& a, const V3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V3 Cross(const V3& a, const V3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Dot(const V3& a, const V3& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
V3 Unit(const V3& a) {
  const double length = std::sqrt(Dot(a, a));
  return {a.x / length, a.y / length, a.z / length};
}

// A signed byte as a fraction in [-0.5, 0.5).
double Fraction(FuzzInput* in) {
  return static_cast<int8_t>(in->Byte()) / 256.0;
}

// pose = [R, -R c; 0 0 0 1] with R's rows the camera axes: z towards the
// target, x across, y completing a right-handed frame (image y downwards).
void LookAt(const V3& centre, const V3& target, double pose[16]) {
  const V3 z = Unit(Sub(target, centre));
  V3 across = Cross(z, V3{0, 0, 1});
  if (!(Dot(across, across) > 1e-12)) across = Cross(z, V3{0, 1, 0});
  const V3 x = Unit(across);
  const V3 y = Cross(z, x);
  const V3 rows[3] = {x, y, z};
  for (int r = 0; r < 3; ++r) {
    pose[r + 0] = rows[r].x;
    pose[r + 4] = rows[r].y;
    pose[r + 8] = rows[r].z;
    pose[r + 12] = -Dot(rows[r], centre);
  }
  pose[3] = pose[7] = pose[11] = 0;
  pose[15] = 1;
}

// c = a * b, 4 x 4 column-major.
void Multiply(const double a[16], const double b[16], double c[16]) {
  for (int r = 0; r < 4; ++r) {
    for (int col = 0; col < 4; ++col) {
      double sum = 0;
      for (int k = 0; k < 4; ++k) sum += a[r + 4 * k] * b[k + 4 * col];
      c[r + 4 * col] = sum;
    }
  }
}

// Pixel of a world point, as the modules' camera model maps it for kappa1 0.
void Project(const SceneCamera& camera, const double* p, double* pixel) {
  double c[3];
  for (int r = 0; r < 3; ++r) {
    c[r] = camera.pose[r] * p[0] + camera.pose[r + 4] * p[1] +
           camera.pose[r + 8] * p[2] + camera.pose[r + 12];
  }
  pixel[0] = camera.u0 + camera.efl * c[0] / c[2];
  pixel[1] = camera.v0 + camera.efl * c[1] / c[2];
}

// Breaks a pose on request: one entry replaced, a mirrored axis, a scaled
// rotation or a zero last row.
void BreakPose(FuzzInput* in, double pose[16]) {
  const uint8_t fault = in->Byte();
  switch (fault % 8) {
    case 1: {
      const double value = in->Number();
      pose[in->Below(16)] = value;
      break;
    }
    case 2:
      for (int c = 0; c < 4; ++c) pose[4 * c] = -pose[4 * c];  // mirror x
      break;
    case 3: {
      const double s = in->Number();
      for (int c = 0; c < 3; ++c) {
        for (int r = 0; r < 3; ++r) pose[r + 4 * c] *= s;
      }
      break;
    }
    case 4:
      pose[3] = pose[7] = pose[11] = pose[15] = 0;
      break;
    case 5:
      for (int k = 0; k < 16; ++k) pose[k] = in->Number();
      break;
    default:
      break;  // 0, 6, 7: as built
  }
}

// Points added to an outline: repeats, midpoints, one-ulp neighbours and
// free numbers, at the end or in front.
void AddClutter(FuzzInput* in, std::vector<double>* boundary,
                std::size_t max_extra = 12) {
  const std::size_t extra = in->Count(max_extra);
  for (std::size_t e = 0; e < extra; ++e) {
    const std::size_t n = boundary->size() / 2;
    double x, y;
    const uint8_t kind = in->Byte() % 4;
    if (n == 0 || kind == 3) {
      x = in->Number();
      y = in->Number();
    } else {
      const std::size_t a = in->Below(static_cast<uint32_t>(n));
      const std::size_t b = in->Below(static_cast<uint32_t>(n));
      x = (*boundary)[2 * a];
      y = (*boundary)[2 * a + 1];
      if (kind == 1) {
        x = 0.5 * (x + (*boundary)[2 * b]);
        y = 0.5 * (y + (*boundary)[2 * b + 1]);
      } else if (kind == 2) {
        x = std::nextafter(x, in->Bool() ? 1e308 : -1e308);
        y = std::nextafter(y, in->Bool() ? 1e308 : -1e308);
      }
    }
    if (in->Bool()) {
      boundary->insert(boundary->begin(), {x, y});
    } else {
      boundary->push_back(x);
      boundary->push_back(y);
    }
  }
}

}  // namespace

SceneObject DecodeObject(FuzzInput* in) {
  SceneObject object;
  const uint8_t mode = in->Byte() % 4;
  const double half[3] = {1.0, 0.8, 0.6};
  if (mode == 1 || mode == 3) {
    // Free points: 1 to 16 (mode 1) or 1 to 3 (mode 3, degenerate shapes).
    const std::size_t count = 1 + in->Below(mode == 1 ? 16 : 3);
    for (std::size_t k = 0; k < 3 * count; ++k) {
      object.points.push_back(static_cast<int8_t>(in->Byte()) / 64.0);
    }
  } else {
    for (int k = 0; k < 8; ++k) {
      for (int axis = 0; axis < 3; ++axis) {
        const double sign = ((k >> axis) & 1) ? 1.0 : -1.0;
        double v = sign * half[axis] + Fraction(in);
        if (mode == 2 && axis == 2) v = 0;  // flat
        object.points.push_back(v);
      }
    }
  }
  object.size = in->NumberOr(1.0);
  for (double& c : object.centre) c = in->NumberOr(0.0);
  for (std::size_t k = 0; k < object.points.size(); ++k) {
    object.points[k] = object.centre[k % 3] + object.size * object.points[k];
  }
  return object;
}

std::vector<double> DecodePlanarPoints(FuzzInput* in, std::size_t max_points) {
  std::vector<double> points;
  const uint8_t mode = in->Byte() % 5;
  const std::size_t count = in->Count(max_points);
  const double scale = in->NumberOr(1.0);
  const double offset_x = in->NumberOr(0.0);
  const double offset_y = in->NumberOr(0.0);
  for (std::size_t k = 0; k < count; ++k) {
    double x, y;
    switch (mode) {
      case 1: {  // circle, at angles from the bytes
        const double angle = 2 * kPi * in->Byte() / 256.0;
        x = std::cos(angle);
        y = std::sin(angle);
        break;
      }
      case 2: {  // one line through the origin
        const double t = static_cast<int8_t>(in->Byte()) / 8.0;
        x = t * 3;
        y = t * 7;
        break;
      }
      case 3:  // small integer grid
        x = static_cast<int>(in->Byte() % 8);
        y = static_cast<int>(in->Byte() % 8);
        break;
      case 4: {  // a cluster a few ulps wide around (1, 1)
        x = 1.0;
        y = 1.0;
        for (int steps = in->Byte() % 8; steps > 0; --steps) {
          x = std::nextafter(x, 2.0);
        }
        for (int steps = in->Byte() % 8; steps > 0; --steps) {
          y = std::nextafter(y, 2.0);
        }
        break;
      }
      default:
        x = in->Number();
        y = in->Number();
        break;
    }
    points.push_back(offset_x + scale * x);
    points.push_back(offset_y + scale * y);
  }
  const std::size_t room = max_points - points.size() / 2;
  AddClutter(in, &points, room < 32 ? room : 32);
  return points;
}

SceneTransform DecodeTransform(FuzzInput* in) {
  SceneTransform t;
  if (in->Byte() % 4 == 3) {
    for (double& q : t.quaternion) q = in->Number();
    for (double& v : t.translation) v = in->Number();
    return t;
  }
  double q[4] = {Fraction(in), Fraction(in), Fraction(in), 1};
  const double norm =
      std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
  for (int k = 0; k < 4; ++k) t.quaternion[k] = q[k] / norm;
  for (double& v : t.translation) v = 4 * Fraction(in);
  return t;
}

void TransformMatrix(const SceneTransform& t, double m[16]) {
  double x = t.quaternion[0], y = t.quaternion[1], z = t.quaternion[2],
         w = t.quaternion[3];
  const double norm = std::sqrt(x * x + y * y + z * z + w * w);
  if (norm > 0 && std::isfinite(norm)) {
    x /= norm;
    y /= norm;
    z /= norm;
    w /= norm;
  }
  const double r[3][3] = {
      {1 - 2 * (y * y + z * z), 2 * (x * y - w * z), 2 * (x * z + w * y)},
      {2 * (x * y + w * z), 1 - 2 * (x * x + z * z), 2 * (y * z - w * x)},
      {2 * (x * z - w * y), 2 * (y * z + w * x), 1 - 2 * (x * x + y * y)}};
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) m[row + 4 * col] = r[row][col];
    m[row + 12] = t.translation[row];
  }
  m[3] = m[7] = m[11] = 0;
  m[15] = 1;
}

std::vector<SceneView> DecodeViews(FuzzInput* in, const SceneObject& object,
                                   int count, const SceneTransform* frame) {
  std::vector<SceneView> views(count > 0 ? count : 0);
  const V3 centre{object.centre[0], object.centre[1], object.centre[2]};
  double frame_matrix[16];
  if (frame != nullptr) TransformMatrix(*frame, frame_matrix);
  for (int i = 0; i < count; ++i) {
    SceneView& view = views[i];
    SceneCamera& camera = view.camera;
    const double azimuth = 2 * kPi * (i + 0.5) / count + kPi * Fraction(in);
    const double elevation = 0.3 + 2 * Fraction(in);
    const double distance = 6 * object.size * in->NumberOr(1.0);
    const V3 position{
        centre.x + distance * std::cos(elevation) * std::cos(azimuth),
        centre.y + distance * std::cos(elevation) * std::sin(azimuth),
        centre.z + distance * std::sin(elevation)};
    const V3 target{centre.x + object.size * Fraction(in),
                    centre.y + object.size * Fraction(in),
                    centre.z + object.size * Fraction(in)};
    LookAt(position, target, camera.pose);
    camera.efl = in->NumberOr(800);
    camera.u0 = in->NumberOr(320);
    camera.v0 = in->NumberOr(240);
    camera.kappa1 = in->NumberOr(0);

    // The outline is projected with the camera as built (kappa1 left out),
    // then the pose may be broken: the outline then no longer fits it.
    const SceneCamera plain = camera;
    const std::size_t n = object.points.size() / 3;
    const std::size_t start = n > 0 ? in->Below(static_cast<uint32_t>(n)) : 0;
    for (std::size_t k = 0; k < n; ++k) {
      double pixel[2];
      Project(plain, &object.points[3 * ((start + k) % n)], pixel);
      view.boundary.push_back(pixel[0]);
      view.boundary.push_back(pixel[1]);
    }
    AddClutter(in, &view.boundary);
    BreakPose(in, camera.pose);
    if (frame != nullptr) {
      double moved[16];
      Multiply(camera.pose, frame_matrix, moved);
      for (int k = 0; k < 16; ++k) camera.pose[k] = moved[k];
    }
  }
  return views;
}

}  // namespace fuzz
}  // namespace silhouette
