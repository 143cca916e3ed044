#include "convert/base64.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "convert/text_buffer.h"

namespace velnora {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr unsigned char kForeign = 0xFF;

// Value of each byte; "=" is part of the text and counts as zero.
constexpr std::array<unsigned char, 256> MakeDecodeTable() {
  std::array<unsigned char, 256> table{};
  for (auto& v : table) v = kForeign;
  for (unsigned char i = 0; i < 64; ++i) table[static_cast<unsigned char>(kAlphabet[i])] = i;
  table['='] = 0;
  return table;
}
constexpr std::array<unsigned char, 256> kDecode = MakeDecodeTable();

// The value of a character already shifted to its place in a group; a
// foreign character sets a bit no group of four can set otherwise.
constexpr std::uint32_t kForeignBit = 1u << 24;
constexpr std::array<std::array<std::uint32_t, 256>, 4> MakeShiftedTables() {
  std::array<std::array<std::uint32_t, 256>, 4> tables{};
  for (int place = 0; place < 4; ++place) {
    for (int c = 0; c < 256; ++c) {
      unsigned char v = kDecode[static_cast<std::size_t>(c)];
      tables[static_cast<std::size_t>(place)][static_cast<std::size_t>(c)] =
          v == kForeign ? kForeignBit : static_cast<std::uint32_t>(v) << (18 - 6 * place);
    }
  }
  return tables;
}
constexpr auto kShifted = MakeShiftedTables();

std::size_t EncodeGroups(const unsigned char* src, std::size_t n, char* out, std::size_t maxChars) {
  std::size_t o = 0;
  std::size_t i = 0;
  while (i < n && o + 4 <= maxChars) {
    unsigned b0 = src[i];
    unsigned b1 = i + 1 < n ? src[i + 1] : 0;
    unsigned b2 = i + 2 < n ? src[i + 2] : 0;
    out[o++] = kAlphabet[b0 >> 2];
    out[o++] = kAlphabet[((b0 & 0x03) << 4) | (b1 >> 4)];
    out[o++] = i + 1 < n ? kAlphabet[((b1 & 0x0F) << 2) | (b2 >> 6)] : '=';
    out[o++] = i + 2 < n ? kAlphabet[b2 & 0x3F] : '=';
    i += 3;
  }
  return o;
}

// Decodes the n characters at s in place; a group cut short is filled with
// zero bits. Returns the number of bytes written.
std::size_t DecodeGroups(unsigned char* s, std::size_t n) {
  // The decoded bytes never outnumber the input bytes (the original text
  // plus its terminator is the whole room there is), and a group's bytes are
  // written only after its characters were read.
  std::size_t o = 0;
  std::size_t i = 0;
  unsigned quad[4];
  int have = 0;
  while (i < n) {
    // Runs of whole groups without foreign characters: the common case.
    if (have == 0) {
      while (i + 4 <= n) {
        std::uint32_t bits = kShifted[0][s[i]] | kShifted[1][s[i + 1]] | kShifted[2][s[i + 2]] | kShifted[3][s[i + 3]];
        if (bits & kForeignBit) break;
        s[o] = static_cast<unsigned char>(bits >> 16);
        s[o + 1] = static_cast<unsigned char>(bits >> 8);
        s[o + 2] = static_cast<unsigned char>(bits);
        o += 3;
        i += 4;
      }
      if (i >= n) break;
    }
    unsigned v = kDecode[s[i++]];
    if (v == kForeign) continue;
    quad[have++] = v;
    if (have == 4) {
      unsigned bits = (quad[0] << 18) | (quad[1] << 12) | (quad[2] << 6) | quad[3];
      s[o++] = static_cast<unsigned char>(bits >> 16);
      s[o++] = static_cast<unsigned char>(bits >> 8);
      s[o++] = static_cast<unsigned char>(bits);
      have = 0;
    }
  }
  if (have > 0) {
    // A group cut short: the missing characters are zero bits.
    for (int k = have; k < 4; ++k) quad[k] = 0;
    unsigned bits = (quad[0] << 18) | (quad[1] << 12) | (quad[2] << 6) | quad[3];
    unsigned char tail[3] = {static_cast<unsigned char>(bits >> 16), static_cast<unsigned char>(bits >> 8),
                             static_cast<unsigned char>(bits)};
    for (unsigned char b : tail) {
      if (o >= n) break;
      s[o++] = b;
    }
  }
  return o;
}

}  // namespace

std::size_t Base64DecodeText(std::span<char> text) {
  const std::size_t o = DecodeGroups(reinterpret_cast<unsigned char*>(text.data()), TextLength(text));
  // The result ends at its first zero byte.
  std::size_t length = TextLength(std::span<const char>(text.data(), o));
  Terminate(text, length);
  return length;
}

std::size_t Base64DecodeBytes(std::span<char> text) {
  const std::size_t n = TextLength(text);
  // Every character of the alphabet carries six bits; "=" and foreign
  // characters carry none, so padding adds no zero bytes.
  std::size_t carried = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    carried += kDecode[c] != kForeign && c != '=';
  }
  const std::size_t o = DecodeGroups(reinterpret_cast<unsigned char*>(text.data()), n);
  const std::size_t length = std::min(o, carried * 6 / 8);
  Terminate(text, length);
  return length;
}

std::size_t Base64EncodeBytes(std::span<const char> source, std::span<char> dest) {
  if (dest.empty()) return 0;
  std::size_t o = EncodeGroups(reinterpret_cast<const unsigned char*>(source.data()), source.size(), dest.data(),
                               dest.size() - 1);
  dest[o] = '\0';
  return o;
}

int Base64EncodeBounded(const char* source, long length, std::span<char> dest, std::size_t* size) {
  // The caller reports this: a library has no console of its own.
  if (source == nullptr || length <= 0 || dest.data() == nullptr || dest.empty()) return -1;
  std::size_t room = size != nullptr && *size < dest.size() ? *size : dest.size();
  // Groups are written while the output is below the size minus 12, so the
  // last group and the terminator still fit.
  std::size_t o = 0;
  if (room > 12) {
    const auto* src = reinterpret_cast<const unsigned char*>(source);
    std::size_t n = static_cast<std::size_t>(length);
    std::size_t i = 0;
    while (i < n && o < room - 12) {
      std::size_t take = n - i < 3 ? n - i : 3;
      o += EncodeGroups(src + i, take, dest.data() + o, 4);
      i += take;
    }
  }
  dest[o] = '\0';
  if (size != nullptr) *size = o;
  return 0;
}

std::size_t WrapBase64Lines(std::string_view source, std::span<char> dest) {
  if (dest.empty()) return 0;
  const std::string_view in = UpToNul(source);
  const std::size_t size = dest.size();
  const std::size_t stop = size > 8 ? size - 8 : 0;
  std::size_t o = 0;
  for (std::size_t i = 0; i < in.size() && o < stop; ++i) {
    dest[o++] = in[i];
    if ((i + 1) % 72 == 0) {
      dest[o++] = '\r';
      dest[o++] = '\n';
    }
  }
  // The final line end and the terminator fit in the 8 bytes kept free.
  if (o + 3 <= size) {
    dest[o++] = '\r';
    dest[o++] = '\n';
  }
  dest[o] = '\0';
  return o;
}

}  // namespace velnora
