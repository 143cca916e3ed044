// Fields the sheet shows as radio buttons: a flag that is one choice of a
// group whose other button clears it (AND/OR, HTML/TEXT, the three delete
// choices), and a number with one button per value (the filter mode).
#pragma once

#include <memory>
#include <span>
#include <string_view>

#include "ui/settings_sheet_field.h"

namespace velnora::ui {

// The field as radio buttons, or null when it is not shown as a choice.
std::unique_ptr<SheetField> MakeChoiceField(const FieldInfo& field, std::span<const uint8_t> record, SheetPlace& place);

// The choice group a flag belongs to ("delete" for the delete choices),
// empty for a flag shown as a check box.
std::string_view ChoiceGroupOf(std::string_view fieldName);

}  // namespace velnora::ui
