// Caller buffers that hold NUL-terminated text. The text ends at the first
// zero byte or at the end of the buffer, whichever comes first, so no
// operation can read past the buffer even when the terminator is missing.
#pragma once

#include <cstddef>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

namespace velnora {

inline std::size_t TextLength(std::span<const char> buffer) {
  if (buffer.empty()) return 0;
  const void* zero = std::memchr(buffer.data(), 0, buffer.size());
  return zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - buffer.data()) : buffer.size();
}

inline std::string_view TextOf(std::span<const char> buffer) {
  return std::string_view(buffer.data(), TextLength(buffer));
}

// A view that stops at the first zero byte, as the C string would.
inline std::string_view UpToNul(std::string_view text) {
  std::size_t zero = text.find('\0');
  return zero == std::string_view::npos ? text : text.substr(0, zero);
}

// Ends the text at `length` when the buffer has room for the terminator
// (a shortened text always has).
inline void Terminate(std::span<char> buffer, std::size_t length) {
  if (length < buffer.size()) buffer[length] = '\0';
}

// Copies `text` into `dest`, cut to the destination size minus 1 and always
// terminated. Returns the length written.
inline std::size_t CopyText(std::string_view text, std::span<char> dest) {
  if (dest.empty()) return 0;
  std::size_t n = text.size() < dest.size() - 1 ? text.size() : dest.size() - 1;
  if (n > 0) std::memmove(dest.data(), text.data(), n);
  dest[n] = '\0';
  return n;
}

// The writable span of a std::string including its terminator, for the
// in-place operations; the string is resized to the length they return.
template <typename Operation>
void ApplyInPlace(std::string& text, Operation operation) {
  text.resize(UpToNul(text).size());
  std::size_t length = operation(std::span<char>(text.data(), text.size() + 1));
  text.resize(length);
}

}  // namespace velnora
