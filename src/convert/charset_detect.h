// Identification of the character set of a text: from a Content-Type
// charset parameter, from a bare label, or from the bytes themselves.
#pragma once

#include <optional>
#include <string_view>

#include "convert/charset_code.h"

namespace velnora {

// Code named by "charset=<label>" (no quotes); without one, 2 for text with
// an ISO-2022-JP escape, 1 for Shift_JIS text, else 100. Absent text: 99.
CharsetCode CharsetFromContentType(std::optional<std::string_view> text);

// Code of the first known label anywhere in the text; 99 when none (or no
// text).
CharsetCode CharsetFromLabel(std::optional<std::string_view> text);

// 2 for ISO-2022-JP, 1 for Shift_JIS, else 99.
CharsetCode GuessJapaneseCharset(std::optional<std::string_view> text);

// Contains ESC "$" or ESC "(".
bool HasJisEscape(std::string_view text);

// At least one Shift_JIS pair and no lead byte followed by a non-trail byte.
bool LooksLikeSjis(std::string_view text);

}  // namespace velnora
