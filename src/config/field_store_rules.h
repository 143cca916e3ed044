// The rules a settings page applies when it stores its fields: an empty list
// switches its option off, exclusive choices clear each other, working
// copies follow their setting.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "config/field_table.h"

namespace velnora {

struct StoreRulesOutcome {
  std::vector<std::string> notes;  // fields the rules changed, for the user
  std::string error;               // non-empty: contradicting values, nothing should be saved
};

// Applies the store rules of `pages` to one record after the fields in
// `assigned` (all of this record) were stored.
StoreRulesOutcome ApplyStoreRules(std::span<uint8_t> record, SettingsRecord kind,
                                  std::span<const SettingsPage> pages,
                                  std::span<const FieldInfo* const> assigned);

}  // namespace velnora
