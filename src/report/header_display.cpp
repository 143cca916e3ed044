#include "report/header_display.h"

namespace velnora {

std::string DisplayHeaderValue(std::string_view value, const AccountSettings&) {
  // Encoded-word decoding joins here once the conversion layer offers it.
  return std::string(value);
}

}  // namespace velnora
