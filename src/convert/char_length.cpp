#include "convert/char_length.h"

namespace velnora {
namespace {

constexpr bool In(unsigned char b, unsigned char low, unsigned char high) { return b >= low && b <= high; }

unsigned char ByteAt(std::string_view text, std::size_t pos) {
  return pos < text.size() ? static_cast<unsigned char>(text[pos]) : 0;
}

// The lead byte at `pos` is followed by `trail` matching bytes.
template <typename Trail>
std::size_t Pair(std::string_view text, std::size_t pos, Trail trail) {
  return trail(ByteAt(text, pos + 1)) ? 2 : 1;
}

std::size_t ShiftJisLength(std::string_view text, std::size_t pos) {
  unsigned char b = ByteAt(text, pos);
  // CP932 has lead bytes up to 0xFC: the IBM extensions live in 0xFA..0xFC.
  if (In(b, 0x81, 0x9F) || In(b, 0xE0, 0xFC)) return Pair(text, pos, IsSjisTrailByte);
  return 1;
}

std::size_t EucJpLength(std::string_view text, std::size_t pos) {
  unsigned char b = ByteAt(text, pos);
  auto high = [](unsigned char t) { return In(t, 0xA1, 0xFE); };
  if (b == 0x8E) return Pair(text, pos, high);  // SS2: half-width katakana
  if (b == 0x8F) return high(ByteAt(text, pos + 1)) && high(ByteAt(text, pos + 2)) ? 3 : 1;  // SS3: JIS X 0212
  if (high(b)) return Pair(text, pos, high);
  return 1;
}

std::size_t EucTwLength(std::string_view text, std::size_t pos) {
  unsigned char b = ByteAt(text, pos);
  auto high = [](unsigned char t) { return In(t, 0xA1, 0xFE); };
  if (b == 0x8E) {  // SS2, plane byte, then a pair
    return In(ByteAt(text, pos + 1), 0xA1, 0xB0) && high(ByteAt(text, pos + 2)) && high(ByteAt(text, pos + 3)) ? 4 : 1;
  }
  if (high(b)) return Pair(text, pos, high);
  return 1;
}

// GB2312 text in mail is mostly GBK, and GBK is a subset of GB18030; the
// widest ranges keep every pair together.
std::size_t Gb18030Length(std::string_view text, std::size_t pos) {
  unsigned char b = ByteAt(text, pos);
  if (!In(b, 0x81, 0xFE)) return 1;
  unsigned char second = ByteAt(text, pos + 1);
  if (In(second, 0x30, 0x39)) {
    return In(ByteAt(text, pos + 2), 0x81, 0xFE) && In(ByteAt(text, pos + 3), 0x30, 0x39) ? 4 : 1;
  }
  return In(second, 0x40, 0x7E) || In(second, 0x80, 0xFE) ? 2 : 1;
}

// KS C 5601 as sent in mail is CP949 (Unified Hangul Code), a superset of
// EUC-KR: lead 0x81..0xFE, trail A-Z, a-z or 0x81..0xFE.
std::size_t KoreanLength(std::string_view text, std::size_t pos) {
  unsigned char b = ByteAt(text, pos);
  if (!In(b, 0x81, 0xFE)) return 1;
  return Pair(text, pos, [](unsigned char t) { return In(t, 0x41, 0x5A) || In(t, 0x61, 0x7A) || In(t, 0x81, 0xFE); });
}

std::size_t Big5Length(std::string_view text, std::size_t pos) {
  unsigned char b = ByteAt(text, pos);
  if (!In(b, 0x81, 0xFE)) return 1;
  return Pair(text, pos, [](unsigned char t) { return In(t, 0x40, 0x7E) || In(t, 0xA1, 0xFE); });
}

std::size_t Utf8Length(std::string_view text, std::size_t pos) {
  int n = Utf8SequenceLength(ByteAt(text, pos));
  if (n <= 1) return 1;
  for (int k = 1; k < n; ++k) {
    if ((ByteAt(text, pos + static_cast<std::size_t>(k)) & 0xC0) != 0x80) return 1;
  }
  return static_cast<std::size_t>(n);
}

}  // namespace

bool IsMultiByteCharset(CharsetCode code) {
  switch (code) {
    case charset::kShiftJis: case charset::kShiftJisBase64: case charset::kBig5: case charset::kGb2312:
    case charset::kKsC5601: case charset::kEucKr: case charset::kUtf8: case charset::kEucJp:
    case charset::kEucCn: case charset::kEucTw: case charset::kGb18030: case charset::kGbk:
    case charset::kUndetermined: case charset::kNone:
      return true;
    default:
      return false;
  }
}

std::size_t CharLengthAt(std::string_view text, std::size_t pos, CharsetCode code) {
  switch (code) {
    case charset::kEucJp: return EucJpLength(text, pos);
    case charset::kEucTw: return EucTwLength(text, pos);
    case charset::kGb2312: case charset::kEucCn: case charset::kGb18030: case charset::kGbk:
      return Gb18030Length(text, pos);
    case charset::kKsC5601: case charset::kEucKr: return KoreanLength(text, pos);
    case charset::kBig5: return Big5Length(text, pos);
    case charset::kUtf8: return Utf8Length(text, pos);
    // Undetermined text is taken as the local code page.
    case charset::kShiftJis: case charset::kShiftJisBase64: case charset::kUndetermined: case charset::kNone:
      return ShiftJisLength(text, pos);
    default: return 1;
  }
}

}  // namespace velnora
