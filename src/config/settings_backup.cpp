#include "config/settings_backup.h"

#include "platform/codepage.h"

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

RestoreResult RestoreSettings(SettingsImage& image, SettingsLocation& location, DisplayArea screen,
                              const std::string& source) {
  RestoreResult result;
  result.copied = CopyFile64k(source, location.SettingsPath());
  if (result.copied) result.load = LoadSettings(image, location, screen, true);
  return result;
}

}  // namespace velnora
