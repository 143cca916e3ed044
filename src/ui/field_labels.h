// The Japanese label of each settings field the sheet edits, by field-table
// name. The table stays on the window's side: the core names fields, the
// window words them for the user.
#pragma once

#include <QString>
#include <string_view>

namespace velnora::ui {

// The label of `name`; the name itself for a field without one.
QString FieldLabel(std::string_view name);

}  // namespace velnora::ui
