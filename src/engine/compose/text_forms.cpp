#include "engine/compose/text_forms.h"

#include <span>
#include <vector>

#include "convert/charset_code.h"
#include "convert/jis_convert.h"
#include "convert/unicode_local.h"

namespace velnora {

std::string SjisAsJis(std::string_view sjis, const ConvertOptions& options) {
  // Each character may switch modes: at most four bytes per source byte.
  std::vector<char> out(4 * sjis.size() + 16, '\0');
  return std::string(out.data(), SjisToJis(sjis, std::span<char>(out), options));
}

std::string SjisAsUtf8(std::string_view sjis) {
  std::string out(sjis);
  out.resize(3 * sjis.size() + 4, '\0');
  if (!ConvertLocalToUtf8(std::span<char>(out), charset::kShiftJis, charset::kUtf8)) {
    return std::string(sjis);
  }
  return out.substr(0, out.find('\0'));
}

std::string JisAsSjis(std::string_view jis) {
  std::vector<char> out(jis.size() + 1, '\0');
  const std::size_t written = JisToSjis(jis, std::span<char>(out));
  return std::string(out.data(), written > 0 ? written - 1 : 0);
}

std::string Utf8AsLocal(std::string_view utf8) {
  std::string out(utf8);
  out.push_back('\0');
  if (ConvertUnicodeToLocal(std::span<char>(out), charset::kUtf8) == charset::kUndetermined) {
    return std::string(utf8);
  }
  return out.substr(0, out.find('\0'));
}

}  // namespace velnora
