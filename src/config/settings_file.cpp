#include "config/settings_file.h"

#include <array>
#include <cstring>
#include <memory>
#include <vector>

#include "config/field_access.h"
#include "config/settings_defaults.h"
#include "config/settings_repairs.h"
#include "platform/files.h"

namespace velnora {
namespace {

constexpr std::size_t kChunk = 65536;

// Reads up to `block.size()` bytes; what the file does not have stays zero.
void ReadBlock(std::FILE* file, std::span<uint8_t> block) {
  std::memset(block.data(), 0, block.size());
  std::size_t got = 0;
  while (got < block.size()) {
    const std::size_t n = std::fread(block.data() + got, 1, block.size() - got, file);
    if (n == 0) break;
    got += n;
  }
  NibbleSwap(block.first(got));
}

bool HasMagic(const CommonSettings& common) {
  return std::strncmp(common.magic, kSettingsMagic, sizeof common.magic) == 0;
}

// Scrambles through a small buffer, so saving needs no second 18 MB copy.
bool WriteScrambled(platform::ReplaceFileWriter& writer, std::span<const uint8_t> bytes) {
  std::array<uint8_t, kChunk> buffer;
  for (std::size_t done = 0; done < bytes.size(); done += kChunk) {
    const std::size_t n = std::min(kChunk, bytes.size() - done);
    std::memcpy(buffer.data(), bytes.data() + done, n);
    NibbleSwap(std::span(buffer).first(n));
    if (!writer.Write(std::span<const uint8_t>(buffer.data(), n))) return false;
  }
  return true;
}

}  // namespace

void NibbleSwap(std::span<uint8_t> bytes) {
  for (uint8_t& b : bytes) b = static_cast<uint8_t>((b << 4) | (b >> 4));
}

LoadResult LoadSettings(SettingsImage& image, SettingsLocation& location, DisplayArea screen,
                        bool initialiseIfInvalid, bool keepSuspensions) {
  LoadResult result;
  std::vector<int16_t> suspensions;
  if (keepSuspensions) {
    for (const AccountSettings& a : image.accounts) {
      const int16_t suspended = a.remoteSuspended;  // a copy: the packed field may be misaligned
      suspensions.push_back(suspended);
    }
  }

  platform::FilePtr file = platform::OpenFile(location.CurrentFolderSettingsPath(), "rb");
  if (file) {
    location.EnterCurrentFolderMode();
  } else if (const std::string path = location.ConfigFolderSettingsPath(); !path.empty()) {
    file = platform::OpenFile(path, "rb");
  }
  if (file) {
    result.fileFound = true;
    const std::span<uint8_t> bytes = ImageBytes(image);
    ReadBlock(file.get(), bytes.subspan(kBlockAOffset, kBlockASize));
    ReadBlock(file.get(), bytes.subspan(kBlockBOffset, kBlockBSize));
    result.valid = HasMagic(image.common);
    file.reset();
  }
  if (!result.valid && initialiseIfInvalid) {
    MakeFreshTable(image, screen);
    result.freshTable = true;
  }
  RepairSettings(image, screen, suspensions);
  return result;
}

SaveResult SaveSettings(const SettingsImage& image, const SettingsLocation& location) {
  std::vector<std::string> paths;
  if (location.currentFolderMode()) {
    paths.push_back(location.CurrentFolderSettingsPath());
  } else {
    if (const std::string path = location.ConfigFolderSettingsPath(); !path.empty()) paths.push_back(path);
    paths.push_back(location.CurrentFolderSettingsPath());
  }
  for (const std::string& path : paths) {
    platform::ClearReadOnly(path);
    platform::ReplaceFileWriter writer(path, 0600);
    if (!writer.ok()) continue;
    const std::span<const uint8_t> bytes = ImageBytes(image);
    if (!WriteScrambled(writer, bytes.subspan(kBlockAOffset, kBlockASize)) ||
        !WriteScrambled(writer, bytes.subspan(kBlockBOffset, kBlockBSize)) || !writer.Commit()) {
      return SaveResult::WriteFailed;
    }
    return SaveResult::Saved;
  }
  return SaveResult::NoWritableFile;
}

bool CopyFile64k(const std::string& source, const std::string& target) {
  platform::FilePtr in = platform::OpenFile(source, "rb");
  if (!in) return false;
  platform::ClearReadOnly(target);
  platform::ReplaceFileWriter out(target, 0600);
  if (!out.ok()) return false;
  std::vector<uint8_t> buffer(kChunk);
  while (true) {
    const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), in.get());
    if (n > 0 && !out.Write(std::span<const uint8_t>(buffer.data(), n))) return false;
    if (n < buffer.size()) break;
  }
  if (std::ferror(in.get())) return false;
  return out.Commit();
}

}  // namespace velnora
