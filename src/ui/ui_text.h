// The one crossing between the core's code page 932 bytes and Qt's text.
// Nothing else in the window converts text; the way back comes with the
// settings pages, the first place where the user types text for the core.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace velnora::ui {

QString FromCp932(std::string_view cp932);

}  // namespace velnora::ui
