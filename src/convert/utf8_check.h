// Checks of UTF-8 text for the strict-UTF-8 option and for cutting UTF-8
// subjects, in place in caller buffers.
#pragma once

#include <cstddef>
#include <span>

namespace velnora {

// Turns malformed sequences into spaces. Returns true when a malformed
// multi-byte sequence was found (a lone stray byte is blanked silently).
bool BlankInvalidUtf8(std::span<char> text);

// Blanks as BlankInvalidUtf8 does, counts single bytes as 1 and multi-byte
// characters as 2, and cuts the text after the character whose count reaches
// `limit`. Returns the count.
std::size_t LimitUtf8Length(std::span<char> text, std::size_t limit);

}  // namespace velnora
