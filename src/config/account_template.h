// The settings template (record 400) and the accounts: applying it to a
// range of accounts and copying an account into it. Only settings move:
// fields the program keeps (the account's number, counters, the running
// subject number) stay with their record, and a switch that weakens
// security is copied only when the user asks for it.
#pragma once

#include "config/settings_image.h"

namespace velnora {

struct TemplateApplication {
  // The account's Server-page fields (servers, user names, passwords,
  // addresses) stay as they are; otherwise the account is switched off.
  bool keepServerPage = false;
  // tlsNoVerify comes along too.
  bool includeSecuritySwitches = false;
};

// Copies the template's settings over account `index` (0..399).
void ApplyTemplate(SettingsImage& image, int index, const TemplateApplication& how);

// Copies account `index`'s settings over the template, switches the template
// off and names it "Copy_of_" + the account's name when that fits.
void CopyToTemplate(SettingsImage& image, int index);

}  // namespace velnora
