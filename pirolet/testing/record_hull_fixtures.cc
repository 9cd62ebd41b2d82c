// Writes the hull and mean caliper diameter of every fixture point set as
// text, one line per set, doubles as hex floats:
//   name ok dimension diam=<meanDiam> line=<ox>,<oy>,<dx>,<dy> idx=<i>,<i>...
// The committed pirolet/testdata/hull_fixtures.txt was written by this
// program; hull_fixtures_test.cc checks the current code against it.
//
//   record_hull_fixtures > pirolet/testdata/hull_fixtures.txt
#include <cstdio>

#include "pirolet/testing/hull_fixture_line.h"
#include "geometry/testing/hull_point_sets.h"

int main() {
  for (const auto& set : silhouette::testing::HullPointSets(false)) {
    std::printf("%s\n", silhouette::testing::HullFixtureLine(set).c_str());
  }
  return 0;
}
