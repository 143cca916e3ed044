#include "convert/charset_code.h"

#include "platform/codepage_win.h"

namespace velnora {

bool IsLeadByte(unsigned char byte, CharsetCode code) {
  switch (code) {
    case charset::kBig5:
    case charset::kGb2312:
    case charset::kGb18030:
    case charset::kGbk:
      return byte >= 0xA1 && byte <= 0xFE;
    case charset::kHzGb2312:
      return false;
    default:
      // The user-defined area 0xF0..0xFC is not taken as lead bytes.
      return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xEF);
  }
}

bool IsOtherCjkCharset(CharsetCode code) {
  return (code >= charset::kBig5 && code <= charset::kIso2022Kr) || code == charset::kKsC5601 ||
         code == charset::kEucKr || (code >= charset::kEucJp && code <= charset::kGbk) ||
         code == charset::kIso2022Cn;
}

unsigned CodePageOf(CharsetCode code) {
  switch (code) {
    case charset::kIso2022Jp: return platform::kCodePageIso2022Jp;
    case charset::kUtf8: return platform::kCodePageUtf8;
    default: return platform::GetOEMCP();
  }
}

CharsetCode CharsetOfCodePage(unsigned oemCodePage) {
  switch (oemCodePage) {
    case 437: case 850: case 852: case 860: case 861: case 863: case 865: return 14;
    case 708: case 709: case 710: case 720: case 864: return 19;
    case 737: case 869: return 20;
    case 775: return 17;
    case 855: case 866: return charset::kKoi8R;
    case 857: return 22;
    case 862: return 21;
    case 874: return charset::kWindows874;
    case 936: return charset::kGb2312;
    case 949: case 1361: return charset::kIso2022Kr;
    case 950: return charset::kBig5;
    default: return charset::kShiftJis;
  }
}

std::size_t CharacterBoundary(std::string_view text, std::size_t limit, CharsetCode code) {
  if (text.size() <= limit) return text.size();
  if (code == charset::kUtf8 || code == charset::kUtf7) {
    std::size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return cut;
  }
  std::size_t i = 0;
  while (i < limit) {
    std::size_t step = IsLeadByte(static_cast<unsigned char>(text[i]), code) ? 2 : 1;
    if (i + step > limit) break;
    i += step;
  }
  return i;
}

CharsetCode CharsetOfSystemCodePage() { return CharsetOfCodePage(platform::GetOEMCP()); }

}  // namespace velnora
