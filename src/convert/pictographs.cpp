#include "convert/pictographs.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "convert/charset_code.h"
#include "convert/text_buffer.h"

namespace velnora {
namespace {

struct PictographRow {
  char32_t codePoint;
  const char* replacement;  // at most as many bytes as the source; "" deletes it
};

// Sorted by code point for the binary search.
constexpr PictographRow kPictographs[] = {
    {0x00A0, " "},
    {0x00A3, "ER"},
    {0x00A9, "(c"},
    {0x00AE, "(r"},
    {0x00B7, "."},
    {0x200B, ""},
    {0x2013, "-"},
    {0x2014, "-"},
    {0x2022, "\xEF\xBD\xA5"},
    {0x203C, "!!"},
    {0x2049, "!?"},
    {0x2060, ""},
    {0x20E3, "0"},
    {0x2122, "(t)"},
    {0x2139, "i"},
    {0x2194, "[ ]"},
    {0x2195, "[ ]"},
    {0x2196, "[ ]"},
    {0x2197, "[ ]"},
    {0x2198, "[ ]"},
    {0x2199, "[ ]"},
    {0x21A9, "<-+"},
    {0x21AA, "+->"},
    {0x2318, "(op"},
    {0x231A, "[ ]"},
    {0x231B, "[ ]"},
    {0x23E9, "]]"},
    {0x23EA, "[["},
    {0x23EB, "[ ]"},
    {0x23EC, "[ ]"},
    {0x23F0, "[ ]"},
    {0x23F3, "[ ]"},
    {0x24C2, "[ ]"},
    {0x25AA, "[ ]"},
    {0x25AB, "[ ]"},
    {0x25B6, "[ ]"},
    {0x25C0, "[ ]"},
    {0x25FB, "[ ]"},
    {0x25FC, "\xEF\xBD\xA5"},
    {0x25FD, "[ ]"},
    {0x25FE, "[ ]"},
    {0x2702, "[ ]"},
    {0x2705, "[ ]"},
    {0x2708, "[ ]"},
    {0x2709, "[ ]"},
    {0x270A, "[ ]"},
    {0x270B, "[ ]"},
    {0x270C, "[ ]"},
    {0x270F, "[ ]"},
    {0x2712, "[ ]"},
    {0x2714, "[ ]"},
    {0x2716, "X"},
    {0x2728, "[ ]"},
    {0x2733, "[ ]"},
    {0x2734, "[ ]"},
    {0x2744, "[ ]"},
    {0x2747, "[ ]"},
    {0x274C, "X"},
    {0x274E, "X"},
    {0x2753, "?"},
    {0x2754, "?"},
    {0x2755, "!"},
    {0x2757, "!"},
    {0x2764, "[ ]"},
    {0x2795, "+"},
    {0x2796, "-"},
    {0x2797, "/"},
    {0x27A1, "->"},
    {0x27B0, "~"},
    {0x27BF, "[ ]"},
    {0x2934, "[ ]"},
    {0x2935, "[ ]"},
    {0x2B05, "<-"},
    {0x2B06, "UP"},
    {0x2B07, "DN"},
    {0x2B1B, "[ ]"},
    {0x2B1C, "[ ]"},
    {0x2B50, "[ ]"},
    {0x2B55, "[ ]"},
    {0x3000, " "},
    {0x301C, "\xEF\xBD\x9E"},
    {0x301D, "\""},
    {0x301E, "\""},
    {0x301F, "\""},
    {0x3030, "-"},
    {0x303D, "[ ]"},
    {0x3099, "\xE3\x82\x9B"},
    {0x309A, "\xE3\x82\x9C"},
    {0x3297, "[ ]"},
    {0x3299, "[ ]"},
    {0xFE0E, ""},
    {0xFE0F, ""},
    {0xFEFF, ""},
    {0xFFFD, " "},
    {0x1F004, "[ ]"},
    {0x1F0CF, "[ ]"},
    {0x1F170, "[A]"},
    {0x1F171, "[B]"},
    {0x1F17E, "[O]"},
    {0x1F17F, "[P]"},
    {0x1F18E, "[AB]"},
    {0x1F191, "[CL]"},
    {0x1F192, "COOL"},
    {0x1F193, "FREE"},
    {0x1F194, "[ID]"},
    {0x1F195, "NEW"},
    {0x1F196, "[NG]"},
    {0x1F197, "[OK]"},
    {0x1F198, "SOS"},
    {0x1F199, "UP!"},
    {0x1F19A, "VS"},
    {0x1F1E7, "B"},
    {0x1F1E8, "C"},
    {0x1F1E9, "D"},
    {0x1F1EA, "E"},
    {0x1F1EB, "F"},
    {0x1F1EC, "G"},
    {0x1F1EE, "I"},
    {0x1F1EF, "J"},
    {0x1F1F0, "K"},
    {0x1F1F3, "N"},
    {0x1F1F5, "P"},
    {0x1F1F7, "R"},
    {0x1F1F8, "S"},
    {0x1F1F9, "T"},
    {0x1F1FA, "U"},
};

constexpr bool SortedAndNotGrowing() {
  for (std::size_t i = 0; i < std::size(kPictographs); ++i) {
    if (i > 0 && kPictographs[i - 1].codePoint >= kPictographs[i].codePoint) return false;
    char32_t cp = kPictographs[i].codePoint;
    std::size_t sourceLength = cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
    if (std::string_view(kPictographs[i].replacement).size() > sourceLength) return false;
  }
  return true;
}
static_assert(SortedAndNotGrowing());

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Code point of a well-formed shortest sequence, or 0 for anything else
// (no row has a malformed source, so such a sequence matches none).
char32_t DecodeSequence(const unsigned char* s, int length) {
  char32_t cp = 0;
  switch (length) {
    case 2: cp = s[0] & 0x1Fu; break;
    case 3: cp = s[0] & 0x0Fu; break;
    case 4: cp = s[0] & 0x07u; break;
    default: return 0;
  }
  for (int k = 1; k < length; ++k) {
    if (!IsContinuation(s[k])) return 0;
    cp = (cp << 6) | (s[k] & 0x3Fu);
  }
  char32_t minimum = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
  return cp < minimum ? 0 : cp;
}

// Symbols (U+2600..U+26FF) and the emoji blocks U+1F200..U+1F27F and
// U+1F300..U+1F6FF become a box, judged by their leading bytes.
bool InBoxedRange(const unsigned char* s, int length) {
  if (length == 3) return s[0] == 0xE2 && s[1] >= 0x98 && s[1] <= 0x9B;
  if (length == 4) {
    return s[0] == 0xF0 && s[1] == 0x9F && (s[2] == 0x88 || s[2] == 0x89 || (s[2] >= 0x8C && s[2] <= 0x9B));
  }
  return false;
}

}  // namespace

std::size_t ReplacePictographs(std::span<char> text) {
  const std::size_t n = TextLength(text);
  auto* buf = reinterpret_cast<unsigned char*>(text.data());
  std::size_t r = 0;
  std::size_t w = 0;
  while (r < n) {
    int length = Utf8SequenceLength(buf[r]);
    if (length <= 1) {
      buf[w++] = buf[r++];
      continue;
    }
    if (r + static_cast<std::size_t>(length) > n) {
      ++r;  // a sequence cut off by the end of the text loses its first byte
      continue;
    }
    const unsigned char* s = buf + r;
    if (InBoxedRange(s, length)) {
      std::memcpy(buf + w, "[ ]", 3);
      w += 3;
      r += static_cast<std::size_t>(length);
      continue;
    }
    char32_t cp = DecodeSequence(s, length);
    const PictographRow* end = std::end(kPictographs);
    const PictographRow* row = std::lower_bound(std::begin(kPictographs), end, cp,
                                                [](const PictographRow& a, char32_t b) { return a.codePoint < b; });
    if (cp != 0 && row != end && row->codePoint == cp) {
      std::size_t k = std::strlen(row->replacement);
      std::memmove(buf + w, row->replacement, k);  // k <= length, so w + k <= r + length
      w += k;
    } else {
      std::memmove(buf + w, s, static_cast<std::size_t>(length));
      w += static_cast<std::size_t>(length);
    }
    r += static_cast<std::size_t>(length);
  }
  Terminate(text, w);
  return w;
}

std::size_t EncodeUtf8(char32_t cp, std::span<char, 4> out) {
  if (cp > 0x10FFFF) cp = 0xFFFD;
  if (cp < 0x80) {
    out[0] = static_cast<char>(cp);
    return 1;
  }
  if (cp < 0x800) {
    out[0] = static_cast<char>(0xC0 | (cp >> 6));
    out[1] = static_cast<char>(0x80 | (cp & 0x3F));
    return 2;
  }
  if (cp < 0x10000) {
    out[0] = static_cast<char>(0xE0 | (cp >> 12));
    out[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (cp & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | (cp >> 18));
  out[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
  out[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
  out[3] = static_cast<char>(0x80 | (cp & 0x3F));
  return 4;
}

}  // namespace velnora
