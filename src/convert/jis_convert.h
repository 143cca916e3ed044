// ISO-2022-JP <-> Shift_JIS conversion of NUL-terminated text into caller
// buffers. Sources end at their first zero byte or at the end of the view;
// destinations are never written beyond their size and are always terminated
// when they have room for one byte.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "convert/convert_options.h"

namespace velnora {

// ISO-2022-JP -> Shift_JIS. Returns the length written plus one. A
// destination of the source length plus one always holds the whole result.
std::size_t JisToSjis(std::string_view jis, std::span<char> dest);

// The decoder used for header text: only the registered escapes switch
// modes, line ends keep the mode, a bare LF becomes CR LF, and a broken
// JIS X 0208 pair ends the text. Returns the length written; a destination
// of twice the source length plus one always holds the whole result.
std::size_t JisToSjisUnfolded(std::string_view jis, std::span<char> dest);
std::string JisToSjisUnfolded(std::string_view jis);

// Shift_JIS -> ISO-2022-JP, with half-width katakana as JIS X 0201 katakana
// when `options.encodeHalfwidthKana` is set; an IBM extension of CP932 goes
// out as its twin (see ibm_extensions.h). The output stays below the
// destination size minus 1 and always ends in single-byte mode. Returns the
// length written.
std::size_t SjisToJis(std::string_view sjis, std::span<char> dest, const ConvertOptions& options);

}  // namespace velnora
