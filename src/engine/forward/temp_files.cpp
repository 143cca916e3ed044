#include "engine/forward/temp_files.h"

#include "config/common_settings.h"
#include "platform/files.h"

#include <cstdint>
#include <cstdio>

namespace velnora {
namespace {

std::string WithSeparator(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

// FNV-1a: a stable short name for a folder path.
std::string FolderTag(std::string_view path) {
  uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : path) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

}  // namespace

std::string TempFileFolder(const CommonSettings& common, std::string_view settingsFolder) {
  if (common.tempInCurrentFolder) return WithSeparator(platform::CurrentFolder());
  std::string base = platform::PrivateTempFolder();
  if (base.empty() || settingsFolder.empty()) return WithSeparator(base);
  std::string folder = platform::JoinPath(base, FolderTag(settingsFolder));
  return platform::EnsurePrivateFolder(folder) ? WithSeparator(folder) : std::string();
}

std::string ReceivedMailPath(std::string_view folder, int messageNumber) {
  return std::string(folder) + "$vnrmail" + std::to_string(messageNumber) + ".vnr";
}

std::string OutgoingPartPath(std::string_view folder, int partNumber) {
  return std::string(folder) + "$vnrdiv" + std::to_string(partNumber) + ".vnr";
}

bool RemoveTempFile(const std::string& path) {
  return platform::RemoveFile(path) || !platform::FileExists(path);
}

}  // namespace velnora
