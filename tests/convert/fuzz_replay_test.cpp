// Replays every input the fuzzer ever failed on, and the seed corpus,
// through the same harness; the sanitizer build of the tests catches any
// return of the fault.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "../../fuzz/convert_fuzz.cpp"

namespace velnora {
namespace {

std::vector<std::filesystem::path> FilesIn(const std::filesystem::path& dir) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  return files;
}

void Replay(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<char> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(data.data()), data.size()), 0) << file;
}

TEST(FuzzReplay, FoundCrashInputs) {
  auto files = FilesIn(std::filesystem::path(VELNORA_SOURCE_DIR) / "tests/convert/data");
  ASSERT_FALSE(files.empty());
  for (const auto& file : files) Replay(file);
}

TEST(FuzzReplay, SeedCorpus) {
  auto files = FilesIn(std::filesystem::path(VELNORA_SOURCE_DIR) / "fuzz/corpus/convert_fuzz");
  ASSERT_FALSE(files.empty());
  for (const auto& file : files) Replay(file);
}

}  // namespace
}  // namespace velnora
