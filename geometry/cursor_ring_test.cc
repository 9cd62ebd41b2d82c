#include "geometry/cursor_ring.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "geometry/testing/hull_point_sets.h"

namespace silhouette {
namespace {

using testing::SplitMix;

// The incremental insertion written plainly: every edge is tested for
// every point. The ring is kept from the start of the edge made last, so
// that ring[1] is the last point inserted.
class PlainInsertion {
 public:
  PlainInsertion(const std::vector<GridPoint>& grid, int32_t a, int32_t b,
                 int32_t c)
      : grid_(grid), ring_{a, b, c} {}

  // Inserts point i; false when the edges it sees are not one run.
  bool Insert(int32_t i) {
    const GridPoint p = grid_[i];
    const std::size_t n = ring_.size();
    std::vector<bool> sees(n);
    std::size_t seen = 0;
    for (std::size_t k = 0; k < n; ++k) {
      sees[k] = GridSide(p, grid_[ring_[k]], grid_[ring_[(k + 1) % n]]) > 0;
      seen += sees[k];
    }
    if (seen == 0) return true;
    if (seen == n) return false;
    // The run starts at the visible edge after a hidden one.
    std::size_t first = 0;
    while (!(sees[first] && !sees[(first + n - 1) % n])) ++first;
    for (std::size_t k = 0; k < seen; ++k) {
      if (!sees[(first + k) % n]) return false;
    }
    // Keep ring[first], drop the vertices inside the run, add i after it;
    // the kept vertices follow from the end of the run on.
    std::vector<int32_t> next = {ring_[first], i};
    for (std::size_t k = first + seen; k % n != first; ++k) {
      next.push_back(ring_[k % n]);
    }
    ring_ = next;
    return true;
  }

  const std::vector<int32_t>& List() const { return ring_; }

 private:
  const std::vector<GridPoint>& grid_;
  std::vector<int32_t> ring_;
};

// Points of many layouts on the grid, and a start triangle with area.
struct Case {
  std::string name;
  std::vector<GridPoint> grid;
  int32_t a, b, c;  // counter-clockwise
};

GridPoint Round(double x, double y) {
  return GridPoint{static_cast<int32_t>(std::floor(x + 0.5)),
                   static_cast<int32_t>(std::floor(y + 0.5))};
}

std::vector<GridPoint> Layout(SplitMix* rng, std::string* name) {
  const uint64_t most = rng->Below(3) == 0 ? 3000 : 200;
  const int n = 3 + static_cast<int>(rng->Below(most));
  const double size = rng->Below(4) == 0 ? 268435456.0 : 1048576.0;
  std::vector<GridPoint> g;
  switch (rng->Below(8)) {
    case 0:  // a traced outline
      *name = "traced outline";
      for (const Vec2& q : testing::TracedOutline(3 + n / 6.0)) {
        g.push_back(Round(q.x + 2000, q.y + 2000));
      }
      break;
    case 1:  // a circle, scaled up to the grid's size
      *name = "circle";
      for (const Vec2& q : testing::CirclePoints(4 * (n / 4 + 1))) {
        g.push_back(Round(size / 2 * (1 + q.x), size / 2 * (1 + q.y)));
      }
      break;
    case 2:  // a cloud
      *name = "cloud";
      for (int i = 0; i < n; ++i) {
        g.push_back(Round(size * rng->Unit(), size * rng->Unit()));
      }
      break;
    case 3:  // a small grid: repeats and collinear points
      *name = "small grid";
      for (int i = 0; i < n; ++i) {
        g.push_back(GridPoint{static_cast<int32_t>(rng->Below(9)),
                              static_cast<int32_t>(rng->Below(9))});
      }
      break;
    case 4:  // a wavy outline with sharp dents and spikes
      *name = "dented outline";
      for (const Vec2& q : testing::CirclePoints(4 * (n / 4 + 1))) {
        const double r = 1000 + (rng->Below(7) == 0 ? -900 * rng->Unit() : 0) +
                   (rng->Below(50) == 0 ? 700 : 0);
        g.push_back(Round(5000 + r * q.x, 5000 + r * q.y));
      }
      break;
    case 5:  // a square's boundary: long collinear runs
      *name = "square boundary";
      {
        const int side = 1 + n / 4;
        for (int k = 0; k < side; ++k) g.push_back({k, 0});
        for (int k = 0; k < side; ++k) g.push_back({side, k});
        for (int k = side; k > 0; --k) g.push_back({k, side});
        for (int k = side; k > 0; --k) g.push_back({0, k});
      }
      break;
    case 6:  // a crescent in boundary order: a deep dent
      *name = "crescent";
      for (int i = 0; i < n; ++i) {
        const double t = 2 * M_PI * i / n;
        const double r = t < M_PI ? 1000 : 1000 - 1900 * std::sin(t - M_PI);
        g.push_back(Round(3000 + r * std::cos(t), 3000 + r * std::sin(t)));
      }
      break;
    default:  // an outline going round twice, the second time wider
      *name = "outline twice";
      for (int i = 0; i < 2 * n; ++i) {
        const double t = 2 * M_PI * i / n;
        const double r = 1000 + (i >= n ? 3 : 0) + 40 * std::sin(5 * t);
        g.push_back(Round(3000 + r * std::cos(t), 3000 + r * std::sin(t)));
      }
      break;
  }
  switch (rng->Below(6)) {
    case 0: break;
    case 1: std::reverse(g.begin(), g.end()); *name += ", reversed"; break;
    case 2:
      std::rotate(g.begin(), g.begin() + rng->Below(g.size()), g.end());
      *name += ", rotated";
      break;
    case 3:  // a few points swapped far: searches and turns
      for (int k = 0; k < 1 + n / 50; ++k) {
        std::swap(g[rng->Below(g.size())], g[rng->Below(g.size())]);
      }
      *name += ", a few swapped";
      break;
    case 4:  // in order, then shuffled from a random point on
      {
        std::vector<Vec2> tail;
        const std::size_t from = rng->Below(g.size());
        for (std::size_t k = from; k < g.size(); ++k) {
          tail.emplace_back(g[k].x, g[k].y);
        }
        testing::Shuffle(&tail, rng);
        for (std::size_t k = from; k < g.size(); ++k) {
          g[k] = GridPoint{static_cast<int32_t>(tail[k - from].x),
                           static_cast<int32_t>(tail[k - from].y)};
        }
        *name += ", shuffled from a point on";
      }
      break;
    default:
      {
        std::vector<Vec2> all;
        for (const GridPoint& q : g) all.emplace_back(q.x, q.y);
        testing::Shuffle(&all, rng);
        for (std::size_t k = 0; k < g.size(); ++k) {
          g[k] = GridPoint{static_cast<int32_t>(all[k].x),
                           static_cast<int32_t>(all[k].y)};
        }
        *name += ", shuffled";
      }
      break;
  }
  return g;
}

// A random start triangle with area among the points, counter-clockwise;
// false when 50 tries find none.
bool PickTriangle(SplitMix* rng, Case* c) {
  const uint64_t n = c->grid.size();
  for (int attempt = 0; attempt < 50; ++attempt) {
    int32_t a = static_cast<int32_t>(rng->Below(n));
    int32_t b = static_cast<int32_t>(rng->Below(n));
    const int32_t t = static_cast<int32_t>(rng->Below(n));
    const int32_t side = GridSide(c->grid[t], c->grid[a], c->grid[b]);
    if (side == 0) continue;
    if (side > 0) std::swap(a, b);
    c->a = a;
    c->b = b;
    c->c = t;
    return true;
  }
  return false;
}

std::vector<int32_t> PlainList(const Case& c, int32_t points) {
  PlainInsertion plain(c.grid, c.a, c.b, c.c);
  for (int32_t i = 0; i < points; ++i) {
    EXPECT_TRUE(plain.Insert(i)) << c.name << ": point " << i;
  }
  return plain.List();
}

TEST(CursorRing, MatchesThePlainInsertionOnManyLayoutsAndOrders) {
  SplitMix rng(515);
  int cases = 0;
  for (int trial = 0; trial < 1200; ++trial) {
    Case c;
    c.grid = Layout(&rng, &c.name);
    if (!PickTriangle(&rng, &c)) continue;
    ++cases;
    const int32_t n = static_cast<int32_t>(c.grid.size());
    CursorRing ring(c.grid.data(), n);
    ring.Start(c.a, c.b, c.c);
    ASSERT_EQ(ring.Insert(0, false), n) << "trial " << trial << ": " << c.name;
    std::vector<int32_t> list;
    ring.List(&list);
    ASSERT_EQ(list, PlainList(c, n)) << "trial " << trial << ": " << c.name;
  }
  EXPECT_GT(cases, 1000);
}

// Where a bounded insertion stops, the ring is the plain one after the
// points before it, ready for a linked ring to go on from; taken up again,
// it goes on from there.
TEST(CursorRing, StopsWithTheRingOfThePointsBefore) {
  SplitMix rng(516);
  int stopped = 0;
  for (int trial = 0; trial < 600; ++trial) {
    Case c;
    c.grid = Layout(&rng, &c.name);
    if (!PickTriangle(&rng, &c)) continue;
    const int32_t n = static_cast<int32_t>(c.grid.size());
    CursorRing ring(c.grid.data(), n);
    ring.Start(c.a, c.b, c.c);
    const int32_t stop = ring.Insert(0, true);
    ASSERT_GE(stop, 0) << c.name;
    ASSERT_LE(stop, n) << c.name;
    std::vector<int32_t> list;
    ring.List(&list);
    ASSERT_EQ(list, PlainList(c, stop)) << "trial " << trial << ": " << c.name;
    if (stop < n) {
      ++stopped;
      ASSERT_EQ(ring.Insert(stop, false), n) << c.name;
      ring.List(&list);
      ASSERT_EQ(list, PlainList(c, n)) << "trial " << trial << ": " << c.name;
    }
  }
  EXPECT_GT(stopped, 100);
}

// Outlines in boundary order, either way round and from any start, are
// settled without stopping; clouds and shuffled outlines stop early.
TEST(CursorRing, TakesOutlinesInBoundaryOrderToTheEnd) {
  const std::vector<Vec2> traced = testing::TracedOutline(800);
  std::vector<GridPoint> grid;
  for (const Vec2& q : traced) grid.push_back(Round(q.x + 900, q.y + 900));
  const int32_t n = static_cast<int32_t>(grid.size());
  ASSERT_GT(n, 5000);
  SplitMix rng(517);
  for (int order = 0; order < 4; ++order) {
    std::vector<GridPoint> g = grid;
    if (order % 2) std::reverse(g.begin(), g.end());
    if (order >= 2) std::rotate(g.begin(), g.begin() + n / 3, g.end());
    // The extremes along x and the point farthest from their line, as the
    // hull picks them.
    Case c{"traced", g, 0, 0, 0};
    for (int32_t i = 0; i < n; ++i) {
      if (g[i].x < g[c.a].x) c.a = i;
      if (g[i].x > g[c.b].x) c.b = i;
    }
    int64_t far = 0;
    for (int32_t i = 0; i < n; ++i) {
      const int64_t d = std::llabs(
          static_cast<int64_t>(g[c.b].y - g[c.a].y) * (g[i].x - g[c.a].x) -
          static_cast<int64_t>(g[i].y - g[c.a].y) * (g[c.b].x - g[c.a].x));
      if (d > far) {
        far = d;
        c.c = i;
      }
    }
    if (GridSide(g[c.c], g[c.a], g[c.b]) > 0) std::swap(c.b, c.c);
    CursorRing ring(c.grid.data(), n);
    ring.Start(c.a, c.b, c.c);
    EXPECT_EQ(ring.Insert(0, true), n) << "order " << order;
    std::vector<int32_t> list;
    ring.List(&list);
    EXPECT_EQ(list, PlainList(c, n)) << "order " << order;

    std::vector<Vec2> shuffled;
    for (const GridPoint& q : g) shuffled.emplace_back(q.x, q.y);
    testing::Shuffle(&shuffled, &rng);
    for (int32_t i = 0; i < n; ++i) {
      c.grid[i] = GridPoint{static_cast<int32_t>(shuffled[i].x),
                            static_cast<int32_t>(shuffled[i].y)};
    }
    if (!PickTriangle(&rng, &c)) continue;
    CursorRing cloud(c.grid.data(), n);
    cloud.Start(c.a, c.b, c.c);
    EXPECT_LT(cloud.Insert(0, true), n / 4) << "order " << order;
  }
}

// The anchor itself, points on the rays through the vertices, and
// coordinates at the grid's clamp (+-2^28), where the exact products are
// largest.
TEST(CursorRing, ExactAtTheAnchorOnVertexRaysAndAtTheClamp) {
  const int32_t big = 268435456;  // 2^28
  // Coordinate sums divisible by 3: the anchor is a grid point.
  const std::vector<GridPoint> corners = {
      {-big, -big}, {big, -big}, {0, big - 2}};
  const GridPoint anchor{0, (-big - 2) / 3};
  std::vector<GridPoint> g = corners;
  SplitMix rng(518);
  for (int k = 0; k < 2000; ++k) {
    const GridPoint v = corners[rng.Below(3)];
    const double t = rng.Unit() * (rng.Below(2) ? 1.0 : 1e-6);
    switch (rng.Below(4)) {
      case 0:
        g.push_back(anchor);
        break;
      case 1:  // on a ray from the anchor through a corner, inside
        g.push_back(Round(anchor.x + (v.x - anchor.x) * t,
                          anchor.y + (v.y - anchor.y) * t));
        break;
      case 2:  // near the edges
        {
          const GridPoint w = corners[rng.Below(3)];
          const double s = rng.Unit();
          g.push_back(Round(v.x + s * (w.x - v.x) + rng.Below(3) - 1.0,
                            v.y + s * (w.y - v.y) + rng.Below(3) - 1.0));
        }
        break;
      default:  // anywhere on the grid's range
        g.push_back(Round((2 * rng.Unit() - 1) * big,
                          (2 * rng.Unit() - 1) * big));
        break;
    }
    GridPoint& q = g.back();
    q.x = std::max(-big, std::min(big, q.x));
    q.y = std::max(-big, std::min(big, q.y));
  }
  Case c{"clamp", g, 0, 1, 2};
  const int32_t n = static_cast<int32_t>(g.size());
  CursorRing ring(g.data(), n);
  ring.Start(0, 1, 2);
  ASSERT_EQ(ring.Insert(0, false), n);
  std::vector<int32_t> list;
  ring.List(&list);
  EXPECT_EQ(list, PlainList(c, n));
}

}  // namespace
}  // namespace silhouette
