// OpenSSL's Base64 block decoder, the reference the mail codec is measured
// against.
#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace velnora::platform {

// EVP_DecodeBlock of `base64` (no line breaks inside) into `out`, which
// needs three bytes for every four characters. Returns the decoded length
// (padding bytes included, as the call reports it), or nullopt on malformed
// input or too small an output.
std::optional<std::size_t> EvpDecodeBase64(std::string_view base64, std::span<unsigned char> out);

}  // namespace velnora::platform
