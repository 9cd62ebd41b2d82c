// Named, varied point sets for comparing convex hull implementations: random
// clouds, outlines in boundary order and shuffled, grids full of collinear
// and repeated points, clusters closer than one grid unit, thin sets, huge
// and tiny extents, and sets on the edges of the point / segment / polygon
// classification. Every set is made with +, -, *, / and rounding only (no
// library functions, no standard distributions), so it has the same bits on
// every machine with IEEE doubles.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "geometry/vec2.h"

namespace silhouette {
namespace testing {

struct HullPointSet {
  std::string name;
  std::vector<Vec2> points;
  double tolerance;
};

// A small deterministic generator (splitmix64).
class SplitMix {
 public:
  explicit SplitMix(uint64_t seed) : state_(seed) {}
  uint64_t Next();
  // Uniform in [0, 1), 53 random bits.
  double Unit();
  // Uniform integer in [0, n), n > 0.
  uint64_t Below(uint64_t n);

 private:
  uint64_t state_;
};

// Fisher-Yates with SplitMix.
void Shuffle(std::vector<Vec2>* points, SplitMix* rng);

// n points on the unit circle, counter-clockwise in boundary order starting
// at angle 0 (rational parametrisation, so not evenly spaced).
std::vector<Vec2> CirclePoints(int n);

// The pixel chain of a wavy blob of radius about r, in boundary order:
// integer coordinates, consecutive points distinct.
std::vector<Vec2> TracedOutline(double r);

// The sets the fixtures record. `large` adds sets of 10^5 points and more.
std::vector<HullPointSet> HullPointSets(bool large);

}  // namespace testing
}  // namespace silhouette
