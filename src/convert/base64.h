// Base64 (RFC 2045 alphabet) on NUL-terminated text in caller buffers.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace velnora {

// Decodes in place: characters outside the alphabet and "=" are dropped,
// "=" and missing characters count as zero bits, and a decoded zero byte
// ends the text. Returns the new length.
std::size_t Base64DecodeText(std::span<char> text);

// Decodes in place as Base64DecodeText does, but keeps zero bytes: the
// result is every byte the text encodes (binary data, UTF-16 text).
// Returns the length.
std::size_t Base64DecodeBytes(std::span<char> text);

// Base64 of exactly the given bytes, no line breaks; whole groups only, as
// many as fit. Returns the length written.
std::size_t Base64EncodeBytes(std::span<const char> source, std::span<char> dest);

// Base64 that stops before the output reaches `*size` minus 12 characters
// (the destination size when `size` is absent); `*size` becomes the number
// of characters written. Without source, with a length of 0 or less, or
// without destination it writes nothing and returns -1.
int Base64EncodeBounded(const char* source, long length, std::span<char> dest, std::size_t* size);

// Copies Base64 text broken into lines of 72 characters, each ended by CR LF,
// and a final CR LF; characters that would reach the destination size minus 8
// are dropped. Returns the length written.
std::size_t WrapBase64Lines(std::string_view source, std::span<char> dest);

}  // namespace velnora
