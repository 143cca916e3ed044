#include "config/settings_location.h"

#include <utility>

#include "platform/files.h"

namespace velnora {

SettingsLocation::SettingsLocation(std::string currentFolder, std::string configFolder)
    : currentFolder_(std::move(currentFolder)), configFolder_(std::move(configFolder)) {}

SettingsLocation SettingsLocation::ForProcess() {
  return SettingsLocation(platform::CurrentFolder(), platform::ConfigFolder());
}

SettingsLocation SettingsLocation::ForFolder(std::string folder) {
  return SettingsLocation(std::move(folder), platform::ConfigFolder());
}

SettingsLocation::SettingsLocation(const SettingsLocation& other)
    : currentFolder_(other.currentFolder_),
      configFolder_(other.configFolder_),
      currentFolderMode_(other.currentFolderMode()) {}

std::string SettingsLocation::CurrentFolderSettingsPath() const {
  return platform::JoinPath(currentFolder_, kSettingsFileName);
}

std::string SettingsLocation::ConfigFolderSettingsPath() const {
  return configFolder_.empty() ? std::string() : platform::JoinPath(configFolder_, kSettingsFileName);
}

std::string SettingsLocation::InChosenFolder(const char* name) const {
  if (currentFolderMode() || configFolder_.empty()) return platform::JoinPath(currentFolder_, name);
  return platform::JoinPath(configFolder_, name);
}

std::string SettingsLocation::SettingsPath() const { return InChosenFolder(kSettingsFileName); }
std::string SettingsLocation::HistoryPath() const { return InChosenFolder(kHistoryFileName); }
std::string SettingsLocation::UidlStorePath() const { return InChosenFolder(kUidlStoreFileName); }

std::string SettingsLocation::ForwardingFolder() const {
  if (platform::FileExists(CurrentFolderSettingsPath()) || configFolder_.empty()) return currentFolder_;
  return configFolder_;
}

}  // namespace velnora
