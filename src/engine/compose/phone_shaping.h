// Shaping of a feature-phone body for small screens and mail size limits:
// quoted and trailing material, spaces, blank lines and runs of repeated
// characters are removed and words may be compacted, before the text is
// divided into parts (phone_division.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "convert/charset_code.h"

namespace velnora {

struct AccountSettings;

// Longest line of shaped text; a longer line continues on the next one.
inline constexpr std::size_t kMaxShapedLine = 4091;

struct ShapedBody {
  std::string text;  // CR LF line ends; Japanese mail as Shift_JIS
  // The text's code; ISO-2022-JP (2) stands for Japanese mail, whose text is
  // held as Shift_JIS here and goes out as ISO-2022-JP.
  CharsetCode code = charset::kUndetermined;
  int32_t transfer = 1;  // transfer code of the text
};

// Runs every shaping step the account switches on over `body` of `code`
// with transfer code `transfer`.
ShapedBody ShapePhoneBody(std::string_view body, CharsetCode code, int32_t transfer,
                          const AccountSettings& account);

// Bytes of the character at `at` of shaped text of `code`: a double-byte or
// UTF-8 character is one unit, a line end never belongs to one.
std::size_t ShapedUnitLength(std::string_view text, std::size_t at, CharsetCode code);

}  // namespace velnora
