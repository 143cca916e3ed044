#include "config/all_accounts.h"

#include <algorithm>
#include <array>

#include "config/field_access.h"

namespace velnora {
namespace {

constexpr std::array<std::string_view, 9> kPartProcessingBoxes = {
    "partProcessing", "oversizeStripAttachments", "oversizeDrop", "preferHtmlPart", "keepExtensionsOn",
    "htmlToText",     "extractLinks",             "extractTitles", "extractImageAlt"};

// Their effect depends on what the receiving mailer can read, so each
// account keeps its own choice.
constexpr std::array<std::string_view, 3> kAdvancedExceptions = {"htmlUseUtf8", "htmlBase64", "strictUtf8"};

template <std::size_t N>
bool Contains(const std::array<std::string_view, N>& names, std::string_view name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

std::span<uint8_t> Record(SettingsImage& image, SettingsRecord kind, int index) {
  return kind == SettingsRecord::Extra ? RecordBytes(image.extras[index]) : RecordBytes(image.accounts[index]);
}

}  // namespace

bool OffersAllAccounts(std::string_view fieldName) {
  if (Contains(kPartProcessingBoxes, fieldName)) return true;
  const FieldInfo* field = FindField(SettingsRecord::Account, fieldName);
  return field && field->page == SettingsPage::Advanced && field->IsFlag() && !field->Has(kReadOnly) &&
         !Contains(kAdvancedExceptions, fieldName);
}

void SetForAllAccounts(SettingsImage& image, const FieldInfo& field, bool value) {
  if (!field.IsFlag() || field.record == SettingsRecord::Common) return;
  const FieldInfo* partner = field.related.empty() ? nullptr : FindField(field.record, field.related);
  for (int index = 0; index < kAccountCount; ++index) {
    const std::span<uint8_t> record = Record(image, field.record, index);
    WriteNumber(record, field, value ? 1 : 0);
    if (!partner) continue;
    if (field.Has(kExclusive)) {
      WriteNumber(record, *partner, value ? 0 : 1);
    } else if (field.Has(kSetsRelated) && value) {
      WriteNumber(record, *partner, 1);
    } else if (field.Has(kCopiesTo)) {
      WriteNumber(record, *partner, value ? 1 : 0);
    }
  }
}

}  // namespace velnora
