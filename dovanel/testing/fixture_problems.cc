#include "dovanel/testing/fixture_problems.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "camera/camera.h"
#include "camera/synthetic_scene.h"
#include "dovanel/relative_pose_model.h"
#include "geometry/polygon2.h"
#include "geometry/vec3.h"

namespace silhouette {
namespace testing {
namespace {

constexpr double kPi = 3.141592653589793;

// SplitMix64: the same numbers on every platform.
class Generator {
 public:
  explicit Generator(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [lo, hi).
  double Uniform(double lo, double hi) {
    return lo + (hi - lo) * (static_cast<double>(Next() >> 11) * 0x1p-53);
  }
  int Integer(int lo, int hi) {  // in [lo, hi]
    return lo + static_cast<int>(Next() % static_cast<uint64_t>(hi - lo + 1));
  }
  Vec3 Direction() {
    for (;;) {
      const Vec3 d(Uniform(-1, 1), Uniform(-1, 1), Uniform(-1, 1));
      const double length = d.Length();
      if (length > 0.1 && length <= 1) return d * (1 / length);
    }
  }

 private:
  uint64_t state_;
};

// Hamilton product of quaternions stored (x, y, z, w).
std::vector<double> QuaternionProduct(const std::vector<double>& p,
                                      const std::vector<double>& q) {
  return {p[3] * q[0] + p[0] * q[3] + p[1] * q[2] - p[2] * q[1],
          p[3] * q[1] - p[0] * q[2] + p[1] * q[3] + p[2] * q[0],
          p[3] * q[2] + p[0] * q[1] - p[1] * q[0] + p[2] * q[3],
          p[3] * q[3] - p[0] * q[0] - p[1] * q[1] - p[2] * q[2]};
}

// The pose turned by `degrees` about `axis` and its translation moved by
// `fraction` of its length along `shift`.
std::vector<double> OffPose(const std::vector<double>& pose, const Vec3& axis,
                            double degrees, const Vec3& shift,
                            double fraction) {
  const double half = degrees * kPi / 360;
  std::vector<double> start = QuaternionProduct(
      {axis.x * std::sin(half), axis.y * std::sin(half),
       axis.z * std::sin(half), std::cos(half)},
      pose);
  const double length = std::sqrt(pose[4] * pose[4] + pose[5] * pose[5] +
                                   pose[6] * pose[6]);
  start.push_back(pose[4] + fraction * length * shift.x);
  start.push_back(pose[5] + fraction * length * shift.y);
  start.push_back(pose[6] + fraction * length * shift.z);
  return start;
}

// `count` points on the exact outline of the ellipsoid with half-axes
// `axes` about the origin, as `camera` (centred at `centre`) sees it, each
// moved towards or away from the outline's middle by up to `roughness`
// of its distance (so that some of them leave the hull).
Polygon2 EllipsoidOutline(const Camera& camera, const Vec3& centre,
                          const Vec3& axes, int count, double roughness,
                          Generator* gen) {
  const Vec3 g(-centre.x / axes.x, -centre.y / axes.y, -centre.z / axes.z);
  const double g_length = g.Length();
  const Vec3 n = g * (1 / g_length);
  const Vec3 helper = std::abs(n.x) < 0.9 ? Vec3(1, 0, 0) : Vec3(0, 1, 0);
  const Vec3 e1 = n.Cross(helper).Normalized();
  const Vec3 e2 = n.Cross(e1);
  const double radius = std::sqrt(1 - 1 / (g_length * g_length));
  const Vec2 middle = camera.Project(Vec3(0, 0, 0));
  Polygon2 outline;
  for (int k = 0; k < count; ++k) {
    const double theta = 2 * kPi * k / count;
    const Vec3 u = n * (-1 / g_length) +
                   (e1 * std::cos(theta) + e2 * std::sin(theta)) * radius;
    Vec2 p = camera.Project(Vec3(axes.x * u.x, axes.y * u.y, axes.z * u.z));
    if (roughness > 0) {
      p = middle + (p - middle) * (1 + gen->Uniform(-roughness, roughness));
    }
    outline.push_back(p);
  }
  return outline;
}

std::vector<double> RandomQuaternionPose(Generator* gen, double maxDegrees,
                                         double maxShift) {
  const Vec3 axis = gen->Direction();
  const double half = gen->Uniform(0, maxDegrees) * kPi / 360;
  return {axis.x * std::sin(half), axis.y * std::sin(half),
          axis.z * std::sin(half), std::cos(half),
          gen->Uniform(-maxShift, maxShift), gen->Uniform(-maxShift, maxShift),
          gen->Uniform(-maxShift, maxShift)};
}

struct ProblemShape {
  int viewsA;
  int viewsB;
  int points;        // outline points per view
  double roughness;  // see EllipsoidOutline
  int numStarts;
  double mfe;
};

FixtureProblem RandomProblem(int index, const ProblemShape& shape) {
  Generator gen(0x5eed0000u + static_cast<uint64_t>(index));
  const Vec3 axes(1.0, gen.Uniform(0.5, 0.9), gen.Uniform(0.3, 0.7));
  const std::vector<double> truth = RandomQuaternionPose(&gen, 120, 1.0);
  const Mat4 t = PoseToMatrix(truth.data());
  std::vector<Camera> cameras_a, cameras_b;
  std::vector<Polygon2> outlines_a, outlines_b;
  for (int i = 0; i < shape.viewsA + shape.viewsB; ++i) {
    const Vec3 centre = gen.Direction() * gen.Uniform(5, 8);
    const Camera camera = LookAtCamera(centre, Vec3(0, 0, 0),
                                       gen.Uniform(700, 900),
                                       gen.Uniform(300, 340),
                                       gen.Uniform(220, 260));
    const Polygon2 outline = EllipsoidOutline(camera, centre, axes,
                                              shape.points, shape.roughness,
                                              &gen);
    if (i < shape.viewsA) {
      cameras_a.push_back(camera);
      outlines_a.push_back(outline);
    } else {
      Camera in_b = camera;
      in_b.pose = camera.pose * t;
      cameras_b.push_back(in_b);
      outlines_b.push_back(outline);
    }
  }
  FixtureProblem problem;
  problem.name = "random" + std::to_string(index);
  problem.viewVecA = MakeViewVec(cameras_a, outlines_a);
  problem.viewVecB = MakeViewVec(cameras_b, outlines_b);
  problem.mfe = shape.mfe;
  // Near the answer, further off, anywhere, and the first again (an equal
  // RMS keeps the earlier start).
  std::vector<std::vector<double>> starts;
  starts.push_back(OffPose(truth, gen.Direction(), 3, gen.Direction(), 0.03));
  starts.push_back(OffPose(truth, gen.Direction(), 20, gen.Direction(), 0.2));
  starts.push_back(RandomQuaternionPose(&gen, 360, 1.5));
  starts.push_back(starts[0]);
  while (static_cast<int>(starts.size()) < shape.numStarts) {
    starts.push_back(
        OffPose(truth, gen.Direction(), gen.Uniform(1, 30), gen.Direction(),
                gen.Uniform(0, 0.3)));
  }
  starts.resize(static_cast<std::size_t>(shape.numStarts));
  for (const std::vector<double>& s : starts) {
    problem.starts.insert(problem.starts.end(), s.begin(), s.end());
  }
  problem.numStarts = starts.size();
  return problem;
}

// A view set file of the examples: '%' comments, then V, and per view
// efl u0 v0 kappa1, 16 pose numbers row by row, N and N points u v.
host::ArrayPtr ReadViewSetFile(const std::string& path) {
  std::istringstream lines(ReadTextFile(path));
  std::string line, numbers;
  while (std::getline(lines, line)) {
    numbers += line.substr(0, line.find('%'));
    numbers += '\n';
  }
  std::vector<double> v;
  const char* p = numbers.c_str();
  for (;;) {
    char* end = nullptr;
    const double value = std::strtod(p, &end);
    if (end == p) break;
    v.push_back(value);
    p = end;
  }
  std::size_t pos = 0;
  auto take = [&]() {
    if (pos >= v.size()) throw std::runtime_error("short view set " + path);
    return v[pos++];
  };
  const int num_views = static_cast<int>(take());
  std::vector<Camera> cameras;
  std::vector<Polygon2> boundaries;
  for (int k = 0; k < num_views; ++k) {
    Camera camera;
    camera.efl = take();
    camera.u0 = take();
    camera.v0 = take();
    camera.kappa1 = take();
    for (int r = 0; r < 4; ++r) {
      for (int c = 0; c < 4; ++c) camera.pose[r][c] = take();
    }
    const int n = static_cast<int>(take());
    Polygon2 boundary;
    for (int i = 0; i < n; ++i) {
      const double x = take();
      const double y = take();
      boundary.push_back(Vec2(x, y));
    }
    cameras.push_back(camera);
    boundaries.push_back(boundary);
  }
  return MakeViewVec(cameras, boundaries);
}

FixtureProblem StoneProblem(const std::string& dataDir) {
  FixtureProblem problem;
  problem.name = "stone";
  problem.viewVecA = ReadViewSetFile(dataDir + "/stone_views_A.txt");
  problem.viewVecB = ReadViewSetFile(dataDir + "/stone_views_B.txt");
  problem.mfe = 100;
  // The known transform B to A of the example stone, and starts a few
  // degrees and percent off it; then eight starts 15 to 25 degrees about
  // z, as in the parallel example; then a start of zeros and a NaN one.
  const std::vector<double> truth = {0.052623344558131, -0.087705574263552,
                                     0.140328918821683, 0.984807753012208,
                                     28.0, -17.0, 12.0};
  std::vector<std::vector<double>> starts;
  starts.push_back(OffPose(truth, Vec3(1, 0, 0), 5, Vec3(0, 1, 0), 0.05));
  starts.push_back(OffPose(truth, Vec3(0, 1, 1).Normalized(), 10,
                           Vec3(-1, 0, -1).Normalized(), 0.1));
  starts.push_back(OffPose(truth, Vec3(1, -1, 1).Normalized(), 15,
                           Vec3(-1, 2, 0).Normalized(), 0.15));
  for (int i = 0; i < 8; ++i) {
    const double half = (15 + 10.0 * i / 7) * kPi / 360;
    starts.push_back({0, 0, std::sin(half), std::cos(half), 30, -20, 10});
  }
  starts.push_back(std::vector<double>(7, 0.0));
  std::vector<double> nan_start = truth;
  nan_start[4] = std::nan("");
  starts.push_back(nan_start);
  for (const std::vector<double>& s : starts) {
    problem.starts.insert(problem.starts.end(), s.begin(), s.end());
  }
  problem.numStarts = starts.size();
  return problem;
}

void AppendNumber(std::string* out, double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, " %a", value);
  *out += buffer;
}

double ParseNumber(std::istringstream& in) {
  std::string word;
  if (!(in >> word)) throw std::runtime_error("recorded answers: too short");
  char* end = nullptr;
  const double value = std::strtod(word.c_str(), &end);
  if (end != word.c_str() + word.size()) {
    throw std::runtime_error("recorded answers: bad number " + word);
  }
  return value;
}

}  // namespace

std::vector<FixtureProblem> MakeFixtureProblems(const std::string& dataDir) {
  std::vector<FixtureProblem> problems;
  problems.push_back(StoneProblem(dataDir));
  // views A, views B, outline points, roughness, starts, mfe.
  const ProblemShape shapes[] = {
      {2, 2, 16, 0.0, 4, 20},   {2, 3, 24, 0.01, 5, 20},
      {3, 2, 32, 0.0, 4, 20},   {2, 2, 64, 0.02, 6, 20},
      {4, 4, 128, 0.0, 4, 20},  {3, 5, 96, 0.005, 5, 5},
      {5, 3, 200, 0.0, 4, 20},  {6, 6, 256, 0.001, 4, 20},
      {4, 7, 384, 0.0, 4, 10},  {8, 8, 512, 0.0, 4, 20},
      {7, 8, 512, 0.003, 4, 20}, {8, 6, 300, 0.0, 5, 1},
  };
  int index = 0;
  for (const ProblemShape& shape : shapes) {
    problems.push_back(RandomProblem(index++, shape));
  }
  return problems;
}

std::string FormatAnswers(const std::vector<RecordedAnswer>& answers) {
  std::string out;
  for (const RecordedAnswer& a : answers) {
    out += a.name;
    AppendNumber(&out, a.rms);
    for (const double p : a.pose) AppendNumber(&out, p);
    out += ' ' + std::to_string(a.residuals.size());
    for (const double r : a.residuals) AppendNumber(&out, r);
    out += '\n';
  }
  return out;
}

std::vector<RecordedAnswer> ParseAnswers(const std::string& text) {
  std::vector<RecordedAnswer> answers;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.empty()) continue;
    std::istringstream in(line);
    RecordedAnswer a;
    in >> a.name;
    a.rms = ParseNumber(in);
    for (int i = 0; i < 7; ++i) a.pose.push_back(ParseNumber(in));
    std::size_t m = 0;
    if (!(in >> m)) throw std::runtime_error("recorded answers: no count");
    for (std::size_t i = 0; i < m; ++i) a.residuals.push_back(ParseNumber(in));
    std::string rest;
    if (in >> rest) throw std::runtime_error("recorded answers: extra text");
    answers.push_back(a);
  }
  return answers;
}

std::string ReadTextFile(const std::string& path) {
  std::ifstream file(path);
  if (!file) throw std::runtime_error("cannot read " + path);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

std::string AnswerDifference(const RecordedAnswer& expected,
                             const RecordedAnswer& actual) {
  char buffer[160];
  auto differs = [&](const char* what, std::size_t i, double e, double a) {
    std::snprintf(buffer, sizeof buffer, "%s: %s[%zu] is %a, recorded %a",
                  expected.name.c_str(), what, i, a, e);
    return std::string(buffer);
  };
  if (!SameBits(expected.rms, actual.rms)) {
    return differs("rms", 0, expected.rms, actual.rms);
  }
  if (expected.pose.size() != actual.pose.size() ||
      expected.residuals.size() != actual.residuals.size()) {
    return expected.name + ": sizes differ";
  }
  for (std::size_t i = 0; i < expected.pose.size(); ++i) {
    if (!SameBits(expected.pose[i], actual.pose[i])) {
      return differs("pose", i, expected.pose[i], actual.pose[i]);
    }
  }
  for (std::size_t i = 0; i < expected.residuals.size(); ++i) {
    if (!SameBits(expected.residuals[i], actual.residuals[i])) {
      return differs("residuals", i, expected.residuals[i],
                     actual.residuals[i]);
    }
  }
  return "";
}

bool SameBits(double a, double b) {
  uint64_t x, y;
  std::memcpy(&x, &a, sizeof x);
  std::memcpy(&y, &b, sizeof y);
  return x == y;
}

}  // namespace testing
}  // namespace silhouette
