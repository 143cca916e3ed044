// Where characters begin and end in multi-byte text, by character set, so
// that text can be cut, broken or scanned without splitting a character.
#pragma once

#include <cstddef>
#include <string_view>

#include "convert/charset_code.h"

namespace velnora {

// Bytes of the character that starts at `pos` (pos < text.size()): the
// lead-byte and trail-byte ranges of the set decide, so a lead byte that is
// not followed by a valid continuation counts alone and a line end is never
// taken into a character. Single-byte sets and 7-bit shifted sets count 1.
std::size_t CharLengthAt(std::string_view text, std::size_t pos, CharsetCode code);

// Text of this set stores characters in more than one byte by lead bytes.
bool IsMultiByteCharset(CharsetCode code);

}  // namespace velnora
