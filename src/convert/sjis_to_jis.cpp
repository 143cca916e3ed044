#include "convert/charset_code.h"
#include "convert/ibm_extensions.h"
#include "convert/jis_arithmetic.h"
#include "convert/jis_convert.h"
#include "convert/text_buffer.h"

namespace velnora {
namespace {

enum class CharClass { kSingle, kDouble, kKana };

constexpr std::size_t kEscapeLength = 3;

}  // namespace

std::size_t SjisToJis(std::string_view sjis, std::span<char> dest, const ConvertOptions& options) {
  if (dest.empty()) return 0;
  const std::string_view in = UpToNul(sjis);
  const std::size_t n = in.size();
  // The output stops at the destination size minus 2.
  const std::size_t limit = dest.size() >= 2 ? dest.size() - 2 : 0;
  const auto* src = reinterpret_cast<const unsigned char*>(in.data());
  auto* out = reinterpret_cast<unsigned char*>(dest.data());
  const bool kana = options.encodeHalfwidthKana;
  const unsigned char returnFinal = kana ? 'J' : 'B';

  auto writeEscape = [&](CharClass cls, std::size_t& o) {
    out[o++] = 0x1B;
    switch (cls) {
      case CharClass::kDouble: out[o++] = '$'; out[o++] = 'B'; break;
      case CharClass::kKana: out[o++] = '('; out[o++] = 'I'; break;
      case CharClass::kSingle: out[o++] = '('; out[o++] = returnFinal; break;
    }
  };

  CharClass current = CharClass::kSingle;
  std::size_t i = 0;
  std::size_t o = 0;
  while (i < n) {
    unsigned char c = src[i];
    CharClass cls = CharClass::kSingle;
    // An IBM extension goes out as its twin, which the arithmetic can carry.
    const std::optional<BytePair> twin =
        i + 1 < n ? IbmExtensionTwin(c, src[i + 1]) : std::nullopt;
    // A lead byte needs its trail byte; a lone one at the end is copied.
    if (twin || (IsLeadByte(c, charset::kShiftJis) && i + 1 < n)) {
      cls = CharClass::kDouble;
    } else if (kana && IsHalfwidthKana(c)) {
      cls = CharClass::kKana;
    }
    std::size_t need = (cls == CharClass::kDouble ? 2 : 1) + (cls != current ? kEscapeLength : 0);
    // Room for the return to single-byte mode stays reserved, so a cut text
    // is still complete ISO-2022-JP.
    std::size_t reserve = cls != CharClass::kSingle ? kEscapeLength : 0;
    if (o + need + reserve > limit) break;
    if (cls != current) writeEscape(cls, o);
    current = cls;
    if (cls == CharClass::kDouble) {
      const BytePair j = twin ? SjisPairToJis(twin->first, twin->second) : SjisPairToJis(c, src[i + 1]);
      out[o++] = j.first;
      out[o++] = j.second;
      i += 2;
    } else {
      out[o++] = cls == CharClass::kKana ? static_cast<unsigned char>(c - 0x80) : c;
      ++i;
    }
  }
  // The terminator is single-byte text too: leave any other mode.
  if (current != CharClass::kSingle && o + kEscapeLength <= limit) writeEscape(CharClass::kSingle, o);
  out[o] = 0;
  return o;
}

}  // namespace velnora
