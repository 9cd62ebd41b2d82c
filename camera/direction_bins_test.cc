#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <set>
#include <vector>

#include "camera/view.h"

namespace silhouette {
namespace {

using Bin = std::vector<int32_t>;

View HullView(const std::vector<Vec2>& points) {
  View view;
  view.scaledBoundary = points;
  for (std::size_t k = 0; k < points.size(); ++k) view.hull.push_back(k);
  return view;
}

TEST(DirectionBins, UnitSquare) {
  View view = HullView({{0, 0}, {1, 0}, {1, 1}, {0, 1}});
  view.BuildDirectionBins(100);
  ASSERT_EQ(view.directionBins.size(), 100u);
  for (int i = 1; i <= 49; ++i) EXPECT_EQ(view.directionBins[i], (Bin{0, 2}));
  for (int i = 51; i <= 99; ++i) EXPECT_EQ(view.directionBins[i], (Bin{1, 3}));
  EXPECT_EQ(view.directionBins[0], (Bin{0, 1, 2, 3}));
  EXPECT_EQ(view.directionBins[50], (Bin{0, 1, 2, 3}));
}

TEST(DirectionBins, AnotherStartVertexRenumbersTheSameSets) {
  View view = HullView({{1, 1}, {0, 1}, {0, 0}, {1, 0}});
  view.BuildDirectionBins(100);
  // Positions 0..3 now hold the corners the first test numbered 2, 3, 0, 1.
  for (int i = 1; i <= 49; ++i) EXPECT_EQ(view.directionBins[i], (Bin{0, 2}));
  for (int i = 51; i <= 99; ++i) EXPECT_EQ(view.directionBins[i], (Bin{1, 3}));
}

// Every bin holds the two vertices that touch the support lines of a
// direction inside it, one on each side of the hull.
TEST(DirectionBins, EveryBinHoldsBothSupportVertices) {
  std::mt19937 rng(4);
  for (int trial = 0; trial < 20; ++trial) {
    const int m = 3 + trial * 3;
    std::vector<double> angles(m);
    std::uniform_real_distribution<double> u(0, 2 * M_PI);
    for (double& a : angles) a = u(rng);
    std::sort(angles.begin(), angles.end());
    std::vector<Vec2> points;
    for (double a : angles) points.emplace_back(3 * std::cos(a), std::sin(a));
    View view = HullView(points);
    const int bins = 100;
    view.BuildDirectionBins(bins);
    for (int i = 0; i < bins; ++i) {
      const double theta = (i + 0.5) / bins * M_PI - M_PI / 2;
      const Vec2 normal(-std::sin(theta), std::cos(theta));
      int lo = 0, hi = 0;
      for (int k = 1; k < m; ++k) {
        if (points[k].Dot(normal) < points[lo].Dot(normal)) lo = k;
        if (points[k].Dot(normal) > points[hi].Dot(normal)) hi = k;
      }
      const std::set<int32_t> bin(view.directionBins[i].begin(),
                                  view.directionBins[i].end());
      EXPECT_TRUE(bin.count(lo)) << "bin " << i;
      EXPECT_TRUE(bin.count(hi)) << "bin " << i;
    }
  }
}

TEST(DirectionBins, EdgesWithoutDirectionListEveryVertexEverywhere) {
  View point = HullView({{2, 3}});
  point.BuildDirectionBins(10);
  for (const Bin& bin : point.directionBins) EXPECT_EQ(bin, (Bin{0}));
  View collapsed = HullView({{0, 0}, {0, 0}, {0, 0}});  // depth 0
  collapsed.BuildDirectionBins(10);
  for (const Bin& bin : collapsed.directionBins) EXPECT_EQ(bin, (Bin{0, 1, 2}));
  View segment = HullView({{0, 0}, {3, 1}});
  segment.BuildDirectionBins(10);
  for (const Bin& bin : segment.directionBins) EXPECT_EQ(bin, (Bin{0, 1}));
  View infinite = HullView({{0, 0}, {INFINITY, 0}, {0, 1}});
  infinite.BuildDirectionBins(10);
  for (const Bin& bin : infinite.directionBins) EXPECT_EQ(bin.size(), 3u);
  View none = HullView({});
  none.BuildDirectionBins(10);
  EXPECT_EQ(none.directionBins.size(), 10u);
  EXPECT_TRUE(none.directionBins[0].empty());
  point.BuildDirectionBins(0);
  EXPECT_TRUE(point.directionBins.empty());
}

// A vertex whose two edges' directions fall into one bin the long way round
// (an edge turn of almost a half turn, or a rounding that turns slightly
// back) covers every bin, and is listed once in each.
TEST(DirectionBins, AVertexWrappingIntoItsOwnBinIsListedOnce) {
  const std::vector<std::vector<Vec2>> hulls = {
      // A needle: the turn at vertex 1 is a hair below a half turn.
      {{0, 0}, {10, 0.001}, {0, 0.002}},
      // Vertex 0 turns back by a rounding (its edges nearly one line).
      {{0.37985882550545963, -0.29060403897714027},
       {0.38525344088144065, -0.29140644086446094},
       {1.5283162674468505, 0.15236130089385841},
       {-0.47333675686703436, 0.49756480644155349},
       {-1.2081701108263831, -0.051065280893304039},
       {-1.2082749404202489, -0.054383021855151106}},
  };
  for (const std::vector<Vec2>& hull : hulls) {
    View view = HullView(hull);
    view.BuildDirectionBins(100);
    std::vector<int> bins_holding(hull.size(), 0);
    for (const Bin& bin : view.directionBins) {
      EXPECT_TRUE(std::adjacent_find(bin.begin(), bin.end(),
                                     std::greater_equal<int32_t>()) ==
                  bin.end());
      for (int32_t v : bin) ++bins_holding[v];
    }
    EXPECT_EQ(*std::max_element(bins_holding.begin(), bins_holding.end()), 100);
  }
}

}  // namespace
}  // namespace silhouette
