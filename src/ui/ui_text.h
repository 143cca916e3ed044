// The one crossing between the core's code page 932 bytes and Qt's text.
// Nothing else in the window converts text.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace velnora::ui {

QString FromCp932(std::string_view cp932);
// False when a character has no code page 932 form.
bool ToCp932(const QString& text, std::string& cp932);

}  // namespace velnora::ui
