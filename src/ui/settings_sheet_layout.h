// Where each field of a settings page sits: the order of a page's rows
// (related fields side by side, the rest in the table's order), the two
// Server-page dialogs that hold the SMTP credentials and the separate
// sending server, and the help page of each page.
#pragma once

#include <QString>
#include <string_view>
#include <vector>

#include "config/field_table.h"

namespace velnora::ui {

enum class ServerDialog { None, SmtpAuth, SeparateSmtp };

// The fields a page shows, in the order it shows them.
std::vector<const FieldInfo*> FieldsInPageOrder(SettingsPage page, bool forAccount);

// The Server-page dialog a field is edited in, or None for the page itself.
ServerDialog ServerDialogOf(std::string_view fieldName);

// The page's help file in the data folder ("help/help_01.html").
QString HelpPageOf(SettingsPage page);

// The filter lists that have a "COPY" button.
bool HasCopyButton(std::string_view fieldName);

}  // namespace velnora::ui
