#include "report/visible_text.h"

namespace velnora {

std::string VisibleText(std::string_view utf8, bool keepLineBreaks) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (keepLineBreaks && (c == '\n' || c == '\r')) {
      if (c == '\n') out += '\n';
    } else if ((c < 0x20 && c != '\t') || c == 0x7F) {
      out += '^';
      out += c == 0x7F ? '?' : static_cast<char>(c + 0x40);
    } else if (c == 0xC2 && i + 1 < utf8.size() &&
               static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(utf8[i + 1]) <= 0x9F) {
      out += "\xEF\xBF\xBD";
      ++i;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

}  // namespace velnora
