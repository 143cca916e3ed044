#include "convert/charset_labels.h"

#include <array>

#include "convert/ascii_case.h"

namespace velnora {
namespace {

using namespace charset;

constexpr CharsetLabelRow kEncodedWordLabels[] = {
    {kIso2022Jp, "iso-2022-jp"},
    {kShiftJis, "shift_jis"}, {kShiftJis, "shift-jis"}, {kShiftJis, "x-sjis"}, {kShiftJis, "cp932"},
    {kEucJp, "euc-jp"}, {kEucCn, "euc-cn"}, {kEucTw, "euc-tw"},
    {kBig5, "big5"},
    {kGb2312, "gb2312"}, {kGb2312, "gb18030"},
    {kGbk, "gbk"},
    {kEucKr, "euc-kr"},
    {kIso2022Kr, "iso-2022-kr"},
    {kKsC5601, "ks_c_5601-1987"},
    {kHzGb2312, "hz-gb-2312"},
    {14, "iso-8859-1"}, {15, "iso-8859-2"}, {16, "iso-8859-3"}, {17, "iso-8859-4"},
    {18, "iso-8859-5"}, {19, "iso-8859-6"}, {20, "iso-8859-7"}, {21, "iso-8859-8"},
    {22, "iso-8859-9"}, {23, "iso-8859-10"}, {24, "iso-8859-11"}, {25, "iso-8859-12"},
    {26, "iso-8859-13"}, {27, "iso-8859-14"}, {28, "iso-8859-15"}, {29, "iso-8859-16"},
    {kWindows1250, "windows-1250"}, {kWindows1251, "windows-1251"}, {kWindows1252, "windows-1252"},
    {53, "windows-1253"}, {54, "windows-1254"}, {55, "windows-1255"}, {56, "windows-1256"},
    {57, "windows-1257"}, {58, "windows-1258"}, {kWindows874, "windows-874"},
    {kKoi8U, "koi8-u"}, {kKoi8R, "koi8-r"},
    {kUtf7, "utf-7"}, {kUtf8, "utf-8"}, {kUtf7, "utf7"}, {kUtf8, "utf8"},
    {kUsAscii, "us-ascii"}, {kUsAscii, "x-unknown"}, {kUsAscii, "ansi_x3.4-1968"},
};
static_assert(std::size(kEncodedWordLabels) == 51);

constexpr std::string_view kIso8859Labels[] = {
    "iso-8859-1",  "iso-8859-2",  "iso-8859-3",  "iso-8859-4",  "iso-8859-5",  "iso-8859-6",
    "iso-8859-7",  "iso-8859-8",  "iso-8859-9",  "iso-8859-10", "iso-8859-11", "iso-8859-12",
    "iso-8859-13", "iso-8859-14", "iso-8859-15", "iso-8859-16"};

constexpr std::string_view kWindowsLabels[] = {"windows-1253", "windows-1254", "windows-1255",
                                               "windows-1256", "windows-1257", "windows-1258"};

}  // namespace

std::span<const CharsetLabelRow> EncodedWordLabels() { return kEncodedWordLabels; }

int MatchEncodedWordLabel(std::string_view text) {
  for (std::size_t row = 0; row < std::size(kEncodedWordLabels); ++row) {
    std::string_view label = kEncodedWordLabels[row].label;
    if (text.size() > label.size() && text[label.size()] == '?' && StartsWithLower(text, label)) {
      return static_cast<int>(row);
    }
  }
  return -1;
}

std::string_view CharsetLabelOf(CharsetCode code) {
  if (code >= kIso8859First && code <= kIso8859Last) return kIso8859Labels[code - kIso8859First];
  if (code >= kWindows1253 && code < kWindows1253 + 6) return kWindowsLabels[code - kWindows1253];
  switch (code) {
    case kShiftJis: return "shift_jis";
    case kIso2022Jp: return "iso-2022-jp";
    case kBig5: return "big5";
    case kGb2312: return "gb2312";
    case kHzGb2312: return "hz-gb-2312";
    case kIso2022Kr: return "iso-2022-kr";
    case kWindows1252: return "windows-1252";
    case kKsC5601: return "ks_c_5601-1987";
    case kEucKr: return "euc-kr";
    case kUtf7: return "utf-7";
    case kUtf8: return "utf-8";
    case kEucJp: return "euc-jp";
    case kEucCn: return "euc-cn";
    case kEucTw: return "euc-tw";
    case kGb18030: return "gb18030";
    case kGbk: return "gbk";
    case kKoi8R: return "koi8-r";
    case kKoi8U: return "koi8-u";
    case kIso2022Cn: return "iso-2022-cn";
    case kWindows1250: return "windows-1250";
    case kWindows1251: return "windows-1251";
    case kWindows874: return "windows-874";
    case kUsAscii: return "us-ascii";
    default: return {};
  }
}

}  // namespace velnora
