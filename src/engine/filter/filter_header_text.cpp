#include "engine/filter/filter_header_text.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "convert/header_text.h"

namespace velnora {

std::string_view HeaderValue(std::string_view line) {
  const std::size_t colon = line.find(':');
  return colon == std::string_view::npos ? std::string_view() : line.substr(colon + 1);
}

std::string DecodedHeaderValue(std::string_view line, std::size_t limit) {
  line = line.substr(0, std::min(line.size(), limit));
  std::vector<char> decoded(kMaxFilteredAddressLine + 1, '\0');
  // Unicode words become local text, so that words typed in the settings match them.
  DecodeHeaderText(HeaderValue(line), decoded, true);
  return std::string(decoded.data(), ::strnlen(decoded.data(), decoded.size()));
}

}  // namespace velnora
