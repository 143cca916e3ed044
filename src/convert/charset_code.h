// Character-set codes carried by every text, and their fixed properties.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace velnora {

using CharsetCode = std::int32_t;

namespace charset {
inline constexpr CharsetCode kShiftJis = 1;
inline constexpr CharsetCode kIso2022Jp = 2;
inline constexpr CharsetCode kBig5 = 5;
inline constexpr CharsetCode kGb2312 = 6;
inline constexpr CharsetCode kHzGb2312 = 7;
inline constexpr CharsetCode kIso2022Kr = 8;
inline constexpr CharsetCode kWindows1252 = 9;
inline constexpr CharsetCode kKsC5601 = 10;
inline constexpr CharsetCode kEucKr = 11;
inline constexpr CharsetCode kUtf7 = 12;
inline constexpr CharsetCode kUtf8 = 13;
inline constexpr CharsetCode kIso8859First = 14;  // ISO-8859-1; ISO-8859-n is 13 + n
inline constexpr CharsetCode kIso8859Last = 29;   // ISO-8859-16
inline constexpr CharsetCode kEucJp = 41;
inline constexpr CharsetCode kEucCn = 42;
inline constexpr CharsetCode kEucTw = 43;
inline constexpr CharsetCode kGb18030 = 44;
inline constexpr CharsetCode kGbk = 45;
inline constexpr CharsetCode kKoi8R = 46;
inline constexpr CharsetCode kKoi8U = 47;
inline constexpr CharsetCode kIso2022Cn = 48;
inline constexpr CharsetCode kWindows1250 = 51;
inline constexpr CharsetCode kWindows1251 = 52;
inline constexpr CharsetCode kWindows1253 = 53;  // 53..58 are windows-1253..-1258
inline constexpr CharsetCode kWindows874 = 59;
inline constexpr CharsetCode kUsAscii = 60;
inline constexpr CharsetCode kShiftJisBase64 = 71;  // Shift_JIS labelled for Base64 encoded-words
inline constexpr CharsetCode kUndetermined = 99;
inline constexpr CharsetCode kNone = 100;
}  // namespace charset

// Lead byte of a double-byte character in the given character set.
bool IsLeadByte(unsigned char byte, CharsetCode code);

// Shift_JIS trail byte: 0x40..0x7E or 0x80..0xFC.
constexpr bool IsSjisTrailByte(unsigned char byte) {
  return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

constexpr bool IsHalfwidthKana(unsigned char byte) { return byte >= 0xA1 && byte <= 0xDF; }

// East-Asian multi-byte sets other than the Japanese ones.
bool IsOtherCjkCharset(CharsetCode code);

// Code page used to convert text of this code.
unsigned CodePageOf(CharsetCode code);

// Code of the text the system's OEM code page produces.
CharsetCode CharsetOfCodePage(unsigned oemCodePage);
CharsetCode CharsetOfSystemCodePage();

// Longest prefix of `text` of at most `limit` bytes that does not end
// inside a character of a text of the given code (UTF-8 for 12 and 13,
// double-byte by IsLeadByte otherwise).
std::size_t CharacterBoundary(std::string_view text, std::size_t limit, CharsetCode code);

// True when a byte of the text is above 127: such text needs 8bit (or an
// encoding) on the wire.
constexpr bool HasEightBitByte(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  }
  return false;
}

// Length of a UTF-8 sequence by its first byte; 0 for a byte no sequence
// starts with.
constexpr int Utf8SequenceLength(unsigned char first) {
  if (first < 0x80) return 1;
  if (first >= 0xC2 && first <= 0xDF) return 2;
  if (first >= 0xE0 && first <= 0xEF) return 3;
  if (first >= 0xF0 && first <= 0xF7) return 4;
  return 0;
}

}  // namespace velnora
