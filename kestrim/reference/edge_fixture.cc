#include "kestrim/reference/edge_fixture.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "geometry/mat4.h"

namespace silhouette {
namespace {

class LineReader {
 public:
  explicit LineReader(const std::string& path) : path_(path), in_(path) {
    if (!in_) throw std::runtime_error("cannot open " + path);
  }

  // The next line that is not a comment; false at the end of the file.
  bool Next() {
    while (std::getline(in_, line_)) {
      ++number_;
      if (!line_.empty() && line_[0] != '%') {
        words_.clear();
        std::istringstream split(line_);
        std::string word;
        while (split >> word) words_.push_back(word);
        return true;
      }
    }
    return false;
  }

  void Expect(bool ok) const {
    if (!ok) {
      throw std::runtime_error(path_ + ":" + std::to_string(number_) +
                               ": unexpected line '" + line_ + "'");
    }
  }

  // Word k as a double; strtod reads hexadecimal floats, inf and nan.
  double Number(std::size_t k) const {
    Expect(k < words_.size());
    char* end = nullptr;
    const double value = std::strtod(words_[k].c_str(), &end);
    Expect(end != words_[k].c_str() && *end == '\0');
    return value;
  }

  std::size_t Count(const char* keyword) const {
    Expect(words_.size() == 2 && words_[0] == keyword);
    return static_cast<std::size_t>(std::stoul(words_[1]));
  }

  const std::string& line() const { return line_; }
  const std::vector<std::string>& words() const { return words_; }

 private:
  std::string path_;
  std::ifstream in_;
  std::string line_;
  std::vector<std::string> words_;
  int number_ = 0;
};

}  // namespace

std::vector<FixtureRig> ReadEdgeFixture(const std::string& path) {
  LineReader in(path);
  std::vector<FixtureRig> rigs;
  while (in.Next()) {
    in.Expect(in.line().compare(0, 4, "rig ") == 0);
    FixtureRig rig;
    rig.name = in.line().substr(4);
    in.Expect(in.Next());
    const std::size_t views = in.Count("views");
    for (std::size_t i = 0; i < views; ++i) {
      in.Expect(in.Next() && in.words().size() == 21 &&
                in.words()[0] == "camera");
      Camera camera;
      camera.efl = in.Number(1);
      camera.u0 = in.Number(2);
      camera.v0 = in.Number(3);
      camera.kappa1 = in.Number(4);
      for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) camera.pose[r][c] = in.Number(5 + 4 * r + c);
      }
      rig.cameras.push_back(camera);
      in.Expect(in.Next());
      const std::size_t points = in.Count("boundary");
      Polygon2 boundary;
      for (std::size_t k = 0; k < points; ++k) {
        in.Expect(in.Next() && in.words().size() == 2);
        boundary.push_back(Vec2(in.Number(0), in.Number(1)));
      }
      rig.boundaries.push_back(boundary);
    }
    in.Expect(in.Next());
    const std::size_t edges = in.Count("edges");
    for (std::size_t k = 0; k < edges; ++k) {
      in.Expect(in.Next() && in.words().size() == 7);
      ViewingEdge edge;
      edge.view = static_cast<int32_t>(in.Number(0));
      edge.near = Vec3(in.Number(1), in.Number(2), in.Number(3));
      edge.far = Vec3(in.Number(4), in.Number(5), in.Number(6));
      rig.edges.push_back(edge);
    }
    rigs.push_back(rig);
  }
  return rigs;
}

std::string PreviousEdgesPath() { return KESTRIM_REFERENCE_DIR "/previous_edges.txt"; }

}  // namespace silhouette
