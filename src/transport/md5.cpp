#include "transport/md5.h"

#include <cstring>

namespace velnora {
namespace {

constexpr uint32_t F(uint32_t x, uint32_t y, uint32_t z) { return (x & y) | (~x & z); }
constexpr uint32_t G(uint32_t x, uint32_t y, uint32_t z) { return (x & z) | (y & ~z); }
constexpr uint32_t H(uint32_t x, uint32_t y, uint32_t z) { return x ^ y ^ z; }
constexpr uint32_t I(uint32_t x, uint32_t y, uint32_t z) { return y ^ (x | ~z); }
constexpr uint32_t Rotl(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

// Per-round shift amounts and the sine-derived constants of RFC 1321.
constexpr int kShift[64] = {7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
                            5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
                            4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
                            6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21};
constexpr uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613,
    0xfd469501, 0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193,
    0xa679438e, 0x49b40821, 0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d,
    0x02441453, 0xd8a1e681, 0xe7d3fbc8, 0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed,
    0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a, 0xfffa3942, 0x8771f681, 0x6d9d6122,
    0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70, 0x289b7ec6, 0xeaa127fa,
    0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665, 0xf4292244,
    0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb,
    0xeb86d391};

void Transform(uint32_t state[4], const uint8_t block[kMd5BlockSize]) {
  uint32_t x[16];
  for (int i = 0; i < 16; ++i) {
    x[i] = uint32_t(block[i * 4]) | (uint32_t(block[i * 4 + 1]) << 8) |
           (uint32_t(block[i * 4 + 2]) << 16) | (uint32_t(block[i * 4 + 3]) << 24);
  }
  uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
  for (int i = 0; i < 64; ++i) {
    uint32_t f;
    int k;
    switch (i / 16) {
      case 0: f = F(b, c, d); k = i; break;
      case 1: f = G(b, c, d); k = (5 * i + 1) % 16; break;
      case 2: f = H(b, c, d); k = (3 * i + 5) % 16; break;
      default: f = I(b, c, d); k = (7 * i) % 16; break;
    }
    const uint32_t next = b + Rotl(a + f + kSine[i] + x[k], kShift[i]);
    a = d;
    d = c;
    c = b;
    b = next;
  }
  state[0] += a;
  state[1] += b;
  state[2] += c;
  state[3] += d;
  std::memset(x, 0, sizeof x);
}

}  // namespace

void Md5Init(Md5Context& context) {
  context.count[0] = context.count[1] = 0;
  context.state[0] = 0x67452301;
  context.state[1] = 0xefcdab89;
  context.state[2] = 0x98badcfe;
  context.state[3] = 0x10325476;
  std::memset(context.buffer, 0, sizeof context.buffer);
}

void Md5Update(Md5Context& context, const void* bytes, std::size_t length) {
  const auto* input = static_cast<const uint8_t*>(bytes);
  std::size_t index = (context.count[0] >> 3) & 0x3F;
  const uint64_t bits = uint64_t(length) << 3;
  const uint32_t low = context.count[0];
  context.count[0] += uint32_t(bits);
  if (context.count[0] < low) ++context.count[1];
  context.count[1] += uint32_t(bits >> 32);

  std::size_t i = 0;
  const std::size_t partLength = kMd5BlockSize - index;
  if (length >= partLength) {
    std::memcpy(&context.buffer[index], input, partLength);
    Transform(context.state, context.buffer);
    for (i = partLength; i + kMd5BlockSize - 1 < length; i += kMd5BlockSize) {
      Transform(context.state, &input[i]);
    }
    index = 0;
  }
  if (length > i) std::memcpy(&context.buffer[index], &input[i], length - i);
}

void Md5Final(uint8_t digest16[kMd5DigestSize], Md5Context& context) {
  uint8_t bitCount[8];
  for (int i = 0; i < 4; ++i) {
    bitCount[i] = uint8_t(context.count[0] >> (8 * i));
    bitCount[i + 4] = uint8_t(context.count[1] >> (8 * i));
  }
  static const uint8_t kPadding[kMd5BlockSize] = {0x80};
  const std::size_t index = (context.count[0] >> 3) & 0x3F;
  const std::size_t padLength = index < 56 ? 56 - index : 120 - index;
  Md5Update(context, kPadding, padLength);
  Md5Update(context, bitCount, 8);
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) digest16[i * 4 + j] = uint8_t(context.state[i] >> (8 * j));
  }
  std::memset(&context, 0, sizeof context);
}

void Md5Hex(std::string_view text, std::string& out) { out += DigestHex(Md5(text)); }

void HmacMd5(const void* data, std::size_t dataLength, const void* key, std::size_t keyLength,
             uint8_t digest16[kMd5DigestSize]) {
  uint8_t block[kMd5BlockSize] = {};
  if (keyLength > kMd5BlockSize) {
    Md5Context keyContext;
    Md5Init(keyContext);
    Md5Update(keyContext, key, keyLength);
    Md5Final(block, keyContext);
  } else if (keyLength > 0) {
    std::memcpy(block, key, keyLength);
  }
  uint8_t pad[kMd5BlockSize];
  for (std::size_t i = 0; i < kMd5BlockSize; ++i) pad[i] = block[i] ^ 0x36;
  uint8_t inner[kMd5DigestSize];
  Md5Context context;
  Md5Init(context);
  Md5Update(context, pad, kMd5BlockSize);
  Md5Update(context, data, dataLength);
  Md5Final(inner, context);

  for (std::size_t i = 0; i < kMd5BlockSize; ++i) pad[i] = block[i] ^ 0x5C;
  Md5Init(context);
  Md5Update(context, pad, kMd5BlockSize);
  Md5Update(context, inner, kMd5DigestSize);
  Md5Final(digest16, context);
  // The padded key is the password; do not leave it on the stack.
  std::memset(block, 0, sizeof block);
  std::memset(pad, 0, sizeof pad);
}

Md5Digest Md5(std::string_view bytes) {
  Md5Digest digest;
  Md5Context context;
  Md5Init(context);
  Md5Update(context, bytes.data(), bytes.size());
  Md5Final(digest.data(), context);
  return digest;
}

Md5Digest HmacMd5(std::string_view data, std::string_view key) {
  Md5Digest digest;
  HmacMd5(data.data(), data.size(), key.data(), key.size(), digest.data());
  return digest;
}

std::string DigestHex(const Md5Digest& digest) {
  static const char kHex[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(2 * kMd5DigestSize);
  for (uint8_t byte : digest) {
    hex += kHex[byte >> 4];
    hex += kHex[byte & 0x0F];
  }
  return hex;
}

}  // namespace velnora
