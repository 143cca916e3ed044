// Where the settings file and its companions live. The program looks for
// "velnora4_zo400.prf" in the current folder first and then in the
// configuration folder; once a load finds the current-folder file the run is
// in current-folder mode, and the forwarding log and the UIDL store are kept
// in the current folder as well.
#pragma once

#include <atomic>
#include <string>

namespace velnora {

inline constexpr char kSettingsFileName[] = "velnora4_zo400.prf";
inline constexpr char kHistoryFileName[] = "velnora_.log";
inline constexpr char kUidlStoreFileName[] = "velnora4uidl_zo400.mbx";

class SettingsLocation {
 public:
  // An empty configFolder means there is none (it could not be created).
  SettingsLocation(std::string currentFolder, std::string configFolder);
  // The process's current folder and the user's configuration folder.
  static SettingsLocation ForProcess();
  // `folder` taken as the current folder (velnora-cli --dir).
  static SettingsLocation ForFolder(std::string folder);

  SettingsLocation(const SettingsLocation& other);
  SettingsLocation& operator=(const SettingsLocation&) = delete;

  const std::string& currentFolder() const { return currentFolder_; }
  const std::string& configFolder() const { return configFolder_; }

  // Set by a load that found the current-folder file; never cleared. The
  // forwarding worker's reload may set it while the interface reads it.
  bool currentFolderMode() const { return currentFolderMode_.load(); }
  void EnterCurrentFolderMode() { currentFolderMode_.store(true); }

  std::string CurrentFolderSettingsPath() const;
  // Empty when there is no configuration folder.
  std::string ConfigFolderSettingsPath() const;
  // The settings file of this run: the current-folder file in current-folder
  // mode, else the configuration-folder file.
  std::string SettingsPath() const;
  std::string HistoryPath() const;
  std::string UidlStorePath() const;
  // The folder whose settings a run will use, decided as the first load
  // decides it. Every forwarding process, window or console, locks this folder.
  std::string ForwardingFolder() const;

 private:
  std::string InChosenFolder(const char* name) const;

  std::string currentFolder_;
  std::string configFolder_;
  std::atomic<bool> currentFolderMode_{false};
};

}  // namespace velnora
