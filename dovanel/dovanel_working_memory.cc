#include "dovanel/dovanel_working_memory.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "camera/view.h"
#include "dovanel/tangency_residuals.h"
#include "dovanel/tangent_search.h"
#include "geometry/mat4.h"
#include "geometry/vec2.h"

namespace silhouette {
namespace {

constexpr double kParams = 7;
// Per residual in one thread: the Jacobian row and the vectors of length R
// that GSL's scaled Levenberg-Marquardt solver keeps (f, the trial f,
// Q^T f, the change of f and a work vector), the forward differences'
// residuals at x and at a stepped x, and the model's scratch
// (relative_pose_model.h): the values summed for the RMS, a flag per half
// group (R / 4 bytes) and two hints per pair (R / 8 of each).
constexpr double kWorkspaceBytes = (kParams + 5 + 2 + 1) * sizeof(double) +
                                   0.25 + 2 * sizeof(TangentSearch::Hint) / 8;
// Per view in one thread's model: its inverses, its pose product and its
// TangentSearch (the object; its tables are counted per hull vertex).
constexpr double kModelViewBytes =
    sizeof(ViewInverses) + sizeof(Mat4) + sizeof(TangentSearch);
// Per hull vertex in one thread's searches: the vertex, its coordinates in
// leaves of 16 (up to 15 of padding per leaf, counted as one more vertex's
// worth), and a tree node per leaf and its parents (two per 16 vertices).
constexpr double kSearchVertexBytes =
    sizeof(Vec2) + 2 * 2 * sizeof(double) + 2.0 * 48 / 16;
// Per residual outside the threads: the best start's residuals and the
// output row.
constexpr double kResultBytes = 2 * sizeof(double);
// A view as read: the View with its 100 direction bins (as Kestrim reads
// it).
constexpr double kViewBytes = sizeof(View) + 100 * (24 + 4 * sizeof(int32_t));
// A start: its pose and the pose it ends at.
constexpr double kStartBytes = 2 * kParams * sizeof(double);

}  // namespace

double DovanelWorkingBytes(std::size_t viewsA, std::size_t viewsB,
                           std::size_t hullVertices, std::size_t starts,
                           int threads) {
  const double views = static_cast<double>(viewsA) + static_cast<double>(viewsB);
  const double residuals =
      8.0 * static_cast<double>(viewsA) * static_cast<double>(viewsB);
  const double counted =
      residuals <= std::numeric_limits<int>::max() ? residuals : 0;
  const double per_thread = counted * kWorkspaceBytes +
                            views * kModelViewBytes +
                            static_cast<double>(hullVertices) *
                                kSearchVertexBytes;
  return static_cast<double>(std::max(threads, 1)) * per_thread +
         counted * kResultBytes + views * kViewBytes +
         static_cast<double>(starts) * kStartBytes;
}

}  // namespace silhouette
