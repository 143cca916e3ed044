// One check box of the account pages set for every account at once: the
// boxes that offer it, and the change itself.
#pragma once

#include <string_view>

#include "config/field_table.h"
#include "config/settings_image.h"

namespace velnora {

// Whether the box of the flag `fieldName` offers to be set for all accounts:
// the Part Processing options and the Advanced Options flags, except the
// three HTML encoding switches, which depend on the receiving mailer.
bool OffersAllAccounts(std::string_view fieldName);

// Stores `value` (the field's own value, not what its box shows) into the
// flag `field` of accounts 0 to 399; the template keeps its value. The
// field's partners follow as a store of its page would make them: the other
// box of an exclusive pair gets the opposite value, a flag that requires
// another sets it, a working copy follows.
void SetForAllAccounts(SettingsImage& image, const FieldInfo& field, bool value);

}  // namespace velnora
