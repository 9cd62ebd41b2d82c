#include "kestrim/kestrim_working_memory.h"

#include <cstdint>

#include "camera/view.h"
#include "geometry/mat3.h"
#include "geometry/mat4.h"
#include "geometry/vec2.h"
#include "geometry/vec3.h"
#include "geometry/vec4.h"
#include "kestrim/epipolar_line_index.h"
#include "kestrim/ray_stretch.h"
#include "kestrim/silhouette_cone.h"
#include "kestrim/viewing_edge_extractor.h"

namespace silhouette {
namespace {

// One entry of the V x V pair table (ViewPair in viewing_edge_extractor.cc:
// the centre, the index and a flag, padded).
constexpr double kPairBytes =
    sizeof(Vec3) + sizeof(EpipolarLineIndex) + sizeof(double);
// One hull vertex in one pair's index (epipolar_line_index.h): its place
// in the order, its direction, and the sector after it with its two edges
// and whether an edge seen edge-on crosses it.
constexpr double kSectorBytes =
    sizeof(int32_t) + sizeof(Vec2) + 2 * sizeof(int32_t) + sizeof(char);
// A view: the View itself, its 100 direction bins with their vectors and
// entries (two per bin on a convex hull, a few more at the ends), and the
// per-view tables of the computation.
constexpr double kViewBytes =
    sizeof(View) + 100 * (24 + 4 * sizeof(int32_t)) + sizeof(Mat4) +
    2 * sizeof(Mat3) + sizeof(Vec4) + sizeof(SilhouetteCone);
// A boundary point: as read, normalized, scaled, and on the hull's grid
// (its grid point and integer coordinates).
constexpr double kPointBytes = 3 * sizeof(Vec2) + sizeof(Vec2) + 16;
// A hull vertex: its cone face; its ray, world direction and stretch; the
// directions, squared distances and turns an index is built from; and an
// edge (the ViewingEdge with a vector's doubling slack, and its seven
// output doubles).
constexpr double kVertexBytes =
    sizeof(Vec3) + 2 * sizeof(Vec3) + sizeof(RayStretch) + sizeof(Vec2) +
    2 * sizeof(double) + 2 * sizeof(ViewingEdge) + 7 * sizeof(double);

}  // namespace

double KestrimWorkingBytes(std::size_t views, std::size_t boundaryPoints,
                           std::size_t hullVertices) {
  const double v = static_cast<double>(views);
  const double others = views > 0 ? v - 1 : 0;
  return v * v * kPairBytes +
         others * static_cast<double>(hullVertices) * kSectorBytes +
         v * kViewBytes + static_cast<double>(boundaryPoints) * kPointBytes +
         static_cast<double>(hullVertices) * kVertexBytes;
}

}  // namespace silhouette
