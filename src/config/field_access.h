// Reading and writing one field of a settings record through its
// description, on the record's raw bytes (the file layout, little-endian).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "config/field_table.h"
#include "config/settings_image.h"

namespace velnora {

std::span<uint8_t> RecordBytes(CommonSettings& record);
std::span<uint8_t> RecordBytes(AccountSettings& record);
std::span<uint8_t> RecordBytes(AccountExtraSettings& record);
std::span<const uint8_t> RecordBytes(const CommonSettings& record);
std::span<const uint8_t> RecordBytes(const AccountSettings& record);
std::span<const uint8_t> RecordBytes(const AccountExtraSettings& record);

// The bytes of the whole image (the settings file before scrambling).
std::span<uint8_t> ImageBytes(SettingsImage& image);
std::span<const uint8_t> ImageBytes(const SettingsImage& image);

// One account's two records and the program-wide one, as the settings
// pages edit them, each reachable as bytes by its kind.
struct EditedRecords {
  AccountSettings account;
  AccountExtraSettings extra;
  CommonSettings common;
  std::span<uint8_t> Bytes(SettingsRecord kind) {
    switch (kind) {
      case SettingsRecord::Account: return RecordBytes(account);
      case SettingsRecord::Extra: return RecordBytes(extra);
      case SettingsRecord::Common: return RecordBytes(common);
    }
    return {};
  }
};

// A number, a flag or one element of an array field.
int64_t ReadNumber(std::span<const uint8_t> record, const FieldInfo& field, int element = 0);
// Stores `value` in the field's width; the caller has checked the range.
void WriteNumber(std::span<uint8_t> record, const FieldInfo& field, int64_t value, int element = 0);

// A text field up to its NUL (code page 932 bytes).
std::string_view ReadText(std::span<const uint8_t> record, const FieldInfo& field);
// Stores at most size - 1 bytes and fills the rest of the buffer with NULs,
// so no remnant of an older, longer value (a password) stays behind.
void WriteText(std::span<uint8_t> record, const FieldInfo& field, std::string_view text);

}  // namespace velnora
