// The fuzz targets. Each body decodes one input, runs the code under test
// and checks what must hold for every input; it returns "" when all holds,
// and otherwise one line saying what broke. Crashes, sanitizer reports,
// leaks and hangs are caught around the body: by libFuzzer with ASan and
// UBSan in the fuzz tree, by the unit tests (plain and sanitized) that
// replay the kept inputs through the same bodies.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace silhouette {
namespace fuzz {

using TargetBody = std::string (*)(const uint8_t* data, std::size_t size);

struct FuzzTarget {
  // The folder name under fuzz/corpus/ and fuzz/regressions/, and the
  // executable's name without its "_fuzz" suffix.
  const char* name;
  TargetBody body;
};

// The module entries through the embedded host.
std::string PiroletTarget(const uint8_t* data, std::size_t size);
std::string KestrimTarget(const uint8_t* data, std::size_t size);
std::string DovanelTarget(const uint8_t* data, std::size_t size);
// ViewSet(const mxArray*) alone.
std::string ViewSetTarget(const uint8_t* data, std::size_t size);
// PlanarHull and MeanCaliperDiameter against an exact oracle.
std::string PlanarHullTarget(const uint8_t* data, std::size_t size);
// TangentPoints against a plain scan of the hull.
std::string TangentPointsTarget(const uint8_t* data, std::size_t size);
// TangentSearch against the TangentPoints scan, bit for bit.
std::string TangentSearchTarget(const uint8_t* data, std::size_t size);
// PlanarHull and MeanCaliperDiameter against their literal previous
// versions at the modules' tolerance, bit for bit.
std::string HullReferenceTarget(const uint8_t* data, std::size_t size);
// Kestrim's per-pair ray clip (EpipolarLineIndex, ClipTwoFaces) against
// the clip by every face of the cone.
std::string RayClipTarget(const uint8_t* data, std::size_t size);

// Every target, in the order scripts/fuzz runs them.
extern const FuzzTarget kAllTargets[];
extern const std::size_t kNumTargets;

}  // namespace fuzz
}  // namespace silhouette
