// ASCII case folding for label and header matching; bytes of 0x80 and more
// are compared as they are.
#pragma once

#include <cstddef>
#include <string_view>

namespace velnora {

constexpr unsigned char LowerAscii(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

// `lowerPrefix` must be lower case.
constexpr bool StartsWithLower(std::string_view text, std::string_view lowerPrefix) {
  if (text.size() < lowerPrefix.size()) return false;
  for (std::size_t i = 0; i < lowerPrefix.size(); ++i) {
    if (LowerAscii(static_cast<unsigned char>(text[i])) != static_cast<unsigned char>(lowerPrefix[i])) return false;
  }
  return true;
}

// Position of the first occurrence of the lower-case `needle`, or npos.
constexpr std::size_t FindLower(std::string_view text, std::string_view lowerNeedle, std::size_t from = 0) {
  if (lowerNeedle.empty()) return from <= text.size() ? from : std::string_view::npos;
  for (std::size_t i = from; i + lowerNeedle.size() <= text.size(); ++i) {
    if (StartsWithLower(text.substr(i), lowerNeedle)) return i;
  }
  return std::string_view::npos;
}

}  // namespace velnora
