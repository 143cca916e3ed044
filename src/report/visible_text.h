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

// The same for Shift_JIS (CP932) text that stays in the local code page, as
// in the forwarding log: C0 controls but TAB, and DEL, become caret pairs;
// no other byte changes (no CP932 trail byte is a control or DEL).
std::string VisibleLocalText(std::string_view cp932);

}  // namespace velnora
