// Text operations of the subject and information lines: the reply and
// forward marks, the reduction of 8-bit Latin text to ASCII, and byte cuts
// that keep double-byte characters whole.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "convert/charset_code.h"

namespace velnora {

// Most marks put in front of a subject; further prefixes are only removed.
inline constexpr std::size_t kMaxReplyForwardMarks = 64;

// Leading "re:", "fw:" and "fwd:" prefixes (any case, with or without one
// space) become "<" and ">" marks in their order, in front of the rest.
void MarkReplyForward(std::string& text);

// The same for the received subject behind `lead` (part number and subject
// prefix), which stays in front of the marks.
void MarkReplyForwardAfter(std::string& text, std::string_view lead);

// Every byte of 128 or more becomes the ASCII character that resembles it.
void TransliterateToAscii(std::string& text);

// True for a byte that starts a double-byte character in text of `code`.
// Shift_JIS text takes the whole code page 932 lead range (IBM extensions
// such as the variant characters of family names included).
bool StartsDoubleByte(unsigned char byte, CharsetCode code);

// Bytes of the character that starts at `at` (1 for a single-byte set, up to
// 4 in UTF-8), never past the end of the text.
std::size_t CharacterLength(std::string_view text, std::size_t at, CharsetCode code);

// Walks `text` character by character until the position reaches `position`
// and cuts after the character found there. Never splits a double-byte
// character, never lengthens the text.
void CutAfterCharacterAt(std::string& text, CharsetCode code, long position);

// Cuts the text to `length` bytes, moved back when that would split a
// double-byte character of `code`.
void CutAtCharacterBoundary(std::string& text, CharsetCode code, std::size_t length);

}  // namespace velnora
