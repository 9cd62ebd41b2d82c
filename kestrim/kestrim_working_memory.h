// What a Kestrim call will need in memory, estimated before it allocates.
#pragma once

#include <cstddef>

namespace silhouette {

// The bytes a Kestrim call over a set of `views` views with
// `boundaryPoints` boundary points and `hullVertices` hull vertices in all
// needs at its peak (ViewingEdgeExtractor's tables):
//
//   views^2 * kPairBytes                   the V x V pair table: per
//                                          ordered pair the centre of one
//                                          camera in the other's frame and
//                                          an EpipolarLineIndex;
// + (views - 1) * hullVertices * kSectorBytes
//                                          the indexes' contents: each
//                                          view's hull vertices, sorted by
//                                          direction with the edges of each
//                                          sector, for every other view;
// + views * kViewBytes                     each view as read (camera, box,
//                                          100 direction bins) and its
//                                          per-view tables (inverse pose,
//                                          rotations, centre, cone);
// + boundaryPoints * kPointBytes           the boundary as read, normalized
//                                          and scaled, and the hull's grid;
// + hullVertices * kVertexBytes            the cone's face per hull
//                                          vertex, the per-ray tables of a
//                                          view (ray, direction, stretch),
//                                          an index's scratch while it is
//                                          built, and the edges found (at
//                                          most one per hull vertex) with
//                                          their output columns.
//
// The constants are in kestrim_working_memory.cc, next to the tables they
// stand for; a change of those tables changes them there. Every view has at
// least one boundary point and one hull vertex, so KestrimWorkingBytes(v,
// v, v) is the least any set of v views needs: the entry weighs that before
// it reads the set, and the full estimate once the hulls are known.
double KestrimWorkingBytes(std::size_t views, std::size_t boundaryPoints,
                           std::size_t hullVertices);

}  // namespace silhouette
