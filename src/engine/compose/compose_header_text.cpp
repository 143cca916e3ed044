#include "engine/compose/compose_header_text.h"

#include <span>
#include <vector>

#include "convert/header_text.h"
#include "convert/text_buffer.h"

namespace velnora {

DecodedText DecodeHeaderValue(std::string_view value, bool convertUnicode) {
  // Decoding never lengthens plain text; the Japanese conversions at most
  // double it, and the margin holds the terminator.
  std::vector<char> out(2 * value.size() + 64, '\0');
  DecodedText decoded;
  decoded.code = DecodeHeaderText(value, std::span<char>(out), convertUnicode);
  decoded.text.assign(TextOf(std::span<const char>(out)));
  return decoded;
}

std::string EncodeHeaderValue(std::string_view text, CharsetCode code, const ConvertOptions& options) {
  // An ISO-2022-JP form that switches mode at every character is four times
  // the text, its Base64 a third more; the encoder bounds its work area.
  std::vector<char> out(6 * text.size() + kHeaderWorkArea / 8, '\0');
  const std::size_t length = EncodeHeaderWord(text, std::span<char>(out), code, options);
  return std::string(out.data(), length);
}

std::string_view WithoutLineEnd(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
  return line;
}

std::string_view AfterHeaderName(std::string_view line) {
  const std::size_t colon = line.find(':');
  return colon == std::string_view::npos ? line : line.substr(colon + 1);
}

std::string RemoveCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c != '\r' && c != '\n') out.push_back(c);
  }
  return out;
}

std::string FoldSafe(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const bool fold = c == '\r' && i + 2 < text.size() && text[i + 1] == '\n' &&
                      (text[i + 2] == ' ' || text[i + 2] == '\t');
    if (fold) {
      out += "\r\n";
      ++i;
    } else {
      out.push_back(c == '\r' || c == '\n' || c == '\0' ? ' ' : c);
    }
  }
  return out;
}

std::string HeaderLine(std::string_view line) {
  return line.empty() ? std::string() : FoldSafe(WithoutLineEnd(line)) + "\r\n";
}

}  // namespace velnora
