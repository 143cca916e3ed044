#include <algorithm>
#include <new>
#include <string>

#include "convert/base64.h"
#include "convert/charset_detect.h"
#include "convert/charset_labels.h"
#include "convert/header_clean.h"
#include "convert/header_text.h"
#include "convert/jis_convert.h"
#include "convert/quoted_printable.h"
#include "convert/text_buffer.h"
#include "convert/unicode_local.h"

namespace velnora {
namespace {

CharsetCode UnicodeToLocal(std::string& text, CharsetCode code) {
  text.resize(UpToNul(text).size());
  std::span<char> buffer(text.data(), text.size() + 1);
  CharsetCode result = ConvertUnicodeToLocal(buffer, code);
  text.resize(TextLength(buffer));
  return result;
}

void DecodeWordText(std::string& word, bool base64) {
  if (base64) {
    while (word.size() % 4 != 0) word.push_back('=');
    ApplyInPlace(word, [](std::span<char> t) { return Base64DecodeText(t); });
  } else {
    for (char& c : word) {
      if (c == '_') c = ' ';
    }
    ApplyInPlace(word, [](std::span<char> t) { return QuotedPrintableDecodeText(t); });
  }
}

bool IsUnicode(CharsetCode code) { return code == charset::kUtf8 || code == charset::kUtf7; }

// Rows, not codes, decide whether the value is single-charset: "shift_jis"
// and "x-sjis" in one value make it mixed.
struct LabelScan {
  int firstRow = -1;  // -1: the value holds no encoded-word
  bool mixed = false;
};

LabelScan ScanLabels(std::string_view v) {
  LabelScan scan;
  for (std::size_t at = v.find("=?"); at != std::string_view::npos; at = v.find("=?", at + 1)) {
    const int row = MatchEncodedWordLabel(v.substr(at + 2));
    if (row < 0) continue;
    if (scan.firstRow < 0) scan.firstRow = row;
    else if (row != scan.firstRow) scan.mixed = true;
  }
  return scan;
}

// The decoded text of the encoded-word that starts at `at` with the label
// of `row`; `at` moves past its "?=" (to the end when it has none).
std::string TakeWord(std::string_view v, std::size_t& at, const CharsetLabelRow& row, bool& base64) {
  const std::size_t kindAt = at + 2 + row.label.size() + 1;
  base64 = kindAt < v.size() && (v[kindAt] == 'B' || v[kindAt] == 'b');
  const std::size_t textAt = std::min(kindAt + 2, v.size());
  const std::size_t close = v.find("?=", textAt);
  const std::size_t textEnd = close == std::string_view::npos ? v.size() : close;
  std::string word(v.substr(textAt, std::min(textEnd - textAt, kMaxEncodedWordText)));
  at = close == std::string_view::npos ? v.size() : close + 2;
  DecodeWordText(word, base64);
  return word;
}

// The code one decoded word counts as; in a mixed value it is converted to
// the local code page at once, since the whole cannot be converted later.
CharsetCode CountWord(std::string& word, CharsetCode code, bool base64, bool mixed,
                      bool convertUnicode) {
  if (code == charset::kIso2022Jp) {
    if (base64) return charset::kShiftJis;
    if (!mixed) return code;
    word = JisToSjisUnfolded(word);
    return charset::kShiftJis;
  }
  if (IsUnicode(code) && convertUnicode && mixed) return UnicodeToLocal(word, code);
  return code;
}

// Decodes the encoded-words of `value` (cleaned in place first) into `out`.
CharsetCode DecodeWords(std::string& value, std::string& out, bool convertUnicode) {
  ApplyInPlace(value, RemoveLineBreaks);
  ApplyInPlace(value, TabsToSpaces);
  ApplyInPlace(value, CollapseSpaces);
  ApplyInPlace(value, JoinAdjacentWords);
  const std::string_view v = value;
  const auto rows = EncodedWordLabels();

  const LabelScan scan = ScanLabels(v);
  if (scan.firstRow < 0) {
    out = HasJisEscape(v) ? JisToSjisUnfolded(v) : std::string(v);
    return charset::kNone;
  }

  out.clear();
  CharsetCode lastCode = charset::kNone;
  CharsetCode smallest = charset::kNone;
  std::size_t i = 0;
  while (i < v.size()) {
    int row = -1;
    if (v[i] == '=' && i + 2 < v.size() && v[i + 1] == '?' && v[i + 2] != '=') {
      row = MatchEncodedWordLabel(v.substr(i + 2));
    }
    if (row < 0) {
      out.push_back(v[i++]);
      continue;
    }
    bool base64 = false;
    std::string word = TakeWord(v, i, rows[row], base64);
    const CharsetCode counted = CountWord(word, rows[row].code, base64, scan.mixed, convertUnicode);
    out += word;
    lastCode = counted;
    smallest = std::min(smallest, counted);
  }

  if (scan.mixed) return smallest;
  if (lastCode == charset::kIso2022Jp) {
    out = JisToSjisUnfolded(out);
    return charset::kShiftJis;
  }
  if (IsUnicode(lastCode) && convertUnicode) return UnicodeToLocal(out, lastCode);
  return lastCode;
}

// Copies a decoded result, cut to the destination without splitting a
// character.
void CopyResult(std::string_view text, CharsetCode code, std::span<char> dest) {
  if (dest.empty()) return;
  CopyText(text.substr(0, CharacterBoundary(text, dest.size() - 1, code)), dest);
}

}  // namespace

CharsetCode DecodeHeaderText(std::string_view value, std::span<char> dest, bool convertUnicode) {
  value = UpToNul(value);
  try {
    std::string scratch(value);
    std::string out;
    CharsetCode code = DecodeWords(scratch, out, convertUnicode);
    if (code != charset::kNone) {
      if (HasJisEscape(out)) out = JisToSjisUnfolded(out);
      CopyResult(out, code, dest);
      return code;
    }
    if (HasJisEscape(value)) {
      CopyResult(JisToSjisUnfolded(value), charset::kShiftJis, dest);
      return charset::kShiftJis;
    }
    CopyText(value, dest);
    CollapseSpaces(dest);
    return charset::kUsAscii;
  } catch (const std::bad_alloc&) {
    CopyText(value, dest);
    return charset::kUsAscii;
  }
}

}  // namespace velnora
