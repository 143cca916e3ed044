#include "config/field_store_rules.h"

#include <algorithm>

#include "config/field_access.h"

namespace velnora {
namespace {

bool IsAssigned(std::span<const FieldInfo* const> assigned, std::string_view name) {
  return std::any_of(assigned.begin(), assigned.end(),
                     [&](const FieldInfo* f) { return f->name == name; });
}

void SetFlag(std::span<uint8_t> record, const FieldInfo& flag, int64_t value, const std::string& why,
             StoreRulesOutcome& outcome) {
  if (ReadNumber(record, flag) == value) return;
  WriteNumber(record, flag, value);
  outcome.notes.push_back(std::string(flag.name) + " set to " + std::to_string(value) + " (" + why + ")");
}

}  // namespace

StoreRulesOutcome ApplyStoreRules(std::span<uint8_t> record, SettingsRecord kind,
                                  std::span<const SettingsPage> pages,
                                  std::span<const FieldInfo* const> assigned) {
  StoreRulesOutcome outcome;
  // Exclusive choices: the one just switched on wins; both on is a contradiction.
  for (const FieldInfo* field : assigned) {
    if (!field->Has(kExclusive) || ReadNumber(record, *field) == 0) continue;
    const FieldInfo* other = FindField(kind, field->related);
    if (!other) continue;
    if (IsAssigned(assigned, other->name) && ReadNumber(record, *other) != 0) {
      outcome.error = std::string(field->name) + " and " + std::string(other->name) +
                      " exclude each other; set only one of them to 1";
      return outcome;
    }
    SetFlag(record, *other, 0, "excluded by " + std::string(field->name), outcome);
  }
  for (const FieldInfo& field : FieldsOf(kind)) {
    if (std::find(pages.begin(), pages.end(), field.page) == pages.end()) continue;
    const FieldInfo* related = field.related.empty() ? nullptr : FindField(kind, field.related);
    if (!related) continue;
    if (field.Has(kClearsSwitch) && ReadText(record, field).empty()) {
      SetFlag(record, *related, 0, std::string(field.name) + " is empty", outcome);
    } else if (field.Has(kSetsRelated) && ReadNumber(record, field) != 0) {
      SetFlag(record, *related, 1, "required by " + std::string(field.name), outcome);
    } else if (field.Has(kCopiesTo)) {
      const int64_t value = ReadNumber(record, field);
      if (ReadNumber(record, *related) != value) WriteNumber(record, *related, value);
    }
  }
  return outcome;
}

}  // namespace velnora
