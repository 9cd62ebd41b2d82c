#include "geometry/grid_placement.h"

#include <cmath>
#include <type_traits>

#if defined(__SSE2__) || defined(_M_X64) || \
    (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define SILHOUETTE_PACKED_GRID_PLACEMENT 1
#include <emmintrin.h>
#endif

namespace silhouette {

static_assert(sizeof(Vec2) == 2 * sizeof(double) &&
                  std::is_standard_layout<Vec2>::value,
              "Vec2 must be two doubles and nothing else");
static_assert(sizeof(GridPoint) == 2 * sizeof(int32_t),
              "GridPoint must be two int32_t and nothing else");

namespace {

void Update(double distance, int32_t i, FarthestPoint* farthest) {
  if (std::abs(distance) > farthest->distance) {
    farthest->distance = std::abs(distance);
    farthest->index = i;
    farthest->sign = Sign(distance);
  }
}

}  // namespace

bool PlaceOnGridPlain(const Vec2* points, int32_t count,
                      const GridFrame& frame, GridPoint* grid,
                      FarthestPoint* farthest) {
  bool not_a_number = false;
  // A grid coordinate is NaN for a NaN input, or for 0 times an infinite
  // scale (a point at the minimum of a sub-denormal extent), which is 0.
  auto to_grid = [&frame, &not_a_number](double v, double min_value) {
    const double g = (v - min_value) * frame.scale;
    if (g != g) not_a_number |= v != v;
    return ToGridCoordinate(g);
  };
  for (int32_t i = 0; i < count; ++i) {
    const Vec2 d = (points[i] - frame.origin) * frame.unit;
    Update(frame.normal.Dot(d), i, farthest);
    grid[i] = GridPoint{to_grid(points[i].x, frame.minCorner.x),
                        to_grid(points[i].y, frame.minCorner.y)};
  }
  return !not_a_number;
}

#ifdef SILHOUETTE_PACKED_GRID_PLACEMENT

bool PlaceOnGrid(const Vec2* points, int32_t count, const GridFrame& frame,
                 GridPoint* grid, FarthestPoint* farthest) {
  // Lane 0 holds x, lane 1 y. Each packed operation rounds each lane as
  // the scalar one does; the dot product adds the x term and the y term in
  // the scalar order. NaN grid coordinates become 0 before the clamps, as
  // in ToGridCoordinate, so that minimum and maximum see numbers only.
  const __m128d origin = _mm_set_pd(frame.origin.y, frame.origin.x);
  const __m128d normal = _mm_set_pd(frame.normal.y, frame.normal.x);
  const __m128d min_corner = _mm_set_pd(frame.minCorner.y, frame.minCorner.x);
  const __m128d scale = _mm_set1_pd(frame.scale);
  const __m128d unit = _mm_set1_pd(frame.unit);
  const __m128d high = _mm_set1_pd(268435456.0);  // 2^28
  const __m128d low = _mm_set1_pd(-268435456.0);
  __m128d not_a_number = _mm_setzero_pd();
  for (int32_t i = 0; i < count; ++i) {
    const __m128d p = _mm_loadu_pd(&points[i].x);
    const __m128d terms =
        _mm_mul_pd(normal, _mm_mul_pd(_mm_sub_pd(p, origin), unit));
    Update(_mm_cvtsd_f64(_mm_add_sd(terms, _mm_unpackhi_pd(terms, terms))), i,
           farthest);
    not_a_number = _mm_or_pd(not_a_number, _mm_cmpunord_pd(p, p));
    __m128d g = _mm_mul_pd(_mm_sub_pd(p, min_corner), scale);
    g = _mm_and_pd(g, _mm_cmpord_pd(g, g));
    g = _mm_max_pd(_mm_min_pd(g, high), low);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(&grid[i]),
                     _mm_cvttpd_epi32(g));
  }
  return _mm_movemask_pd(not_a_number) == 0;
}

#else

bool PlaceOnGrid(const Vec2* points, int32_t count, const GridFrame& frame,
                 GridPoint* grid, FarthestPoint* farthest) {
  return PlaceOnGridPlain(points, count, frame, grid, farthest);
}

#endif

}  // namespace silhouette
