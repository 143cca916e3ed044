// Header text: decoding values that may hold RFC 2047 encoded-words into
// local-code-page text, and encoding a text as one encoded-word.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "convert/charset_code.h"
#include "convert/convert_options.h"

namespace velnora {

// Longest encoded-word text taken, and the size of the work areas.
inline constexpr std::size_t kMaxEncodedWordText = 65535;
inline constexpr std::size_t kHeaderWorkArea = 64 * 1024;

// Decodes the header value into `dest` (cut to its size) and returns the
// code of the result: that of the encoded-words, 1 for plain ISO-2022-JP
// text, 60 for plain text (whose runs of spaces are collapsed).
CharsetCode DecodeHeaderText(std::string_view value, std::span<char> dest, bool convertUnicode);

// The whole text as one encoded-word for `code` (1, 13, 41, 71 or 14..29),
// or the text unchanged for any other code. An encoded-word that does not
// fit `dest` carries less text but is still closed. Returns the length.
std::size_t EncodeHeaderWord(std::string_view text, std::span<char> dest, CharsetCode code,
                             const ConvertOptions& options);

}  // namespace velnora
