// Text helpers the tests share: filling a fixed-size text field of a settings
// record, and reading a file whole.
#pragma once

#include <algorithm>
#include <cstddef>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

namespace velnora::testing {

// Stores `text` as the settings pages do: cut to leave room for the NUL, the
// rest of the field zeroed.
template <std::size_t N>
void SetText(char (&field)[N], std::string_view text) {
  std::fill(field, field + N, '\0');
  std::copy_n(text.data(), std::min(text.size(), N - 1), field);
}

// The bytes of a file; empty when it cannot be read.
inline std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace velnora::testing
