// Code-page conversion. Velnora keeps all text as code page 932 (Shift_JIS
// with the Windows extensions) and converts only at the edges: the console,
// the GUI, and the character sets named in mail.
#pragma once

#include <string>
#include <string_view>

namespace velnora::platform {

// UTF-8 -> code page 932. Characters that have no CP932 form make the
// conversion fail: returns false and leaves `out` with what converted so far.
bool Utf8ToCp932(std::string_view utf8, std::string& out);

// Code page 932 -> UTF-8. Bytes that are not valid CP932 become U+FFFD, so
// the result is always printable.
std::string Cp932ToUtf8(std::string_view cp932);

// Conversion of a UTF-8 text known to be representable (the program's own
// literals). Aborts in debug builds if it is not.
std::string Cp932FromUtf8Literal(std::u8string_view utf8);

}  // namespace velnora::platform

// The one way Japanese literals enter the program: SJIS(u8"情報") is the
// CP932 text, converted once per call site and kept.
#define SJIS(utf8_literal)                                                        \
  ([]() -> const std::string& {                                                   \
    static const std::string converted =                                          \
        ::velnora::platform::Cp932FromUtf8Literal(utf8_literal);                  \
    return converted;                                                             \
  }())
