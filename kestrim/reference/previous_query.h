// The viewing-edge computation of the release before the signed clip:
// distances along each ray by the law of sines on unsigned angles. Kept
// verbatim, outside the modules, for two uses only: the benchmark times it
// beside the current computation, and record_previous_edges.cc writes its
// answers on rigs where it is right (every camera centre in front of every
// other camera) as the fixture that the current computation must
// reproduce. It is wrong for a camera centre behind another camera's image
// plane; nothing else may call it.
#pragma once

#include <vector>

#include "camera/view_set.h"
#include "kestrim/viewing_edge_extractor.h"

namespace silhouette {

// Appends the edges of `viewSet` to `edges` as the previous release did.
void PreviousQueryEdges(const ViewSet& viewSet,
                        std::vector<ViewingEdge>* edges);

}  // namespace silhouette
