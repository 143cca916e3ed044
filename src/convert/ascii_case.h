// ASCII case folding for label, header and filter matching in Shift_JIS
// (CP932) text. Only A-Z are folded, and never the second byte of a
// double-byte character: many of those are ASCII letters ("ア" is 0x83 0x41,
// "ヂ" 0x83 0x61), and folding them would make different characters equal.
#pragma once

#include <cstddef>
#include <string_view>

namespace velnora {

constexpr unsigned char LowerAscii(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

// CP932 lead bytes, the IBM extensions 0xFA..0xFC included: for folding, a
// byte after any of them is a trail byte.
constexpr bool IsCp932Lead(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Follows a text byte by byte and knows whether the current byte is the
// trail byte of a double-byte character. Start it at a character boundary.
class Cp932Walk {
 public:
  constexpr Cp932Walk() = default;
  // Walks `text` up to (not including) `at`.
  constexpr Cp932Walk(std::string_view text, std::size_t at) {
    for (std::size_t i = 0; i < at && i < text.size(); ++i) Step(static_cast<unsigned char>(text[i]));
  }
  // The byte `c` at the current position, folded unless it is a trail byte.
  constexpr unsigned char Folded(unsigned char c) const { return trail_ ? c : LowerAscii(c); }
  constexpr bool trail() const { return trail_; }
  // Moves past `c`.
  constexpr void Step(unsigned char c) { trail_ = !trail_ && IsCp932Lead(c); }

 private:
  bool trail_ = false;
};

// Whether `text`, whose first byte is a trail byte when `walk` says so,
// begins with the lower-case `lowerPrefix`.
constexpr bool StartsWithLowerFrom(std::string_view text, std::string_view lowerPrefix,
                                   Cp932Walk walk) {
  if (text.size() < lowerPrefix.size()) return false;
  for (std::size_t i = 0; i < lowerPrefix.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (walk.Folded(c) != static_cast<unsigned char>(lowerPrefix[i])) return false;
    walk.Step(c);
  }
  return true;
}

// `lowerPrefix` must be lower case; `text` starts at a character boundary.
constexpr bool StartsWithLower(std::string_view text, std::string_view lowerPrefix) {
  return StartsWithLowerFrom(text, lowerPrefix, Cp932Walk());
}

// Position of the first occurrence of the lower-case `needle`, or npos.
constexpr std::size_t FindLower(std::string_view text, std::string_view lowerNeedle, std::size_t from = 0) {
  if (lowerNeedle.empty()) return from <= text.size() ? from : std::string_view::npos;
  Cp932Walk walk(text, from);
  for (std::size_t i = from; i + lowerNeedle.size() <= text.size(); ++i) {
    if (StartsWithLowerFrom(text.substr(i), lowerNeedle, walk)) return i;
    walk.Step(static_cast<unsigned char>(text[i]));
  }
  return std::string_view::npos;
}

}  // namespace velnora
