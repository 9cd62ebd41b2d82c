#include "geometry/testing/hull_point_sets.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace silhouette {
namespace testing {

uint64_t SplitMix::Next() {
  uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

double SplitMix::Unit() {
  return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0);
}

uint64_t SplitMix::Below(uint64_t n) { return Next() % n; }

void Shuffle(std::vector<Vec2>* points, SplitMix* rng) {
  for (std::size_t k = points->size(); k > 1; --k) {
    std::swap((*points)[k - 1], (*points)[rng->Below(k)]);
  }
}

namespace {

// The point of the unit circle at parameter t in [-1, 1] of a half turn:
// ((1 - t^2) / (1 + t^2), 2 t / (1 + t^2)).
Vec2 HalfCircle(double t) {
  const double d = 1 + t * t;
  return Vec2((1 - t * t) / d, 2 * t / d);
}

// Chebyshev polynomial T_k(x): cos(k a) for x = cos(a).
double Chebyshev(int k, double x) {
  double a = 1, b = x;
  if (k == 0) return a;
  for (int j = 1; j < k; ++j) {
    const double c = 2 * x * b - a;
    a = b;
    b = c;
  }
  return b;
}

std::vector<Vec2> Disc(int n, SplitMix* rng) {
  std::vector<Vec2> p;
  while (static_cast<int>(p.size()) < n) {
    const double x = 2 * rng->Unit() - 1, y = 2 * rng->Unit() - 1;
    if (x * x + y * y <= 1) p.emplace_back(x, y);
  }
  return p;
}

std::vector<Vec2> Square(int n, SplitMix* rng) {
  std::vector<Vec2> p;
  for (int i = 0; i < n; ++i) p.emplace_back(rng->Unit(), rng->Unit());
  return p;
}

// Sums of 12 uniforms, centred: close to a unit normal.
std::vector<Vec2> Gaussian(int n, SplitMix* rng) {
  std::vector<Vec2> p;
  for (int i = 0; i < n; ++i) {
    double v[2] = {-6, -6};
    for (double& c : v) {
      for (int k = 0; k < 12; ++k) c += rng->Unit();
    }
    p.emplace_back(v[0], v[1]);
  }
  return p;
}

std::vector<Vec2> Transformed(std::vector<Vec2> p, double scale, Vec2 offset) {
  for (Vec2& q : p) q = Vec2(q.x * scale + offset.x, q.y * scale + offset.y);
  return p;
}

std::vector<Vec2> Rotated(std::vector<Vec2> p, std::size_t start) {
  std::rotate(p.begin(), p.begin() + start % p.size(), p.end());
  return p;
}

std::vector<Vec2> Reversed(std::vector<Vec2> p) {
  std::reverse(p.begin(), p.end());
  return p;
}

std::vector<Vec2> ShuffledCopy(std::vector<Vec2> p, SplitMix* rng) {
  Shuffle(&p, rng);
  return p;
}

// A wavy outline in boundary order, in floating point: radius
// 10 + cos(7 a) + 0.3 cos(23 a) around the circle, flattened by 0.7.
std::vector<Vec2> WavyOutline(int n) {
  std::vector<Vec2> p;
  for (const Vec2& c : CirclePoints(n)) {
    const double r = 10 + Chebyshev(7, c.x) + 0.3 * Chebyshev(23, c.x);
    p.emplace_back(r * c.x, 0.7 * r * c.y);
  }
  return p;
}

// The points of a k x k integer grid, each `copies` times, row by row.
std::vector<Vec2> Grid(int k, int copies) {
  std::vector<Vec2> p;
  for (int y = 0; y < k; ++y) {
    for (int x = 0; x < k; ++x) {
      for (int c = 0; c < copies; ++c) p.emplace_back(x, y);
    }
  }
  return p;
}

// The boundary of a w x h rectangle, every integer point, counter-clockwise.
std::vector<Vec2> RectangleBoundary(int w, int h) {
  std::vector<Vec2> p;
  for (int x = 0; x < w; ++x) p.emplace_back(x, 0);
  for (int y = 0; y < h; ++y) p.emplace_back(w, y);
  for (int x = w; x > 0; --x) p.emplace_back(x, h);
  for (int y = h; y > 0; --y) p.emplace_back(0, y);
  return p;
}

// Clusters much smaller than one grid unit (extent / 2^20) around the
// corners of a triangle and along its edges.
std::vector<Vec2> SubGridClusters(int n, SplitMix* rng) {
  const Vec2 corner[3] = {{0, 0}, {1000, 0}, {300, 700}};
  const double unit = 1000.0 / 1048576.0;
  std::vector<Vec2> p;
  for (int i = 0; i < n; ++i) {
    const Vec2 a = corner[i % 3], b = corner[(i + 1) % 3];
    const double t = (i / 3) % 4 == 0 ? 0 : rng->Unit();
    p.emplace_back(a.x + t * (b.x - a.x) + (rng->Unit() - 0.5) * unit,
                   a.y + t * (b.y - a.y) + (rng->Unit() - 0.5) * unit);
  }
  return p;
}

// Points near a segment of length 1000, at most `height` off it.
std::vector<Vec2> Thin(int n, double height, SplitMix* rng) {
  std::vector<Vec2> p;
  for (int i = 0; i < n; ++i) {
    const double t = rng->Unit();
    p.emplace_back(1000 * t + 300 * t, 1000 * t - 300 * t +
                                           height * (2 * rng->Unit() - 1));
  }
  return p;
}

}  // namespace

std::vector<Vec2> CirclePoints(int n) {
  // Four quarter arcs of n / 4 points each (n a multiple of 4), each from
  // the half-circle map over t in [0, 1), turned by a quarter.
  std::vector<Vec2> p;
  const int quarter = n / 4;
  for (int q = 0; q < 4; ++q) {
    for (int k = 0; k < quarter; ++k) {
      const Vec2 c = HalfCircle(static_cast<double>(k) / quarter);
      switch (q) {
        case 0: p.emplace_back(c.x, c.y); break;
        case 1: p.emplace_back(-c.y, c.x); break;
        case 2: p.emplace_back(-c.x, -c.y); break;
        default: p.emplace_back(c.y, -c.x); break;
      }
    }
  }
  return p;
}

std::vector<Vec2> TracedOutline(double r) {
  std::vector<Vec2> p;
  const int samples = static_cast<int>(64 * r) / 4 * 4 + 4;
  for (const Vec2& c : CirclePoints(samples)) {
    const double radius =
        r * (1 + 0.1 * Chebyshev(7, c.x) + 0.03 * Chebyshev(23, c.x));
    const Vec2 q(std::round(radius * c.x), std::round(0.7 * radius * c.y));
    if (p.empty() || q != p.back()) p.push_back(q);
  }
  while (p.size() > 1 && p.back() == p.front()) p.pop_back();
  return p;
}

std::vector<HullPointSet> HullPointSets(bool large) {
  SplitMix rng(20261208);
  std::vector<HullPointSet> sets;
  auto add = [&sets](std::string name, std::vector<Vec2> p,
                     double tolerance = 0.001) {
    sets.push_back(HullPointSet{std::move(name), std::move(p), tolerance});
  };

  for (int n : {3, 4, 5, 10, 100, 1000, 20000}) {
    add("disc_" + std::to_string(n), Disc(n, &rng));
  }
  for (int n : {10, 1000, 20000}) {
    add("square_" + std::to_string(n), Square(n, &rng));
    add("gaussian_" + std::to_string(n), Gaussian(n, &rng));
  }
  for (int n : {4, 8, 64, 1000, 4096}) {
    const std::vector<Vec2> c = CirclePoints(n);
    const std::string s = std::to_string(n);
    add("circle_ccw_" + s, c);
    add("circle_cw_" + s, Reversed(c));
    add("circle_ccw_start_" + s, Rotated(c, n / 3 + 1));
    add("circle_cw_start_" + s, Rotated(Reversed(c), n / 5 + 2));
    add("circle_shuffled_" + s, ShuffledCopy(c, &rng));
  }
  for (int n : {200, 2000}) {
    const std::vector<Vec2> w = WavyOutline(n);
    const std::string s = std::to_string(n);
    add("wavy_ccw_" + s, w);
    add("wavy_cw_start_" + s, Rotated(Reversed(w), n / 7));
    add("wavy_shuffled_" + s, ShuffledCopy(w, &rng));
  }
  for (double r : {20.0, 380.0}) {
    const std::vector<Vec2> t = TracedOutline(r);
    const std::string s = std::to_string(static_cast<int>(r));
    add("traced_ccw_" + s, t);
    add("traced_cw_start_" + s, Rotated(Reversed(t), t.size() / 3));
    add("traced_shuffled_" + s, ShuffledCopy(t, &rng));
    add("traced_ccw_offset_" + s,
        Transformed(t, 1, Vec2(1024.5, -3000.25)));
  }
  add("grid_rows_12", Grid(12, 1));
  add("grid_repeated_9", Grid(9, 3));
  add("grid_shuffled_30", ShuffledCopy(Grid(30, 2), &rng));
  add("rectangle_boundary", RectangleBoundary(40, 17));
  add("rectangle_boundary_cw_start",
      Rotated(Reversed(RectangleBoundary(23, 41)), 50));
  add("rectangle_boundary_shuffled",
      ShuffledCopy(RectangleBoundary(31, 31), &rng));
  add("collinear_then_apex", [] {
    std::vector<Vec2> p;
    for (int x = 0; x <= 50; ++x) p.emplace_back(x, 0);
    p.emplace_back(25, 10);
    for (int x = 50; x >= 0; x -= 5) p.emplace_back(x, 20);
    return p;
  }());
  add("subgrid_clusters", SubGridClusters(3000, &rng));
  add("subgrid_clusters_shuffled",
      ShuffledCopy(SubGridClusters(600, &rng), &rng));
  add("two_points_far_apart_plus_cloud_below_one_unit", [] {
    std::vector<Vec2> p = {{0, 0}, {1048576, 0}};
    for (int k = 0; k < 20; ++k) p.emplace_back(500000 + k * 0.03, 0.9);
    p.emplace_back(300000, 5000);
    return p;
  }());
  add("thin_above_tolerance", Thin(500, 2.0, &rng));
  add("thin_near_tolerance", Thin(500, 1.32, &rng));
  add("thin_below_tolerance", Thin(500, 0.5, &rng));
  add("thin_tolerance_zero", Thin(300, 1e-9, &rng), 0);
  add("collinear_tolerance_zero_then_off_by_a_hair", [] {
    std::vector<Vec2> p;
    for (int k = 0; k <= 40; ++k) p.emplace_back(k * 25, k * 10);
    p.emplace_back(400, 160 + 1e-7);
    p.emplace_back(600, 240 - 1e-7);
    return p;
  }(), 0);
  // Start triangles flat on the grid: the ring starts degenerate.
  for (int variant = 0; variant < 3; ++variant) {
    std::vector<Vec2> p;
    for (int x = 0; x <= 1000; x += 7) p.emplace_back(x, 0);
    for (int k = 0; k < 200; ++k) {
      const double x = 1000 * rng.Unit();
      p.emplace_back(x, (k % 2 ? 1e-5 : -1e-5) * rng.Unit());
    }
    if (variant > 0) Shuffle(&p, &rng);
    for (int k = 0; k < 6 * variant; ++k) {
      p.emplace_back(1000 * rng.Unit(), (k % 3 - 1) * 0.01 * rng.Unit());
    }
    if (variant == 2) Shuffle(&p, &rng);
    add("flat_on_grid_tolerance_zero_" + std::to_string(variant), p, 0);
  }
  add("overflowing_range", {{-1e308, 0}, {1e308, 0}, {0, 1e308}});
  add("not_a_number", {{0, 0}, {1, std::nan("")}, {0, 1}});
  add("infinite", {{0, 0}, {HUGE_VAL, 0}, {0, 1}});
  add("empty", {});
  add("huge_extent", Transformed(Disc(300, &rng), 1e300, Vec2(0, 0)));
  add("huge_offset_small_extent",
      Transformed(Disc(300, &rng), 1, Vec2(1e9, -1e9)));
  add("tiny_extent", Transformed(Disc(300, &rng), 1e-290, Vec2(0, 0)));
  add("tiny_extent_tolerance_zero",
      Transformed(Disc(300, &rng), 1e-300, Vec2(0, 0)), 0);
  add("denormal_tolerance_zero",
      {{0, 0}, {4e-323, 0}, {0, 3e-323}, {1e-323, 1e-323}}, 0);
  add("negative_zeros", {{-0.0, 0}, {1, -0.0}, {0, 1}, {-0.0, -0.0}});
  // The point / segment / polygon classification and its edges.
  add("all_equal", {{3, 4}, {3, 4}, {3, 4}, {3, 4}});
  add("one_point", {{3, 4}});
  add("two_points", {{3, 4}, {5, 1}});
  add("extent_at_tolerance", {{0, 0}, {0.001, 0}, {0.0005, 0.0004}});
  add("extent_below_tolerance", {{0, 0}, {0.000999, 0}, {0.0005, 0.0004}});
  add("height_at_tolerance", {{0, 0}, {1, 0}, {0.5, 0.001}, {0.2, -0.0005}});
  add("height_below_tolerance",
      {{0, 0}, {1, 0}, {0.5, 0.000999}, {0.2, -0.0005}});
  add("height_both_sides", {{0, 0}, {10, 0}, {5, 3}, {5, -3}, {2, -3}});
  add("taller_than_wide", {{0, 0}, {1, 5}, {-1, 3}, {0.5, 10}, {0, 2}});
  add("square_tie_axes", {{0, 0}, {1, 0}, {1, 1}, {0, 1}});
  add("square_tie_axes_cw", {{0, 0}, {0, 1}, {1, 1}, {1, 0}});
  add("triangle_ccw_cw", {{0, 0}, {4, 0}, {2, 3}, {2, -3}});
  add("extends_edge_on_its_line", {{0, 0}, {10, 0}, {5, 8}, {9, 4}, {8, 8}});
  add("points_on_edges_and_inside",
      {{0, 0}, {4, 0}, {2, 0}, {4, 4}, {1, 1}, {0, 4}, {4, 4}});
  add("tolerance_zero_coincident", {{1, 1}, {1, 1}}, 0);
  add("tolerance_zero_collinear", {{0, 0}, {2, 2}, {1, 1}}, 0);
  add("tolerance_zero_polygon", {{0, 0}, {1e-4, 0}, {1e-4, 1e-4}, {0, 1e-4}},
      0);

  if (large) {
    add("disc_200000", Disc(200000, &rng));
    add("circle_ccw_100000", CirclePoints(100000));
    add("traced_ccw_5000", TracedOutline(5000));
    add("gaussian_200000", Gaussian(200000, &rng));
  }
  return sets;
}

}  // namespace testing
}  // namespace silhouette
