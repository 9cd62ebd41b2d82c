#include "fuzz/fuzz_targets.h"

namespace silhouette {
namespace fuzz {

const FuzzTarget kAllTargets[] = {
    {"pirolet", PiroletTarget},
    {"kestrim", KestrimTarget},
    {"dovanel", DovanelTarget},
    {"view_set", ViewSetTarget},
    {"planar_hull", PlanarHullTarget},
    {"hull_reference", HullReferenceTarget},
    {"tangent_points", TangentPointsTarget},
    {"tangent_search", TangentSearchTarget},
    {"ray_clip", RayClipTarget},
};
const std::size_t kNumTargets = sizeof(kAllTargets) / sizeof(kAllTargets[0]);

}  // namespace fuzz
}  // namespace silhouette
