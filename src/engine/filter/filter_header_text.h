// Header values as the filters search them: the text after the header
// name, cut to a bound, and decoded from encoded-words where asked.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velnora {

// Longest decoded address line and longest subject line that are searched;
// longer lines are cut, not rejected.
inline constexpr std::size_t kMaxFilteredAddressLine = 65535;
inline constexpr std::size_t kMaxFilteredSubjectLine = 4094;

// The value of a whole header line: the text after its first colon.
std::string_view HeaderValue(std::string_view line);

// The line cut at `limit` bytes, then its value decoded into local text.
std::string DecodedHeaderValue(std::string_view line, std::size_t limit);

}  // namespace velnora
