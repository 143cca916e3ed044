// An independent writer and reader of settings-file bytes for tests: values
// are placed at byte offsets by hand (little-endian), not through the
// records, and the file scrambling is done here on its own.
#pragma once

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace velnora::testing {

inline constexpr std::size_t kFileSize = 18832633;
inline constexpr std::size_t kCommonBytes = 1100;
inline constexpr std::size_t kAccountBytes = 37723;
inline constexpr std::size_t kExtraBytes = 9218;
inline constexpr std::size_t kExtraTableStart = kCommonBytes + 401 * kAccountBytes;

// File offset of account `index`'s record and of its extra record.
inline std::size_t AccountAt(int index) { return kCommonBytes + index * kAccountBytes; }
inline std::size_t ExtraAt(int index) { return kExtraTableStart + index * kExtraBytes; }

inline void PutInt16(std::vector<uint8_t>& b, std::size_t at, int v) {
  b[at] = static_cast<uint8_t>(v & 0xFF);
  b[at + 1] = static_cast<uint8_t>((v >> 8) & 0xFF);
}
inline void PutInt32(std::vector<uint8_t>& b, std::size_t at, int64_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>((v >> (8 * i)) & 0xFF);
}
inline void PutText(std::vector<uint8_t>& b, std::size_t at, const std::string& text) {
  std::memcpy(b.data() + at, text.data(), text.size());
  b[at + text.size()] = 0;
}
inline int GetInt16(const std::vector<uint8_t>& b, std::size_t at) {
  return static_cast<int16_t>(b[at] | (b[at + 1] << 8));
}

// Exchanges the halves of every byte, as the settings file stores them.
inline std::vector<uint8_t> Scrambled(std::vector<uint8_t> bytes) {
  for (uint8_t& c : bytes) c = static_cast<uint8_t>(((c & 0x0F) << 4) | ((c & 0xF0) >> 4));
  return bytes;
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Unscrambled bytes of a fresh file with only the identification text set.
inline std::vector<uint8_t> BareSettings(std::size_t size = kFileSize) {
  std::vector<uint8_t> bytes(size, 0);
  PutText(bytes, 0, "VEL_NORA4_SP4");
  return bytes;
}

}  // namespace velnora::testing
