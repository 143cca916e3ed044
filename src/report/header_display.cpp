#include "report/header_display.h"

#include <cstring>
#include <vector>

#include "convert/header_text.h"

namespace velnora {

std::string DisplayHeaderValue(std::string_view value, const AccountSettings&) {
  // The list shows code page 932 text whatever the account forwards, so
  // Unicode words are always brought into the local code page here.
  // Decoding never needs much more room than the value itself.
  std::vector<char> decoded(value.size() * 2 + 256, '\0');
  DecodeHeaderText(value, decoded, /*convertUnicode=*/true);
  return std::string(decoded.data(), strnlen(decoded.data(), decoded.size()));
}

}  // namespace velnora
