#include "config/settings_import.h"

#include <cstring>
#include <vector>

#include "config/field_values.h"
#include "config/settings_file.h"
#include "platform/codepage.h"
#include "platform/files.h"

namespace velnora {
namespace {

constexpr std::size_t kMagicSize = sizeof(CommonSettings::magic);

// Common settings bytes 16..1099 follow the identification text in every
// edition; the account records start right after them.
constexpr std::size_t kCommonTail = kCommonSettingsSize - kMagicSize;

}  // namespace

const char* OldSettingsMagic(OldSettingsKind kind) {
  return kind == OldSettingsKind::PreviousGeneration400 ? "VEL_NORA_SP41" : "VEL_NORA4_SP1";
}

int OldAccountCount(OldSettingsKind kind) {
  return kind == OldSettingsKind::PreviousGeneration400 ? 400 : 100;
}

std::size_t OldRecordSize(OldSettingsKind kind) {
  return kind == OldSettingsKind::PreviousGeneration400 ? 37223 : kAccountSettingsSize;
}

const char* OldSettingsFileName(OldSettingsKind kind) {
  return kind == OldSettingsKind::PreviousGeneration400 ? "velnora_zo400.prf" : "velnora4_sp100.prf";
}

ImportResult ImportOldSettings(SettingsImage& image, const std::string& path, OldSettingsKind kind,
                               std::string* where) {
  platform::FilePtr file = platform::OpenFile(path, "rb");
  if (!file) return ImportResult::Unreadable;
  const std::size_t recordSize = OldRecordSize(kind);
  const std::size_t expected = kCommonSettingsSize + OldAccountCount(kind) * recordSize;
  // Only the bytes of the layout are read; a longer file is fine.
  std::vector<uint8_t> bytes(expected);
  std::size_t got = 0;
  while (got < expected) {
    const std::size_t n = std::fread(bytes.data() + got, 1, expected - got, file.get());
    if (n == 0) break;
    got += n;
  }
  NibbleSwap(std::span(bytes).first(got));

  const char* magic = OldSettingsMagic(kind);
  if (got < kMagicSize ||
      std::strncmp(reinterpret_cast<const char*>(bytes.data()), magic, kMagicSize) != 0) {
    return ImportResult::WrongKind;
  }
  // A cut-off file would give half-filled accounts: take nothing from it.
  if (got < expected) return ImportResult::Truncated;
  // The old dialogs never let a control character into a one-line text.
  const auto refuse = [&](std::string place, const FieldInfo* field) {
    if (where) *where = place + " " + std::string(field->name);
    return ImportResult::ControlInText;
  };
  if (const FieldInfo* f = FirstTextWithControl(std::span(bytes).first(kCommonSettingsSize), SettingsRecord::Common)) {
    return refuse("common", f);
  }
  for (int i = 0; i < OldAccountCount(kind); ++i) {
    const auto record = std::span(bytes).subspan(kCommonSettingsSize + i * recordSize, recordSize);
    if (const FieldInfo* f = FirstTextWithControl(record, SettingsRecord::Account)) {
      return refuse("account " + std::to_string(i), f);
    }
  }

  std::memset(image.common.magic, 0, kMagicSize);
  std::memcpy(image.common.magic, kSettingsMagic, sizeof kSettingsMagic - 1);
  std::memcpy(reinterpret_cast<uint8_t*>(&image.common) + kMagicSize, bytes.data() + kMagicSize,
              kCommonTail);
  for (int i = 0; i < OldAccountCount(kind); ++i) {
    std::memcpy(&image.accounts[i], bytes.data() + kCommonSettingsSize + i * recordSize, recordSize);
  }
  image.common.autoConnect = 0;
  return ImportResult::Imported;
}

std::string ImportMessage(ImportResult result, OldSettingsKind kind) {
  switch (result) {
    case ImportResult::Imported:
      return SJIS(u8"環境設定の取り込みを完了しました。");
    case ImportResult::Unreadable:
      return SJIS(u8"指定したファイルを開けません。");
    case ImportResult::WrongKind:
      return kind == OldSettingsKind::PreviousGeneration400
                 ? SJIS(u8"指定したファイルはVer3の環境設定ファイルではありません。")
                 : SJIS(u8"指定したファイルは100アカウント版 Ver.4/Ver.5の環境設定ファイルではありません。");
    case ImportResult::Truncated:
      return SJIS(u8"指定した環境設定ファイルは途中で切れています。取り込みを中止しました。");
    case ImportResult::ControlInText:
      return SJIS(u8"指定した環境設定ファイルの設定値に制御文字（改行など）が含まれています。取り込みを中止しました。");
  }
  return {};
}

std::string ImportMessageTitle(ImportResult result) {
  return result == ImportResult::Imported ? SJIS(u8"確認") : SJIS(u8"ファイル指定エラー");
}

}  // namespace velnora
