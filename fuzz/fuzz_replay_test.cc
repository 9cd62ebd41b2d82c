// Replays every kept fuzz input through its target's body: the regression
// inputs of past findings (fuzz/regressions/<target>/) and the seed corpus
// (fuzz/corpus/<target>/). In the sanitized tree this also checks them for
// memory errors, undefined behaviour and leaks.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/fuzz_targets.h"

namespace silhouette {
namespace fuzz {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> ReadBytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(file),
                              std::istreambuf_iterator<char>());
}

// The files of one folder, sorted; none when it does not exist.
std::vector<fs::path> FilesIn(const fs::path& folder) {
  std::vector<fs::path> files;
  if (!fs::is_directory(folder)) return files;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

class FuzzReplay : public ::testing::TestWithParam<FuzzTarget> {};

TEST_P(FuzzReplay, RegressionInputsHold) {
  const FuzzTarget target = GetParam();
  const fs::path folder =
      fs::path(SILHOUETTE_FUZZ_DIR) / "regressions" / target.name;
  for (const fs::path& file : FilesIn(folder)) {
    const std::vector<uint8_t> bytes = ReadBytes(file);
    EXPECT_EQ(target.body(bytes.data(), bytes.size()), "") << file;
  }
}

TEST_P(FuzzReplay, SeedCorpusHolds) {
  const FuzzTarget target = GetParam();
  const std::vector<fs::path> files =
      FilesIn(fs::path(SILHOUETTE_FUZZ_DIR) / "corpus" / target.name);
  EXPECT_FALSE(files.empty()) << "no seeds for " << target.name;
  for (const fs::path& file : files) {
    const std::vector<uint8_t> bytes = ReadBytes(file);
    EXPECT_EQ(target.body(bytes.data(), bytes.size()), "") << file;
  }
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay,
                         ::testing::ValuesIn(kAllTargets,
                                             kAllTargets + kNumTargets),
                         [](const ::testing::TestParamInfo<FuzzTarget>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace fuzz
}  // namespace silhouette
