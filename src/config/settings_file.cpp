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
// Returns the bytes read.
std::size_t ReadBlock(std::FILE* file, std::span<uint8_t> block) {
  std::memset(block.data(), 0, block.size());
  std::size_t got = 0;
  while (got < block.size()) {
    const std::size_t n = std::fread(block.data() + got, 1, block.size() - got, file);
    if (n == 0) break;
    got += n;
  }
  NibbleSwap(block.first(got));
  return got;
}

std::string WithThousands(int64_t n) {
  std::string digits = std::to_string(n);
  for (int at = int(digits.size()) - 3; at > (n < 0 ? 1 : 0); at -= 3) digits.insert(std::size_t(at), ",");
  return digits;
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

  std::string path = location.CurrentFolderSettingsPath();
  platform::FilePtr file = platform::OpenFile(path, "rb");
  if (file || platform::FileExists(path)) {
    location.EnterCurrentFolderMode();
  } else {
    path = location.ConfigFolderSettingsPath();
    if (!path.empty()) file = platform::OpenFile(path, "rb");
  }
  // A file that is there but cannot be opened is found, not missing.
  result.fileFound = file || (!path.empty() && platform::FileExists(path));
  if (result.fileFound) result.path = path;
  if (file) {
    const std::span<uint8_t> bytes = ImageBytes(image);
    const std::size_t gotA = ReadBlock(file.get(), bytes.subspan(kBlockAOffset, kBlockASize));
    const std::size_t gotB = ReadBlock(file.get(), bytes.subspan(kBlockBOffset, kBlockBSize));
    result.valid = HasMagic(image.common);
    result.whole = gotA == kBlockASize && gotB == kBlockBSize && std::fgetc(file.get()) == EOF &&
                   !std::ferror(file.get());
    file.reset();
  }
  if (!result.valid && initialiseIfInvalid) {
    MakeFreshTable(image, screen);
    result.freshTable = true;
  }
  RepairSettings(image, screen, suspensions);
  return result;
}

SettingsFileCheck CheckSettingsFile(const std::string& path) {
  SettingsFileCheck check;
  if (!platform::FileExists(path)) return check;
  check.state = SettingsFileState::Unreadable;
  check.size = platform::FileSize(path);
  platform::FilePtr file = platform::OpenFile(path, "rb");
  if (!file || check.size < 0) return check;
  std::array<uint8_t, sizeof CommonSettings::magic> magic{};
  const std::size_t got = std::fread(magic.data(), 1, magic.size(), file.get());
  NibbleSwap(std::span(magic).first(got));
  if (got != magic.size() ||
      std::strncmp(reinterpret_cast<const char*>(magic.data()), kSettingsMagic, magic.size()) != 0) {
    check.state = SettingsFileState::WrongIdentification;
  } else if (uint64_t(check.size) != kSettingsFileSize) {
    check.state = SettingsFileState::WrongSize;
  } else {
    check.state = SettingsFileState::Whole;
  }
  return check;
}

std::string SettingsFileProblem(const std::string& path, const SettingsFileCheck& check) {
  const std::string expected = WithThousands(int64_t(kSettingsFileSize));
  switch (check.state) {
    case SettingsFileState::Missing:
    case SettingsFileState::Whole:
      return {};
    case SettingsFileState::Unreadable:
      return "the settings file " + path + " cannot be read";
    case SettingsFileState::WrongSize:
      return "the settings file " + path + (uint64_t(check.size) < kSettingsFileSize ? " is cut short" : " is too long") +
             ": " + WithThousands(check.size) + " bytes instead of " + expected;
    case SettingsFileState::WrongIdentification:
      return "the settings file " + path + " does not begin with the identification \"" +
             std::string(kSettingsMagic) + "\": it is damaged or not a settings file of this edition (" +
             WithThousands(check.size) + " bytes)";
  }
  return {};
}

std::string SettingsFileProblem(const LoadResult& load) {
  if (load.Usable()) return {};
  SettingsFileCheck check = CheckSettingsFile(load.path);
  // The file may have changed since the load: describe what the load saw.
  if (check.state == SettingsFileState::Whole || check.state == SettingsFileState::Missing) {
    check.state = load.valid ? SettingsFileState::WrongSize : SettingsFileState::WrongIdentification;
  }
  return SettingsFileProblem(load.path, check);
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
    const SettingsFileState there = CheckSettingsFile(path).state;
    if (there != SettingsFileState::Missing && there != SettingsFileState::Whole) {
      return SaveResult::TargetDamaged;
    }
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
