#include "config/settings_defaults.h"

#include <charconv>
#include <iterator>
#include <cstring>

#include "config/field_access.h"

namespace velnora {
namespace {

// Writes every field's default from the field table into zeroed bytes.
void ApplyDefaults(std::span<uint8_t> record, SettingsRecord kind, int index) {
  for (const FieldInfo& field : FieldsOf(kind)) {
    switch (field.type) {
      case FieldType::Text:
        WriteText(record, field, field.defaultText);
        break;
      case FieldType::Int16Array:
      case FieldType::Int32Array: {
        // Elements given as "a,b,c"; no text means all zero.
        std::string_view rest = field.defaultText;
        for (int i = 0; i < field.count && !rest.empty(); ++i) {
          int64_t value = 0;
          std::from_chars(rest.data(), rest.data() + rest.size(), value);
          WriteNumber(record, field, value, i);
          const auto comma = rest.find(',');
          rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
        }
        break;
      }
      case FieldType::Reserved:
      case FieldType::Unused:
        break;
      default:
        WriteNumber(record, field, field.Has(kIndexDefault) ? index : field.defaultValue);
        break;
    }
  }
}

}  // namespace

void MakeFreshAccount(AccountSettings& account, int index) {
  std::memset(&account, 0, sizeof account);
  ApplyDefaults(RecordBytes(account), SettingsRecord::Account, index);
}

void CentreWindow(CommonSettings& common, DisplayArea screen) {
  int width = 15;
  for (std::size_t i = 0; i < std::size(common.logColumnWidths); ++i) width += common.logColumnWidths[i];
  if (width > INT16_MAX) width = INT16_MAX;
  common.windowWidth = static_cast<int16_t>(width);
  common.windowHeight = 415;
  common.windowLeft = static_cast<int16_t>((screen.width - common.windowWidth) / 2);
  common.windowTop = static_cast<int16_t>((screen.height - common.windowHeight) / 2);
}

void MakeFreshCommon(CommonSettings& common, DisplayArea screen) {
  std::memset(&common, 0, sizeof common);
  ApplyDefaults(RecordBytes(common), SettingsRecord::Common, 0);
  CentreWindow(common, screen);
}

void MakeFreshTable(SettingsImage& image, DisplayArea screen) {
  MakeFreshCommon(image.common, screen);
  for (int i = 0; i < kAccountSlots; ++i) MakeFreshAccount(image.accounts[i], i);
}

}  // namespace velnora
