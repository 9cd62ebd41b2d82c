// libFuzzer's entry for one target; the build names the target's body in
// SILHOUETTE_FUZZ_BODY. A broken property aborts, so that libFuzzer keeps
// the input as a crash.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string finding =
      silhouette::fuzz::SILHOUETTE_FUZZ_BODY(data, size);
  if (!finding.empty()) {
    std::fprintf(stderr, "FINDING: %s\n", finding.c_str());
    std::abort();
  }
  return 0;
}
