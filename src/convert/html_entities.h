// The character entity references of HTML 4.01 with the Shift_JIS text
// each is written as: the character itself where Shift_JIS has it, else a
// readable stand-in.
#pragma once

#include <string_view>

namespace velnora {

struct HtmlEntity {
  std::string_view name;  // without "&" and ";"
  char32_t codePoint;
  std::string_view sjis;
};

// The row of `name` (case-sensitive), or nullptr.
const HtmlEntity* FindHtmlEntity(std::string_view name);

// Longest entity name, to bound the look-ahead.
inline constexpr std::size_t kHtmlEntityNameMax = 8;

}  // namespace velnora
