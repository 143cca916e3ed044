#include "convert/quoted_printable.h"

#include <algorithm>

#include "convert/text_buffer.h"

namespace velnora {
namespace {

int HexValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Undoes what the POP3 transfer may leave behind: LF ".." becomes LF ".",
// and the four bytes "!" CR LF space vanish.
std::size_t UndoTransferArtifacts(unsigned char* s, std::size_t n) {
  std::size_t w = 0;
  for (std::size_t r = 0; r < n;) {
    if (s[r] == '\n' && r + 2 < n && s[r + 1] == '.' && s[r + 2] == '.') {
      s[w++] = '\n';
      s[w++] = '.';
      r += 3;
      continue;
    }
    if (s[r] == '!' && r + 3 < n && s[r + 1] == '\r' && s[r + 2] == '\n' && s[r + 3] == ' ') {
      r += 4;
      continue;
    }
    s[w++] = s[r++];
  }
  return w;
}

}  // namespace

std::size_t QuotedPrintableDecodeText(std::span<char> text) {
  auto* s = reinterpret_cast<unsigned char*>(text.data());
  const std::size_t n = UndoTransferArtifacts(s, TextLength(text));
  std::size_t w = 0;
  std::size_t r = 0;
  while (r < n) {
    unsigned char c = s[r];
    if (c != '=') {
      s[w++] = c;
      ++r;
      continue;
    }
    if (r + 1 < n && s[r + 1] == '\r') {
      r += std::min<std::size_t>(3, n - r);  // soft line break: "=", CR and the LF
      continue;
    }
    if (r + 2 >= n) {
      ++r;  // "=" too close to the end for an escape is dropped
      continue;
    }
    int hi = HexValue(s[r + 1]);
    int lo = HexValue(s[r + 2]);
    if (hi < 0 || lo < 0) {
      s[w++] = '=';
      ++r;
      continue;
    }
    unsigned char value = static_cast<unsigned char>(hi * 16 + lo);
    // "=00" would end the text early; it is skipped.
    if (value != 0) s[w++] = value;
    r += 3;
  }
  Terminate(text, w);
  return w;
}

std::size_t QEncodeText(std::string_view source, std::span<char> dest) {
  if (dest.empty()) return 0;
  std::fill(dest.begin(), dest.end(), '\0');
  static constexpr char kHex[] = "0123456789ABCDEF";
  const std::string_view in = UpToNul(source);
  const std::size_t cap = dest.size() - 1;
  std::size_t o = 0;
  for (char ch : in) {
    auto c = static_cast<unsigned char>(ch);
    if (c >= 0x80 || c == '=') {
      if (o + 3 > cap) break;
      dest[o++] = '=';
      dest[o++] = kHex[c >> 4];
      dest[o++] = kHex[c & 0x0F];
    } else {
      if (o + 1 > cap) break;
      dest[o++] = ch;
    }
  }
  dest[o] = '\0';
  return o;
}

}  // namespace velnora
