// Reads previous_edges.txt (see record_previous_edges.cc): rigs and the
// edges recorded for them.
#pragma once

#include <string>
#include <vector>

#include "camera/camera.h"
#include "geometry/polygon2.h"
#include "kestrim/viewing_edge_extractor.h"

namespace silhouette {

struct FixtureRig {
  std::string name;
  std::vector<Camera> cameras;
  std::vector<Polygon2> boundaries;
  std::vector<ViewingEdge> edges;
};

// The rigs of the fixture file at `path`, in file order. Throws
// std::runtime_error naming the line when the file is missing or does not
// follow the layout.
std::vector<FixtureRig> ReadEdgeFixture(const std::string& path);

// The path of previous_edges.txt in the source tree.
std::string PreviousEdgesPath();

}  // namespace silhouette
