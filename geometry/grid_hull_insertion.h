// Incremental insertion of grid points into a hull ring, the polygon stage
// of PlanarHull.
#pragma once

#include <cstdint>
#include <vector>

#include "geometry/grid_point.h"

namespace silhouette {

// Starts from the triangle i0, i1, i_far (counter-clockwise as i0 -> i1 ->
// i_far when `ccw`, else as i0 -> i_far -> i1) and inserts points 0 ..
// count - 1 in order: a point that lies strictly to the right of some edge
// replaces the run of edges it lies strictly to the right of, walking back
// and on from the first one found; any other point is skipped. The result
// is the ring's vertices from the start of the edge made last (the vertex
// before the last point inserted), counter-clockwise.
//
// When the triangle has area on the grid the ring stays convex around it.
// Points are first inserted into a ring held in one array (CursorRing),
// which settles points in boundary order at its ends; once points stop
// coming in that order, a linked ring takes over from there, and three
// shortcuts find a visible edge or prove there is none: the edge made last
// and the one after it, an inner hull of the triangle and of extreme
// inserted points, which the ring is known to contain, and a sector search
// around the triangle's centroid. The ring after an insertion is the same
// whichever visible edge is found, since the edges a point outside a convex
// ring sees form one run. A flat triangle is searched from the edge made
// last, edge by edge, as is any ring the shortcuts find not convex.
//
// False when a link of the ring is found missing (a flat start can leave a
// ring that insertion breaks); `list` is then left empty.
bool InsertGridPoints(const GridPoint* grid, int32_t count, int32_t i0,
                      int32_t i1, int32_t i_far, bool ccw,
                      std::vector<int32_t>* list);

}  // namespace silhouette
