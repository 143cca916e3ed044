#include "convert/utf8_check.h"

#include "convert/charset_code.h"
#include "convert/text_buffer.h"

namespace velnora {
namespace {

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

struct Step {
  std::size_t length;  // bytes taken
  bool blanked;        // they were a malformed multi-byte sequence, now spaces
  bool multiByte;      // a well-formed character of two to four bytes
};

// Examines the character at `i` of a text of `n` bytes and blanks it when
// malformed; blanking stops at the end of the text.
Step CheckCharacter(unsigned char* s, std::size_t i, std::size_t n) {
  unsigned char c = s[i];
  if (c < 0x80) return {1, false, false};
  int length = Utf8SequenceLength(c);
  if (length == 0) {
    s[i] = ' ';  // stray continuation byte, 0xC0, 0xC1, 0xF8..0xFF
    return {1, false, false};
  }
  for (int k = 1; k < length; ++k) {
    if (i + static_cast<std::size_t>(k) >= n || !IsContinuation(s[i + k])) {
      // The bad byte is blanked with the lead, as far as the text goes.
      std::size_t blank = static_cast<std::size_t>(k) + 1;
      if (i + blank > n) blank = n - i;
      for (std::size_t b = 0; b < blank; ++b) s[i + b] = ' ';
      return {blank, true, false};
    }
  }
  return {static_cast<std::size_t>(length), false, true};
}

}  // namespace

bool BlankInvalidUtf8(std::span<char> text) {
  const std::size_t n = TextLength(text);
  auto* s = reinterpret_cast<unsigned char*>(text.data());
  bool found = false;
  for (std::size_t i = 0; i < n;) {
    Step step = CheckCharacter(s, i, n);
    found = found || step.blanked;
    i += step.length;
  }
  return found;
}

std::size_t LimitUtf8Length(std::span<char> text, std::size_t limit) {
  const std::size_t n = TextLength(text);
  auto* s = reinterpret_cast<unsigned char*>(text.data());
  std::size_t count = 0;
  std::size_t i = 0;
  while (i < n && count < limit) {
    Step step = CheckCharacter(s, i, n);
    if (step.blanked) {
      // Blanked bytes are single spaces now and count one each.
      std::size_t take = step.length;
      if (take > limit - count) take = limit - count;
      count += take;
      i += take;
      continue;
    }
    count += step.multiByte ? 2 : 1;
    i += step.length;
  }
  if (i < n) Terminate(text, i);
  return count;
}

}  // namespace velnora
