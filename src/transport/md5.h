// MD5 (RFC 1321) and HMAC-MD5 (RFC 2104), for the two challenge-response
// log-ins: APOP on POP3 and AUTH CRAM-MD5 on SMTP. Nothing else uses them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace velnora {

inline constexpr std::size_t kMd5DigestSize = 16;
inline constexpr std::size_t kMd5BlockSize = 64;

using Md5Digest = std::array<uint8_t, kMd5DigestSize>;

struct Md5Context {
  uint32_t state[4];          // chaining values A, B, C, D
  uint32_t count[2];          // processed bits, low half first
  uint8_t buffer[kMd5BlockSize];  // input not yet processed
};

void Md5Init(Md5Context& context);
void Md5Update(Md5Context& context, const void* bytes, std::size_t length);
// Pads, appends the bit count, writes the digest and wipes the context.
void Md5Final(uint8_t digest16[kMd5DigestSize], Md5Context& context);

// MD5 of `text`, appended to `out` as 32 lower-case hexadecimal digits.
void Md5Hex(std::string_view text, std::string& out);

// HMAC-MD5 with block size 64; keys longer than 64 bytes are hashed first.
void HmacMd5(const void* data, std::size_t dataLength, const void* key, std::size_t keyLength,
             uint8_t digest16[kMd5DigestSize]);

// Convenience forms for callers that hold strings.
Md5Digest Md5(std::string_view bytes);
Md5Digest HmacMd5(std::string_view data, std::string_view key);
// 32 lower-case hexadecimal digits ("%02x" per byte).
std::string DigestHex(const Md5Digest& digest);

}  // namespace velnora
