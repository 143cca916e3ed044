#include "convert/charset_detect.h"

#include <array>
#include <vector>

#include "convert/ascii_case.h"
#include "convert/text_buffer.h"

namespace velnora {
namespace {

using namespace charset;

struct LabelSearch {
  std::string_view label;
  CharsetCode code;
};

// Longer labels come before their prefixes ("iso-8859-10" before
// "iso-8859-1") since a label only has to begin at "charset=".
constexpr LabelSearch kContentTypeOrder[] = {
    {"iso-2022-jp", kIso2022Jp},
    {"shift_jis", kShiftJis}, {"x-sjis", kShiftJis}, {"shift-jis", kShiftJis}, {"cp932", kShiftJis},
    {"iso-8859-10", 23}, {"iso-8859-11", 24}, {"iso-8859-12", 25}, {"iso-8859-13", 26},
    {"iso-8859-14", 27}, {"iso-8859-15", 28}, {"iso-8859-16", 29},
    {"iso-8859-1", 14}, {"iso-8859-2", 15}, {"iso-8859-3", 16}, {"iso-8859-4", 17}, {"iso-8859-5", 18},
    {"iso-8859-6", 19}, {"iso-8859-7", 20}, {"iso-8859-8", 21}, {"iso-8859-9", 22},
    {"windows-1250", kWindows1250}, {"windows-1251", kWindows1251}, {"windows-1252", kWindows1252},
    {"windows-1253", 53}, {"windows-1254", 54}, {"windows-1255", 55}, {"windows-1256", 56},
    {"windows-1257", 57}, {"windows-1258", 58}, {"windows-874", kWindows874},
    {"koi8-u", kKoi8U}, {"koi8-r", kKoi8R},
    {"big5", kBig5}, {"gb2312", kGb2312}, {"gb18030", kGb18030}, {"gbk", kGbk},
    {"hz-gb-2312", kHzGb2312}, {"iso-2022-kr", kIso2022Kr}, {"ks_c_5601-1987", kKsC5601},
    {"euc-kr", kEucKr}, {"euc-jp", kEucJp}, {"euc-cn", kEucCn}, {"euc-tw", kEucTw},
    {"utf-7", kUtf7}, {"utf-8", kUtf8},
};

constexpr LabelSearch kBareLabelOrder[] = {
    {"us-ascii", kUsAscii},
    {"iso-8859-10", 23}, {"iso-8859-11", 24}, {"iso-8859-12", 25}, {"iso-8859-13", 26},
    {"iso-8859-14", 27}, {"iso-8859-15", 28}, {"iso-8859-16", 29},
    {"iso-8859-1", 14}, {"iso-8859-2", 15}, {"iso-8859-3", 16}, {"iso-8859-4", 17}, {"iso-8859-5", 18},
    {"iso-8859-6", 19}, {"iso-8859-7", 20}, {"iso-8859-8", 21}, {"iso-8859-9", 22},
    {"shift-jis", kShiftJis}, {"shift_jis", kShiftJis}, {"x-sjis", kShiftJis}, {"cp932", kShiftJis},
    {"iso-2022-jp", kIso2022Jp},
    {"big5", kBig5}, {"hz-gb-2312", kHzGb2312}, {"gb2312", kGb2312}, {"gb18030", kGb18030}, {"gbk", kGbk},
    {"iso-2022-kr", kIso2022Kr}, {"iso-2022-cn", kIso2022Cn}, {"ks_c_5601-1987", kKsC5601},
    {"euc-kr", kEucKr}, {"euc-jp", kEucJp}, {"euc-cn", kEucCn}, {"euc-tw", kEucTw},
    {"windows-1250", kWindows1250}, {"windows-1251", kWindows1251}, {"windows-1252", kWindows1252},
    {"windows-1253", 53}, {"windows-1254", 54}, {"windows-1255", 55}, {"windows-1256", 56},
    {"windows-1257", 57}, {"windows-1258", 58}, {"windows-874", kWindows874},
    {"koi8-u", kKoi8U}, {"koi8-r", kKoi8R},
    {"utf-7", kUtf7}, {"utf-8", kUtf8},
};

}  // namespace

bool HasJisEscape(std::string_view text) {
  for (std::size_t i = text.find('\x1B'); i != std::string_view::npos; i = text.find('\x1B', i + 1)) {
    if (i + 1 < text.size() && (text[i + 1] == '$' || text[i + 1] == '(')) return true;
  }
  return false;
}

bool LooksLikeSjis(std::string_view text) {
  bool sawPair = false;
  std::size_t i = 0;
  while (i < text.size()) {
    auto c = static_cast<unsigned char>(text[i]);
    if (!IsLeadByte(c, kShiftJis)) {
      ++i;
      continue;
    }
    if (i + 1 >= text.size()) break;  // a lead byte at the very end is ignored
    if (!IsSjisTrailByte(static_cast<unsigned char>(text[i + 1]))) return false;
    sawPair = true;
    i += 2;
  }
  return sawPair;
}

CharsetCode CharsetFromContentType(std::optional<std::string_view> text) {
  if (!text) return kUndetermined;
  constexpr std::string_view kParameter = "charset=";
  std::vector<std::size_t> values;
  for (std::size_t at = FindLower(*text, kParameter); at != std::string_view::npos;
       at = FindLower(*text, kParameter, at + 1)) {
    values.push_back(at + kParameter.size());
  }
  for (const LabelSearch& entry : kContentTypeOrder) {
    for (std::size_t value : values) {
      if (StartsWithLower(text->substr(value), entry.label)) return entry.code;
    }
  }
  if (HasJisEscape(*text)) return kIso2022Jp;
  if (LooksLikeSjis(*text)) return kShiftJis;
  return kNone;
}

CharsetCode CharsetFromLabel(std::optional<std::string_view> text) {
  if (!text) return kUndetermined;
  for (const LabelSearch& entry : kBareLabelOrder) {
    if (FindLower(*text, entry.label) != std::string_view::npos) return entry.code;
  }
  return kUndetermined;
}

CharsetCode GuessJapaneseCharset(std::optional<std::string_view> text) {
  if (!text) return kUndetermined;
  if (HasJisEscape(*text)) return kIso2022Jp;
  if (LooksLikeSjis(*text)) return kShiftJis;
  return kUndetermined;
}

}  // namespace velnora
