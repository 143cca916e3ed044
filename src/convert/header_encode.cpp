#include <algorithm>
#include <string>

#include "convert/base64.h"
#include "convert/header_text.h"
#include "convert/jis_convert.h"
#include "convert/quoted_printable.h"
#include "convert/text_buffer.h"

namespace velnora {
namespace {

// Writes prefix, the Base64 of `bytes` and "?=", the Base64 cut to whole
// groups so that the word is closed within `dest`.
std::size_t WriteBase64Word(std::string_view prefix, std::string_view bytes, std::span<char> dest) {
  constexpr std::string_view kSuffix = "?=";
  if (dest.size() < prefix.size() + kSuffix.size() + 1) return CopyText({}, dest);
  std::size_t room = std::min(dest.size() - prefix.size() - kSuffix.size(), kHeaderWorkArea);
  std::copy(prefix.begin(), prefix.end(), dest.begin());
  std::size_t o = prefix.size();
  o += Base64EncodeBytes(std::span<const char>(bytes.data(), bytes.size()), dest.subspan(o, room));
  std::copy(kSuffix.begin(), kSuffix.end(), dest.begin() + static_cast<std::ptrdiff_t>(o));
  o += kSuffix.size();
  dest[o] = '\0';
  return o;
}

std::size_t WriteQWord(std::string_view prefix, std::string_view text, std::span<char> dest) {
  constexpr std::string_view kSuffix = "?=";
  if (dest.size() < prefix.size() + kSuffix.size() + 1) return CopyText({}, dest);
  // Each byte gives at most three characters; the area never exceeds 64 KiB.
  std::string area(std::min(kHeaderWorkArea, text.size() * 3 + 1), '\0');
  std::size_t length = QEncodeText(text, std::span<char>(area));
  std::size_t room = dest.size() - 1 - prefix.size() - kSuffix.size();
  if (length > room) {
    length = room;
    // An escape cut in two would be read as a literal "=".
    if (length >= 1 && area[length - 1] == '=') length -= 1;
    else if (length >= 2 && area[length - 2] == '=') length -= 2;
  }
  std::string word(prefix);
  word.append(area, 0, length);
  word += kSuffix;
  return CopyText(word, dest);
}

}  // namespace

std::size_t EncodeHeaderWord(std::string_view text, std::span<char> dest, CharsetCode code,
                             const ConvertOptions& options) {
  text = UpToNul(text);
  switch (code) {
    case charset::kShiftJis: {
      // The ISO-2022-JP text is cut, ending in single-byte mode, to what its
      // Base64 can carry in the 64 KiB area and in `dest`; a byte gives at
      // most four (an escape and itself).
      constexpr std::string_view kPrefix = "=?ISO-2022-JP?B?";
      std::size_t base64Room = dest.size() > kPrefix.size() + 3 ? dest.size() - kPrefix.size() - 3 : 0;
      base64Room = std::min(base64Room, kHeaderWorkArea - 1);
      std::size_t area = std::min(text.size() * 4 + 8, base64Room / 4 * 3 + 2);
      std::string jis(area, '\0');
      jis.resize(SjisToJis(text, std::span<char>(jis), options));
      return WriteBase64Word(kPrefix, jis, dest);
    }
    case charset::kUtf8: return WriteBase64Word("=?UTF-8?B?", text, dest);
    case charset::kEucJp: return WriteBase64Word("=?EUC-JP?B?", text, dest);
    case charset::kShiftJisBase64: return WriteBase64Word("=?SHIFT_JIS?B?", text, dest);
    default: break;
  }
  if (code >= charset::kIso8859First && code <= charset::kIso8859Last) {
    std::string prefix = "=?ISO-8859-" + std::to_string(code - 13) + "?Q?";
    return WriteQWord(prefix, text, dest);
  }
  return CopyText(text, dest);
}

}  // namespace velnora
