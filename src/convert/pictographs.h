// Substitution of pictographs and special Unicode characters in UTF-8 text
// before it is converted to the local code page, which has no form for them.
#pragma once

#include <cstddef>
#include <span>

namespace velnora {

// Substitutes in place; the text never grows. Returns its new length.
std::size_t ReplacePictographs(std::span<char> text);

// UTF-8 form of a code point into `out`; returns its length (1 to 4). A
// value beyond U+10FFFF has no UTF-8 form and gives U+FFFD.
std::size_t EncodeUtf8(char32_t codePoint, std::span<char, 4> out);

}  // namespace velnora
