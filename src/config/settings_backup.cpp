#include "config/settings_backup.h"

#include "platform/codepage.h"
#include "platform/files.h"

namespace velnora {

const std::string& BackupQuestion() {
  return SJIS(u8"環境設定ファイルを、指定したファイル名でバックアップ（コピー）します。\nよろしいですか？");
}
const std::string& BackupTitle() { return SJIS(u8"環境設定ファイルのバックアップ"); }
const std::string& RestoreQuestion() {
  return SJIS(u8"指定した環境設定ファイルのバックアップを適用（リストア）します。\nよろしいですか？");
}
const std::string& RestoreTitle() { return SJIS(u8"環境設定ファイルの適用（リストア）"); }

bool BackupSettings(const SettingsLocation& location, const std::string& target) {
  return CopyFile64k(location.SettingsPath(), target);
}

std::string RestoreKeepPath(const std::string& settingsPath) { return settingsPath + ".bak"; }

RestoreResult RestoreSettings(SettingsImage& image, SettingsLocation& location, DisplayArea screen,
                              const std::string& source) {
  RestoreResult result;
  result.source = CheckSettingsFile(source);
  if (result.source.state != SettingsFileState::Whole) {
    result.sourceRefused = result.source.state != SettingsFileState::Missing;
    return result;
  }
  const std::string target = location.SettingsPath();
  if (platform::FileExists(target)) {
    // The file being replaced may be the only copy of the user's settings.
    if (!CopyFile64k(target, RestoreKeepPath(target))) {
      result.keepFailed = true;
      return result;
    }
    result.keptAs = RestoreKeepPath(target);
  }
  result.copied = CopyFile64k(source, target);
  if (result.copied) result.load = LoadSettings(image, location, screen, true);
  return result;
}

}  // namespace velnora
