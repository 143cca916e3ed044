// What the fuzz targets share: a failed property aborts with its text (the
// fuzzer keeps the input), and an input can be cut into chunks the way a
// network delivers it, reproducibly from one byte of the input.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#define FUZZ_CHECK(condition)                                                   \
  do {                                                                          \
    if (!(condition)) {                                                         \
      std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, \
                   #condition);                                                 \
      std::abort();                                                             \
    }                                                                           \
  } while (0)

namespace velnora::fuzz {

// Chunks of 1..16 bytes (seed 0: one byte each), so that every split point
// of a short input is met and long inputs still take few calls.
inline std::vector<std::string_view> SplitChunks(std::string_view data, uint8_t seed) {
  std::vector<std::string_view> chunks;
  uint32_t state = seed * 2654435761u + 1;
  while (!data.empty()) {
    state = state * 1103515245u + 12345u;
    const std::size_t size = seed == 0 ? 1 : 1 + (state >> 16) % 16;
    chunks.push_back(data.substr(0, size));
    data.remove_prefix(std::min(size, data.size()));
  }
  return chunks;
}

// A private folder for the whole fuzzing run, under the temporary folder.
inline std::string MakeRunFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "velnora-fuzz-XXXXXX").string();
  if (!mkdtemp(pattern.data())) std::abort();
  return pattern;
}

inline std::string_view AsText(const uint8_t* bytes, std::size_t size) {
  return std::string_view(reinterpret_cast<const char*>(bytes), size);
}

}  // namespace velnora::fuzz
