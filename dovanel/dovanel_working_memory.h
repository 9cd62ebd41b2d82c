// What a Dovanel call will need in memory, estimated before it allocates.
#pragma once

#include <cstddef>

namespace silhouette {

// The bytes a Dovanel call over sets of `viewsA` and `viewsB` views with
// `hullVertices` hull vertices in all and `starts` start poses needs at its
// peak when SolveDovanel runs it on `threads` threads, with R = 8 viewsA
// viewsB residuals:
//
//   threads * (R * kWorkspaceBytes         each thread's solver and model:
//              + (viewsA + viewsB)         GSL's R x 7 Jacobian and its
//                * kModelViewBytes         vectors of length R, the forward
//              + hullVertices              differences' residual vectors,
//                * kSearchVertexBytes)     the model's per-residual
//                                          scratch (values, flags, hints),
//                                          per view its inverses, pose
//                                          product and TangentSearch, and
//                                          the searches' vertex tables;
// + R * kResultBytes                       the best start's residuals and
//                                          the output;
// + (viewsA + viewsB) * kViewBytes         each view as read;
// + starts * kStartBytes                   each start's pose and result.
//
// Before the sets are read the hulls are unknown: hullVertices = 0 gives
// the least the call needs (every term but the searches' tables). When R
// exceeds the largest int the residual terms are left out: the model
// refuses such sets with its own message. The constants are in
// dovanel_working_memory.cc.
double DovanelWorkingBytes(std::size_t viewsA, std::size_t viewsB,
                           std::size_t hullVertices, std::size_t starts,
                           int threads);

}  // namespace silhouette
