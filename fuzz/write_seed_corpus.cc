// Writes the seed corpus of every fuzz target from the example data and the
// tests' cases:
//
//   write_seed_corpus <repository folder>
//
// puts the files into <repository folder>/fuzz/corpus/<target>/, replacing
// files of the same names. The inputs are in the decoders' format
// (seed_writer.h), so the corpus must be written again when it changes.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "fuzz/fuzz_scene.h"
#include "fuzz/host_value_decoder.h"
#include "fuzz/seed_writer.h"

namespace silhouette {
namespace fuzz {
namespace {

namespace fs = std::filesystem;

// The numbers of an example file, '%' comments left out.
std::vector<double> ReadNumbers(const fs::path& path) {
  std::ifstream file(path);
  if (!file) throw std::runtime_error("cannot read " + path.string());
  std::vector<double> numbers;
  std::string line;
  while (std::getline(file, line)) {
    std::istringstream words(line.substr(0, line.find('%')));
    double v;
    while (words >> v) numbers.push_back(v);
  }
  return numbers;
}

struct ExampleView {
  double intrinsics[4];
  double pose[16];  // column-major
  std::vector<double> boundary;
};

// A view set file as examples/load_view_set.m reads it; every view's
// boundary thinned to at most `max_points` points, in their order.
std::vector<ExampleView> ReadViewSet(const fs::path& path,
                                     std::size_t max_points) {
  const std::vector<double> v = ReadNumbers(path);
  std::size_t pos = 0;
  auto take = [&]() {
    if (pos >= v.size()) throw std::runtime_error("short " + path.string());
    return v[pos++];
  };
  std::vector<ExampleView> views(static_cast<std::size_t>(take()));
  for (ExampleView& view : views) {
    for (double& x : view.intrinsics) x = take();
    for (int r = 0; r < 4; ++r) {
      for (int c = 0; c < 4; ++c) view.pose[r + 4 * c] = take();
    }
    const std::size_t n = static_cast<std::size_t>(take());
    std::vector<double> all;
    for (std::size_t k = 0; k < 2 * n; ++k) all.push_back(take());
    const std::size_t step = (n + max_points - 1) / max_points;
    for (std::size_t k = 0; k < n; k += step) {
      view.boundary.push_back(all[2 * k]);
      view.boundary.push_back(all[2 * k + 1]);
    }
  }
  return views;
}

SeedValue CameraValue(const ExampleView& view) {
  SeedValue camera =
      SeedValue::Struct(1, 1, {"efl", "u0", "v0", "kappa1", "pose"});
  const char* names[4] = {"efl", "u0", "v0", "kappa1"};
  for (int f = 0; f < 4; ++f) {
    camera.Field(0, names[f]) = SeedValue::Matrix(1, 1, {view.intrinsics[f]});
  }
  camera.Field(0, "pose") =
      SeedValue::Matrix(4, 4, std::vector<double>(view.pose, view.pose + 16));
  return camera;
}

SeedValue ViewSetValue(const std::vector<ExampleView>& views,
                       std::vector<std::string> fields = {"camera",
                                                          "boundary"}) {
  SeedValue set = SeedValue::Struct(1, views.size(), fields);
  for (std::size_t i = 0; i < views.size(); ++i) {
    for (const std::string& field : fields) {
      if (field == "camera") set.Field(i, "camera") = CameraValue(views[i]);
      if (field == "boundary") {
        set.Field(i, "boundary") = SeedValue::Matrix(
            2, views[i].boundary.size() / 2, views[i].boundary);
      }
    }
  }
  return set;
}

// The object that zero bytes decode to.
SceneObject ZeroObject() {
  const std::vector<uint8_t> zeros(256, 0);
  FuzzInput in(zeros.data(), zeros.size());
  return DecodeObject(&in);
}

class Corpus {
 public:
  explicit Corpus(fs::path root) : root_(std::move(root)) {}

  void Write(const std::string& target, const std::string& name,
             const SeedWriter& seed) {
    const fs::path folder = root_ / target;
    fs::create_directories(folder);
    std::ofstream file(folder / name, std::ios::binary);
    const std::vector<uint8_t>& bytes = seed.bytes();
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    std::printf("%s/%s: %zu bytes\n", target.c_str(), name.c_str(),
                bytes.size());
  }

 private:
  fs::path root_;
};

// nlhs as NumOutputs reads it, and the expected input count.
SeedWriter EntryCall(int nlhs) {
  SeedWriter seed;
  seed.Byte(static_cast<uint8_t>(nlhs));
  seed.Byte(0);
  return seed;
}

// nlhs and the input count `nrhs`, as NumInputs reads a byte of 224 or more.
SeedWriter EntryCallWithInputs(int nlhs, int nrhs) {
  SeedWriter seed;
  seed.Byte(static_cast<uint8_t>(nlhs));
  seed.Byte(static_cast<uint8_t>(228 + nrhs - 4));  // 228 % 6 == 0
  return seed;
}

void PiroletSeeds(Corpus& corpus, const std::vector<double>& outline) {
  const std::vector<std::pair<std::string, std::vector<double>>> polygons = {
      {"unit_square", {0, 0, 1, 0, 1, 1, 0, 1}},
      {"concave_pentagon", {0, 0, 2, 0, 1, 0.5, 2, 2, 0, 2}},
      {"collinear", {0, 0, 1, 1, 2, 2, 3, 3, 1.5, 1.5}},
      {"one_point_thrice", {5, 5, 5, 5, 5, 5}},
      {"two_points", {0, 0, 1, 1}},
      {"stone_outline", outline},
  };
  for (const auto& [name, xy] : polygons) {
    SeedWriter seed = EntryCall(2);
    seed.Polygon(xy);
    corpus.Write("pirolet", name, seed);
  }
  SeedWriter three_rows = EntryCall(1);
  three_rows.Byte(1);
  three_rows.AnyArray(SeedValue::Matrix(3, 3, {0, 0, 0, 1, 0, 0, 0, 1, 0}));
  corpus.Write("pirolet", "three_rows", three_rows);
  SeedWriter two_inputs = EntryCallWithInputs(1, 2);
  two_inputs.Polygon({0, 0, 1, 0, 0, 1});
  two_inputs.Polygon({0, 0, 1, 0, 0, 1});
  corpus.Write("pirolet", "two_inputs", two_inputs);
}

void KestrimSeeds(Corpus& corpus, const std::vector<ExampleView>& a,
                  const std::vector<ExampleView>& b) {
  auto any_set = [](int nlhs, const SeedValue& set) {
    SeedWriter seed = EntryCall(nlhs);
    seed.Byte(1);  // any array
    seed.AnyArray(set);
    return seed;
  };
  corpus.Write("kestrim", "stone_A", any_set(3, ViewSetValue(a)));
  corpus.Write("kestrim", "stone_B", any_set(3, ViewSetValue(b)));
  corpus.Write("kestrim", "one_view", any_set(3, ViewSetValue({a[0]})));
  corpus.Write("kestrim", "no_views", any_set(3, ViewSetValue({})));
  std::vector<ExampleView> distorted(a.begin(), a.begin() + 3);
  distorted[1].intrinsics[3] = 1e-7;
  corpus.Write("kestrim", "kappa1", any_set(3, ViewSetValue(distorted)));
  corpus.Write("kestrim", "no_camera_field",
               any_set(3, ViewSetValue({a[0], a[1]}, {"boundary"})));
  corpus.Write("kestrim", "not_a_struct",
               any_set(1, SeedValue::Matrix(2, 3, {0, 0, 1, 0, 0, 1})));
  for (int count : {3, 8}) {
    SeedWriter seed = EntryCall(3);
    seed.Byte(0);  // structured
    seed.ZerosFor([](FuzzInput* in) { DecodeObject(in); });
    seed.Byte(static_cast<uint8_t>(count - 3));
    seed.ZerosFor([count](FuzzInput* in) {
      HostValueDecoder(in).ViewSetOf(DecodeViews(in, ZeroObject(), count));
    });
    corpus.Write("kestrim", "box_" + std::to_string(count) + "_views", seed);
  }
}

void DovanelSeeds(Corpus& corpus, const std::vector<ExampleView>& a,
                  const std::vector<ExampleView>& b,
                  const std::vector<double>& pose) {
  auto call = [&](const SeedValue& starts, double mfe, double tol) {
    SeedWriter seed = EntryCall(3);
    seed.ZerosFor([](FuzzInput* in) {
      DecodeObject(in);
      DecodeTransform(in);
      in->Below(4);
      in->Below(4);
    });
    seed.Byte(1);
    seed.AnyArray(ViewSetValue(a));
    seed.Byte(1);
    seed.AnyArray(ViewSetValue(b));
    seed.Byte(2);  // any array
    seed.AnyArray(starts);
    seed.Byte(2);
    seed.AnyArray(SeedValue::Matrix(2, 1, {mfe, tol}));
    return seed;
  };
  // Three starts a little off the known pose, and one at it.
  std::vector<double> starts;
  for (int s = 0; s < 3; ++s) {
    for (int k = 0; k < 7; ++k) {
      starts.push_back(pose[k] + (k < 4 ? 0.01 : 0.5) * (s - 1));
    }
  }
  corpus.Write("dovanel", "stone_three_starts",
               call(SeedValue::Matrix(7, 3, starts), 50, 1e-10));
  corpus.Write("dovanel", "stone_known_pose",
               call(SeedValue::Matrix(7, 1, pose), 5, 1e-10));
  corpus.Write("dovanel", "stone_no_starts",
               call(SeedValue::Matrix(7, 0, {}), 5, 1e-10));
  corpus.Write("dovanel", "negative_tol",
               call(SeedValue::Matrix(7, 1, pose), 5, -1));
  // The structured scene: a box seen by two views in each set, one start
  // at the true transform, 20 iterations.
  SeedWriter box = EntryCall(3);
  box.ZerosFor([](FuzzInput* in) {
    DecodeObject(in);
    DecodeTransform(in);
  });
  box.Byte(1);  // two views in A
  box.Byte(1);  // and in B
  box.ZerosFor([](FuzzInput* in) {
    HostValueDecoder decoder(in);
    const SceneTransform truth;
    in->Byte();
    decoder.ViewSetOf(DecodeViews(in, ZeroObject(), 2));
    in->Byte();
    decoder.ViewSetOf(DecodeViews(in, ZeroObject(), 2, &truth));
  });
  box.Byte(0);  // starts near the truth
  box.Byte(1);  // one of them
  for (int k = 0; k < 7; ++k) box.Byte(0);
  box.Byte(0);   // [mfe; tol]
  box.Byte(20);  // mfe
  box.Byte(0);   // tol 1e-10
  corpus.Write("dovanel", "box_two_views_each", box);
}

void ViewSetSeeds(Corpus& corpus, const std::vector<ExampleView>& a) {
  SeedWriter stone;
  stone.Byte(1);
  stone.AnyArray(ViewSetValue(a));
  corpus.Write("view_set", "stone_A", stone);
  SeedWriter empty;
  empty.Byte(1);
  empty.AnyArray(ViewSetValue({}));
  corpus.Write("view_set", "no_views", empty);
  SeedWriter box;
  box.ZerosFor([](FuzzInput* in) { HostValueDecoder(in).ViewSet(); });
  corpus.Write("view_set", "box", box);
}

void HullSeeds(Corpus& corpus, const std::vector<double>& outline) {
  const std::vector<std::pair<std::string, std::vector<double>>> sets = {
      {"square", {0, 0, 1, 0, 1, 1, 0, 1, 0.5, 0.5}},
      {"stone_outline", outline},
      {"collinear", {0, 0, 1, 1, 2, 2, 3, 3}},
      {"near_collinear", {0, 0, 1, 1.0000000000000002, 2, 2, 3, 3}},
  };
  for (const auto& [name, xy] : sets) {
    SeedWriter seed;
    seed.Byte(0);  // tolerance 0.001
    seed.PlanarPoints(xy);
    corpus.Write("planar_hull", name, seed);
    // The comparison with the previous hull reads no tolerance.
    SeedWriter points;
    points.PlanarPoints(xy);
    corpus.Write("hull_reference", name, points);
  }
  // Points on a circle, and a cluster a few ulps wide (generator modes).
  for (uint8_t mode : {1, 4}) {
    SeedWriter seed;
    seed.Byte(1);  // tolerance 0
    seed.Byte(mode);
    seed.Count(40);
    seed.Byte(0);
    seed.Byte(0);
    seed.Byte(0);
    for (int k = 0; k < 80; ++k) seed.Byte(static_cast<uint8_t>(37 * k));
    seed.Count(0);
    corpus.Write("planar_hull", mode == 1 ? "circle" : "ulp_cluster", seed);
    SeedWriter points;
    for (std::size_t k = 1; k < seed.bytes().size(); ++k) {
      points.Byte(seed.bytes()[k]);
    }
    corpus.Write("hull_reference", mode == 1 ? "circle" : "ulp_cluster",
                 points);
  }
}

// A hull view's bytes (hull_view.h) followed by an epipole given as two
// free numbers (DecodeQueryPoint).
SeedWriter HullAndPoint(const std::vector<double>& xy, uint8_t order, double ex,
                        double ey) {
  SeedWriter seed;
  seed.Byte(0);  // tolerance 0.001
  seed.Byte(order);
  seed.PlanarPoints(xy);
  seed.Byte(0);  // free numbers
  seed.Number(ex);
  seed.Number(ey);
  return seed;
}

void HullQuerySeeds(Corpus& corpus, const std::vector<double>& outline) {
  const std::vector<double> hexagon = {2,  0, 1,  1.7,  -1, 1.7,
                                       -2, 0, -1, -1.7, 1,  -1.7};
  struct Case {
    const char* name;
    const std::vector<double>* xy;
    uint8_t order;
    double ex, ey;
  };
  const Case cases[] = {
      {"hexagon_outside", &hexagon, 0, 5, 1},
      {"hexagon_clockwise", &hexagon, 1, -3, 4},
      {"hexagon_inside", &hexagon, 0, 0.25, 0.5},
      {"hexagon_edge_line", &hexagon, 4, 3, -3.4},
      {"stone_far", &outline, 0, 1e6, -3e5},
  };
  for (const Case& c : cases) {
    corpus.Write("tangent_points", c.name,
                 HullAndPoint(*c.xy, c.order, c.ex, c.ey));
    // The same hull and point for the search, which reads a zero byte
    // (a hull) first and then follows the point with a few nudged ones.
    const SeedWriter hull_and_point =
        HullAndPoint(*c.xy, c.order, c.ex, c.ey);
    SeedWriter search;
    search.Byte(0);
    for (uint8_t b : hull_and_point.bytes()) search.Byte(b);
    search.Count(6);
    for (int q = 0; q < 6; ++q) {
      search.Byte(static_cast<uint8_t>(q));  // hint positions
      search.Byte(static_cast<uint8_t>(2 * q));
      search.Byte(0);                          // nudge
      search.Byte(static_cast<uint8_t>(4 * q));
      search.Byte(static_cast<uint8_t>(30 - 11 * q));
      search.Byte(static_cast<uint8_t>(17 * q));
    }
    corpus.Write("tangent_search", c.name, search);
    SeedWriter seed = HullAndPoint(*c.xy, c.order, c.ex, c.ey);
    // Rays through every hull point, points between them, and free
    // points, from a camera whose epipole is the point.
    seed.Count(12);
    for (int q = 0; q < 12; ++q) {
      seed.Byte(static_cast<uint8_t>(1 + q % 5));
      seed.Byte(static_cast<uint8_t>(q));
      seed.Byte(static_cast<uint8_t>(q + 3));
      seed.Byte(static_cast<uint8_t>(60 + 16 * q));
      seed.Byte(0);
    }
    corpus.Write("ray_clip", c.name, seed);
  }
}

}  // namespace
}  // namespace fuzz
}  // namespace silhouette

int main(int argc, char** argv) {
  using namespace silhouette::fuzz;
  namespace fs = std::filesystem;
  if (argc != 2) {
    std::fprintf(stderr, "usage: write_seed_corpus <repository folder>\n");
    return 2;
  }
  const fs::path repo = argv[1];
  try {
    const fs::path examples = repo / "examples";
    const std::vector<ExampleView> a =
        ReadViewSet(examples / "stone_views_A.txt", 24);
    const std::vector<ExampleView> b =
        ReadViewSet(examples / "stone_views_B.txt", 24);
    std::vector<double> outline = ReadNumbers(examples / "stone_outline.txt");
    std::vector<double> thinned;
    for (std::size_t k = 0; k + 1 < outline.size(); k += 8) {
      thinned.push_back(outline[k]);
      thinned.push_back(outline[k + 1]);
    }
    const std::vector<double> pose =
        ReadNumbers(examples / "stone_pose_B_to_A.txt");
    if (pose.size() != 7) throw std::runtime_error("pose of 7 numbers");

    Corpus corpus(repo / "fuzz" / "corpus");
    PiroletSeeds(corpus, thinned);
    KestrimSeeds(corpus, a, b);
    DovanelSeeds(corpus, a, b, pose);
    ViewSetSeeds(corpus, a);
    HullSeeds(corpus, thinned);
    HullQuerySeeds(corpus, thinned);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "write_seed_corpus: %s\n", error.what());
    return 1;
  }
  return 0;
}
