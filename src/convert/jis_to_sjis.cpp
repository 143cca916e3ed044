#include "convert/jis_arithmetic.h"
#include "convert/jis_convert.h"
#include "convert/text_buffer.h"

namespace velnora {
namespace {

constexpr unsigned char kEsc = 0x1B;

enum class JisMode { kAscii, kKanji, kKana };

}  // namespace

std::size_t JisToSjis(std::string_view jis, std::span<char> dest) {
  if (dest.empty()) return 0;
  const std::string_view in = UpToNul(jis);
  const std::size_t n = in.size();
  const std::size_t cap = dest.size() - 1;
  const auto* src = reinterpret_cast<const unsigned char*>(in.data());
  auto* out = reinterpret_cast<unsigned char*>(dest.data());
  JisMode mode = JisMode::kAscii;
  std::size_t i = 0;
  std::size_t o = 0;
  while (i < n && o < cap) {
    unsigned char c = src[i];
    if (c == kEsc) {
      if (i + 1 < n && src[i + 1] == '$') {
        mode = JisMode::kKanji;
      } else if (i + 2 < n && src[i + 1] == '(' && src[i + 2] == 'I') {
        mode = JisMode::kKana;
      } else {
        mode = JisMode::kAscii;
      }
      i += 3;
      continue;
    }
    if (c == '\r' || c == '\n') mode = JisMode::kAscii;
    if (mode == JisMode::kKanji) {
      if (i + 1 >= n) {
        // A lone byte at the end of the text is copied, not paired with the terminator.
        out[o++] = c;
        ++i;
        continue;
      }
      // A run of pairs up to the next escape or line end.
      bool full = false;
      do {
        if (o + 2 > cap) {
          full = true;
          break;
        }
        BytePair s = JisPairToSjis(src[i], src[i + 1]);
        out[o++] = s.first;
        out[o++] = s.second;
        i += 2;
      } while (i + 1 < n && src[i] != kEsc && src[i] != '\r' && src[i] != '\n');
      if (full) break;
      continue;
    }
    if (mode == JisMode::kKana) {
      out[o++] = static_cast<unsigned char>(c + 0x80);
      ++i;
      continue;
    }
    // A run of single-byte text up to the next escape.
    do {
      out[o++] = src[i++];
    } while (i < n && o < cap && src[i] != kEsc);
  }
  out[o] = 0;
  return o + 1;
}

std::size_t JisToSjisUnfolded(std::string_view jis, std::span<char> dest) {
  if (dest.empty()) return 0;
  const std::string_view in = UpToNul(jis);
  const std::size_t n = in.size();
  const std::size_t cap = dest.size() - 1;
  const auto* src = reinterpret_cast<const unsigned char*>(in.data());
  auto* out = reinterpret_cast<unsigned char*>(dest.data());
  JisMode mode = JisMode::kAscii;
  std::size_t i = 0;
  std::size_t o = 0;
  while (i < n) {
    unsigned char c = src[i];
    if (c == kEsc && i + 2 < n) {
      unsigned char b1 = src[i + 1];
      unsigned char b2 = src[i + 2];
      bool known = true;
      if (b1 == '$' && (b2 == 'B' || b2 == '@')) {
        mode = JisMode::kKanji;
      } else if (b1 == '(' && (b2 == 'B' || b2 == 'J')) {
        mode = JisMode::kAscii;
      } else if (b1 == '(' && b2 == 'I') {
        mode = JisMode::kKana;
      } else {
        known = false;
      }
      if (known) {
        i += 3;
        continue;
      }
    }
    if (mode == JisMode::kKanji && c >= 0x21 && c <= 0x7E) {
      unsigned char c2 = i + 1 < n ? src[i + 1] : 0;
      // A pair with a byte outside 0x21..0x7E has no Shift_JIS form; the
      // conversion gives zero bytes there, which end the text.
      if (c2 < 0x21 || c2 > 0x7E) break;
      if (o + 2 > cap) break;
      BytePair s = JisPairToSjis(c, c2);
      out[o++] = s.first;
      out[o++] = s.second;
      i += 2;
      continue;
    }
    if (c == '\n' && (i == 0 || src[i - 1] != '\r')) {
      if (o + 2 > cap) break;
      out[o++] = '\r';
      out[o++] = '\n';
      ++i;
      continue;
    }
    if (o + 1 > cap) break;
    // Only the katakana bytes are shifted; line ends and controls stay as
    // they are, since line ends do not leave katakana mode here.
    out[o++] = (mode == JisMode::kKana && c >= 0x21 && c <= 0x5F) ? static_cast<unsigned char>(c + 0x80) : c;
    ++i;
  }
  out[o] = 0;
  return o;
}

std::string JisToSjisUnfolded(std::string_view jis) {
  std::string out(UpToNul(jis).size() * 2 + 1, '\0');
  out.resize(JisToSjisUnfolded(jis, std::span<char>(out)));
  return out;
}

}  // namespace velnora
