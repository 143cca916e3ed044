#include "config/account_template.h"

#include <cstring>
#include <string>

#include "config/field_access.h"
#include "config/field_table.h"

namespace velnora {
namespace {

// Switches that make a connection less safe than the default.
bool IsSecuritySwitch(const FieldInfo& field) { return field.name == "tlsNoVerify"; }

bool IsSetting(const FieldInfo& field) {
  return !field.IsFiller() && field.page != SettingsPage::Runtime && !field.Has(kReadOnly);
}

// Copies every setting of `kind` that `take` accepts from `from` to `to`.
template <typename Take>
void CopySettings(SettingsRecord kind, std::span<const uint8_t> from, std::span<uint8_t> to, Take take) {
  for (const FieldInfo& field : FieldsOf(kind)) {
    if (!IsSetting(field) || !take(field)) continue;
    std::memcpy(to.data() + field.offset, from.data() + field.offset, field.size);
  }
}

}  // namespace

void ApplyTemplate(SettingsImage& image, int index, const TemplateApplication& how) {
  if (index < 0 || index >= kAccountCount) return;
  CopySettings(SettingsRecord::Account, RecordBytes(image.accounts[kTemplateIndex]),
               RecordBytes(image.accounts[index]), [&](const FieldInfo& field) {
                 if (how.keepServerPage && field.page == SettingsPage::Server) return false;
                 return how.includeSecuritySwitches || !IsSecuritySwitch(field);
               });
  CopySettings(SettingsRecord::Extra, RecordBytes(image.extras[kTemplateIndex]), RecordBytes(image.extras[index]),
               [](const FieldInfo&) { return true; });
  if (!how.keepServerPage) image.accounts[index].enabled = 0;
}

void CopyToTemplate(SettingsImage& image, int index) {
  if (index < 0 || index >= kAccountCount) return;
  CopySettings(SettingsRecord::Account, RecordBytes(image.accounts[index]),
               RecordBytes(image.accounts[kTemplateIndex]), [](const FieldInfo&) { return true; });
  CopySettings(SettingsRecord::Extra, RecordBytes(image.extras[index]), RecordBytes(image.extras[kTemplateIndex]),
               [](const FieldInfo&) { return true; });
  AccountSettings& copy = image.accounts[kTemplateIndex];
  copy.enabled = 0;
  const std::string name(copy.accountName, ::strnlen(copy.accountName, sizeof copy.accountName));
  if (name.size() < 247) {
    const std::string named = ("Copy_of_" + name).substr(0, sizeof copy.accountName - 1);
    std::memset(copy.accountName, 0, sizeof copy.accountName);
    std::memcpy(copy.accountName, named.data(), named.size());
  }
}

}  // namespace velnora
