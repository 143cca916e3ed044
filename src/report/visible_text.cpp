#include "report/visible_text.h"

namespace velnora {
namespace {

bool IsShownAsCaret(unsigned char c) { return (c < 0x20 && c != '\t') || c == 0x7F; }

void AppendCaret(std::string& out, unsigned char c) {
  out += '^';
  out += c == 0x7F ? '?' : static_cast<char>(c + 0x40);
}

}  // namespace

std::string VisibleText(std::string_view utf8, bool keepLineBreaks) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (keepLineBreaks && (c == '\n' || c == '\r')) {
      if (c == '\n') out += '\n';
    } else if (IsShownAsCaret(c)) {
      AppendCaret(out, c);
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

std::string VisibleLocalText(std::string_view cp932) {
  std::string out;
  out.reserve(cp932.size());
  for (char byte : cp932) {
    const auto c = static_cast<unsigned char>(byte);
    if (IsShownAsCaret(c)) {
      AppendCaret(out, c);
    } else {
      out += byte;
    }
  }
  return out;
}

}  // namespace velnora
