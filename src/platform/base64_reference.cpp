#include "platform/base64_reference.h"

#include <openssl/evp.h>

#include <climits>

namespace velnora::platform {

std::optional<std::size_t> EvpDecodeBase64(std::string_view base64, std::span<unsigned char> out) {
  if (base64.size() > INT_MAX || out.size() < (base64.size() + 3) / 4 * 3) return std::nullopt;
  int n = EVP_DecodeBlock(out.data(), reinterpret_cast<const unsigned char*>(base64.data()),
                          static_cast<int>(base64.size()));
  if (n < 0) return std::nullopt;
  return static_cast<std::size_t>(n);
}

}  // namespace velnora::platform
