// Server replies and mail headers are untrusted: before they reach a
// terminal or a widget, control characters are shown as "^X" so that they
// cannot move the cursor, change colours or retitle the terminal.
#pragma once

#include <string>
#include <string_view>

namespace velnora {

// UTF-8 in, UTF-8 out: C0 controls and DEL become caret pairs ("^[" for
// ESC, "^?" for DEL), C1 controls (U+0080..U+009F) become U+FFFD. TAB stays.
// With `keepLineBreaks` (message boxes) LF stays and CR is dropped.
std::string VisibleText(std::string_view utf8, bool keepLineBreaks = false);

}  // namespace velnora
