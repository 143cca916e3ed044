#include "engine/temp_files.h"

#include "config/common_settings.h"
#include "platform/files.h"

namespace velnora {
namespace {

std::string WithSeparator(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace

std::string TempFileFolder(const CommonSettings& common) {
  if (common.tempInCurrentFolder) return WithSeparator(platform::CurrentFolder());
  return WithSeparator(platform::PrivateTempFolder());
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
