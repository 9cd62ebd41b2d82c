#include "kestrim/reference/previous_query.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "kestrim/reference/edge_fixture.h"

namespace silhouette {
namespace {

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool SameBits(const Vec3& a, const Vec3& b) {
  return SameBits(a.x, b.x) && SameBits(a.y, b.y) && SameBits(a.z, b.z);
}

// The copy kept for the benchmark is the computation that wrote the
// fixture: it reproduces every recorded edge bit for bit, so the benchmark
// times the genuine previous query.
TEST(PreviousQuery, ReproducesTheRecordedEdgesBitForBit) {
  const std::vector<FixtureRig> rigs = ReadEdgeFixture(PreviousEdgesPath());
  ASSERT_GE(rigs.size(), 10u);
  for (const FixtureRig& rig : rigs) {
    SCOPED_TRACE(rig.name);
    std::vector<View> views(rig.cameras.size());
    for (std::size_t i = 0; i < views.size(); ++i) {
      views[i].camera = rig.cameras[i];
      views[i].boundary = rig.boundaries[i];
    }
    const ViewSet set(views);
    std::vector<ViewingEdge> edges;
    PreviousQueryEdges(set, &edges);
    ASSERT_EQ(edges.size(), rig.edges.size());
    for (std::size_t k = 0; k < edges.size(); ++k) {
      EXPECT_EQ(edges[k].view, rig.edges[k].view) << "edge " << k;
      EXPECT_TRUE(SameBits(edges[k].near, rig.edges[k].near)) << "edge " << k;
      EXPECT_TRUE(SameBits(edges[k].far, rig.edges[k].far)) << "edge " << k;
    }
  }
}

}  // namespace
}  // namespace silhouette
