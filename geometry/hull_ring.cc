#include "geometry/hull_ring.h"

namespace silhouette {

void HullRing::Clear(std::size_t expected) {
  edges_.clear();
  spare_.clear();
  edges_.reserve(expected);
}

}  // namespace silhouette
