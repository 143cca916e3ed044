// Small adapters between std::string and the buffer interfaces under test.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "convert/text_buffer.h"

namespace velnora::test {

// Runs an in-place operation on a buffer of exactly the text plus its
// terminator and returns the resulting text.
template <typename Operation>
std::string InPlace(std::string_view text, Operation operation) {
  std::vector<char> buffer(text.begin(), text.end());
  buffer.push_back('\0');
  operation(std::span<char>(buffer));
  return std::string(TextOf(buffer));
}

// Runs a converting operation into a destination of `size` bytes.
template <typename Operation>
std::string Into(std::size_t size, Operation operation) {
  std::vector<char> dest(size, '\x7F');
  operation(std::span<char>(dest));
  return std::string(TextOf(dest));
}

inline std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s.push_back(static_cast<char>(v));
  return s;
}

}  // namespace velnora::test
