// The hull and the mean caliper diameter must stay what they were when the
// fixtures were recorded, bit for bit, on every recorded point set; and a
// Pirolet call must return exactly those values.
#include "pirolet/testing/hull_fixture_line.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "host/embedded_host.h"
#include "pirolet/pirolet_entry.h"

namespace silhouette {
namespace testing {
namespace {

// The recorded lines by set name.
std::map<std::string, std::string> RecordedLines() {
  std::ifstream file(PIROLET_HULL_FIXTURES);
  std::map<std::string, std::string> lines;
  std::string line;
  while (std::getline(file, line)) {
    lines[line.substr(0, line.find(' '))] = line;
  }
  return lines;
}

// The value after `key=` up to the next space.
std::string Field(const std::string& line, const std::string& key) {
  const std::size_t start = line.find(" " + key + "=");
  if (start == std::string::npos) return "";
  const std::size_t from = start + key.size() + 2;
  return line.substr(from, line.find(' ', from) - from);
}

std::vector<int32_t> Indices(const std::string& list) {
  std::vector<int32_t> indices;
  std::stringstream in(list);
  std::string item;
  while (std::getline(in, item, ',')) indices.push_back(std::stoi(item));
  return indices;
}

TEST(HullFixtures, EverySetGivesTheRecordedLine) {
  const std::map<std::string, std::string> recorded = RecordedLines();
  const std::vector<HullPointSet> sets = HullPointSets(false);
  ASSERT_EQ(recorded.size(), sets.size());
  for (const HullPointSet& set : sets) {
    const auto it = recorded.find(set.name);
    ASSERT_NE(it, recorded.end()) << set.name;
    EXPECT_EQ(HullFixtureLine(set), it->second);
  }
}

TEST(HullFixtures, PiroletReturnsTheRecordedDiameterAndVertices) {
  const std::map<std::string, std::string> recorded = RecordedLines();
  int called = 0;
  for (const HullPointSet& set : HullPointSets(false)) {
    const std::string& line = recorded.at(set.name);
    // Pirolet always hulls with the tolerance 0.001.
    bool finite = set.points.size() >= 3 && set.tolerance == 0.001;
    for (const Vec2& p : set.points) {
      finite = finite && std::isfinite(p.x) && std::isfinite(p.y);
    }
    if (!finite) continue;
    std::vector<double> xy;
    for (const Vec2& p : set.points) {
      xy.push_back(p.x);
      xy.push_back(p.y);
    }
    const host::ArrayPtr poly = host::MakeMatrix(2, set.points.size(), xy);
    const host::CallResult r = host::CallEntry(PiroletMain, 2, {poly.get()});
    ++called;
    if (line.find(" 0 ") == set.name.size()) {
      EXPECT_TRUE(r.raised) << set.name;
      continue;
    }
    ASSERT_FALSE(r.raised) << set.name << ": " << r.error;
    EXPECT_EQ(host::Values(r.outputs[0].get())[0],
              std::strtod(Field(line, "diam").c_str(), nullptr))
        << set.name;
    std::vector<double> expected;
    for (int32_t k : Indices(Field(line, "idx"))) {
      expected.push_back(set.points[k].x);
      expected.push_back(set.points[k].y);
    }
    EXPECT_EQ(host::Values(r.outputs[1].get()), expected) << set.name;
  }
  EXPECT_GT(called, 70);
}

}  // namespace
}  // namespace testing
}  // namespace silhouette
