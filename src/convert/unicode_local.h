// Conversion between Unicode text (UTF-8, UTF-7) and the local code page,
// in place in caller buffers, through the platform's UTF-16 conversions.
#pragma once

#include <span>

#include "convert/charset_code.h"

namespace velnora {

// For codes 12 and 13: substitutes pictographs, converts the text to the
// local code page in place (never longer than it was, cut at a character
// boundary) and returns the code of the local code page. Any other code is
// returned unchanged with the text untouched. A failed conversion returns 99
// and leaves the text as it was.
CharsetCode ConvertUnicodeToLocal(std::span<char> text, CharsetCode code);

// Converts the text from the code page of `from` to that of `to` in place,
// cut at a character boundary to the buffer size minus 1. Returns false and
// leaves the text unchanged when the conversion is not possible.
bool ConvertLocalToUtf8(std::span<char> text, CharsetCode from, CharsetCode to);

}  // namespace velnora
