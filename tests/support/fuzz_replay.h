// Replays stored inputs through a fuzz target's entry point inside the unit
// tests: every input a fuzzer once failed on, and the seed corpus. The
// target aborts on a broken property; the sanitizer build of the tests
// catches memory faults.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace velnora::testing {

using FuzzEntry = int (*)(const uint8_t* data, std::size_t size);

// The regular files of `dir` below the source tree, in name order; none
// when it does not exist.
inline std::vector<std::filesystem::path> FuzzInputs(const std::string& dir) {
  std::vector<std::filesystem::path> files;
  std::error_code ec;
  for (const auto& entry :
       std::filesystem::directory_iterator(std::filesystem::path(VELNORA_SOURCE_DIR) / dir, ec)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

inline void ReplayFuzzInputs(FuzzEntry entry, const std::vector<std::filesystem::path>& files) {
  for (const auto& file : files) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> data((std::istreambuf_iterator<char>(in)),
                                 std::istreambuf_iterator<char>());
    SCOPED_TRACE(file.string());
    EXPECT_EQ(entry(reinterpret_cast<const uint8_t*>(data.data()), data.size()), 0);
  }
}

}  // namespace velnora::testing

// The two replay tests of a fuzz target: the inputs it once failed on, kept in
// tests/<layer>/data/<target>/, and its seed corpus in fuzz/corpus/<target>/.
#define VELNORA_FUZZ_REPLAY_TESTS(Suite, entry, layer, target)                                 \
  TEST(Suite, FoundInputs) {                                                                   \
    ::velnora::testing::ReplayFuzzInputs(                                                      \
        entry, ::velnora::testing::FuzzInputs("tests/" layer "/data/" target));                \
  }                                                                                            \
  TEST(Suite, SeedCorpus) {                                                                    \
    const auto seeds = ::velnora::testing::FuzzInputs("fuzz/corpus/" target);                  \
    ASSERT_FALSE(seeds.empty());                                                               \
    ::velnora::testing::ReplayFuzzInputs(entry, seeds);                                        \
  }
