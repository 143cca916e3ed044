// Quoted-printable decoding and the Q-style encoding of encoded-words.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace velnora {

// Decodes in place; malformed "=" sequences never fail (see the rules in the
// implementation). Returns the new length.
std::size_t QuotedPrintableDecodeText(std::span<char> text);

// Q-style text: bytes of 0x80 and more and "=" become "=XX", everything else
// is copied. The destination is cleared first; an escape that does not fit
// whole is not begun. Returns the length written.
std::size_t QEncodeText(std::string_view source, std::span<char> dest);

}  // namespace velnora
