// The closing steps of HtmlToText: spaces of UTF-8 text and tidy lines.
#include <string>

#include "convert/html_passes.h"

namespace velnora::html {
namespace {

enum class SpaceShape { Keep, Space, Drop };

SpaceShape ShapeOf(char32_t cp) {
  if (cp == 0xA0 || (cp >= 0x2000 && cp <= 0x200A) || cp == 0x205F || cp == 0xFFFD) return SpaceShape::Space;
  if (cp == 0x200B || cp == 0x2060 || cp == 0xFEFF || cp == 0xFE0E || cp == 0xFE0F) return SpaceShape::Drop;
  return SpaceShape::Keep;
}

}  // namespace

std::string NormalizeUnicodeSpaces(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t copied = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    // Every character concerned starts with one of these bytes, which are
    // never continuation bytes.
    const auto b0 = static_cast<unsigned char>(text[i]);
    if (b0 != 0xC2 && b0 != 0xE2 && b0 != 0xEF) continue;
    const std::size_t length = b0 == 0xC2 ? 2 : 3;
    if (i + length > text.size()) break;
    const auto b1 = static_cast<unsigned char>(text[i + 1]);
    char32_t cp = b0 == 0xC2 ? ((b0 & 0x1Fu) << 6) | (b1 & 0x3Fu)
                             : ((b0 & 0x0Fu) << 12) | ((b1 & 0x3Fu) << 6) | (static_cast<unsigned char>(text[i + 2]) & 0x3Fu);
    const SpaceShape shape = ShapeOf(cp);
    if (shape == SpaceShape::Keep) continue;
    out.append(text.substr(copied, i - copied));
    if (shape == SpaceShape::Space) out.push_back(' ');
    i += length - 1;
    copied = i + 1;
  }
  out.append(text.substr(copied));
  return out;
}

std::string CleanLines(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  std::size_t emptyLines = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t end = text.find_first_of("\r\n", i);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(i, end - i);
    i = end;
    if (i < text.size()) i += (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
      ++emptyLines;
      continue;
    }
    const std::size_t last = line.find_last_not_of(' ');
    if (!out.empty() && emptyLines > 0) out.append("\r\n");
    emptyLines = 0;
    out.append(line.substr(first, last + 1 - first));
    out.append("\r\n");
  }
  // A text that ended in empty lines keeps one of them.
  if (!out.empty() && emptyLines > 0) out.append("\r\n");
  return out;
}

}  // namespace velnora::html
