// Character references of HtmlToText, decoded one level in one pass
// ("&amp;lt;" is the text "&lt;").
#include <string>
#include <unordered_map>
#include <vector>

#include "convert/html_entities.h"
#include "convert/html_passes.h"
#include "convert/pictographs.h"
#include "convert/text_buffer.h"
#include "platform/codepage_win.h"

namespace velnora::html {
namespace {

constexpr char32_t kUnusable = 0xFFFFFFFF;  // written as "?"
constexpr char32_t kTooLarge = 0x110000;

struct Reference {
  std::size_t length = 0;  // 0: the "&" is plain text
  char32_t codePoint = 0;
  const HtmlEntity* entity = nullptr;
};

constexpr bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
constexpr bool IsNameChar(unsigned char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
constexpr int HexValue(unsigned char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The characters that windows-1252 puts at 0x80..0x9F, which is what
// references to those C1 controls mean in HTML; 0 where it has none.
constexpr char32_t kWindows1252High[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

// The character a numeric reference stands for: any Unicode scalar value
// except the controls other than TAB, LF and CR.
char32_t NumericCharacter(char32_t value) {
  if (value == '\t' || value == '\n' || value == '\r') return value;
  if (value < 0x20 || value == 0x7F || value >= kTooLarge || (value >= 0xD800 && value <= 0xDFFF)) return kUnusable;
  if (value >= 0x80 && value <= 0x9F) return kWindows1252High[value - 0x80] ? kWindows1252High[value - 0x80] : kUnusable;
  return value;
}

// Spaces of every width and the zero-width joiners are one plain space.
constexpr bool IsSpaceReference(char32_t cp) {
  return cp == 0xA0 || cp == 0x2002 || cp == 0x2003 || cp == 0x2009 || cp == 0x200C || cp == 0x200D;
}

Reference ParseNumeric(std::string_view text, std::size_t pos) {
  std::size_t i = pos + 2;
  const bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
  if (hex) ++i;
  const std::size_t digitsStart = i;
  char32_t value = 0;
  for (; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    const int digit = hex ? HexValue(c) : (IsDigit(c) ? c - '0' : -1);
    if (digit < 0) break;
    value = value * (hex ? 16 : 10) + static_cast<char32_t>(digit);
    if (value > kTooLarge) value = kTooLarge;
  }
  if (i == digitsStart) return {};  // "&#" without digits is text ("Q&#A")
  if (i < text.size() && text[i] == ';') ++i;
  return {i - pos, NumericCharacter(value), nullptr};
}

Reference ParseAt(std::string_view text, std::size_t pos) {
  if (pos + 1 < text.size() && text[pos + 1] == '#') return ParseNumeric(text, pos);
  std::size_t i = pos + 1;
  while (i < text.size() && i - pos <= kHtmlEntityNameMax && IsNameChar(static_cast<unsigned char>(text[i]))) ++i;
  if (i >= text.size() || text[i] != ';') return {};
  const HtmlEntity* entity = FindHtmlEntity(text.substr(pos + 1, i - pos - 1));
  if (entity == nullptr) return {};
  return {i + 1 - pos, entity->codePoint, entity};
}

// The Shift_JIS forms of the referenced characters, found in one conversion
// for the whole text: pictographs get their stand-ins, characters without a
// form become "?".
std::unordered_map<char32_t, std::string> ShiftJisForms(std::string_view text) {
  std::unordered_map<char32_t, std::string> forms;
  std::string batch;
  std::vector<char32_t> order;
  for (std::size_t pos = text.find('&'); pos != std::string_view::npos; pos = text.find('&', pos + 1)) {
    Reference r = ParseAt(text, pos);
    if (r.length == 0 || r.entity != nullptr || r.codePoint < 0x80 || r.codePoint == kUnusable ||
        IsSpaceReference(r.codePoint) || forms.count(r.codePoint)) {
      continue;
    }
    forms.emplace(r.codePoint, "?");
    order.push_back(r.codePoint);
    char utf8[4];
    batch.append(utf8, EncodeUtf8(r.codePoint, std::span<char, 4>(utf8)));
    batch.push_back('\n');
  }
  if (order.empty()) return forms;
  ApplyInPlace(batch, [](std::span<char> buffer) { return ReplacePictographs(buffer); });
  // Shift_JIS has nothing beyond U+FFFF, and the converter is slow to say
  // so for each character: those left without a stand-in are "?" at once.
  std::string bmp;
  bmp.reserve(batch.size());
  for (std::size_t i = 0; i < batch.size();) {
    const bool astral = static_cast<unsigned char>(batch[i]) >= 0xF0;
    bmp.append(astral ? std::string_view("?") : std::string_view(batch).substr(i, 1));
    i += astral ? 4 : 1;
  }
  batch = std::move(bmp);
  // Through UTF-16, so that a character without a form is one "?".
  auto wide = platform::MultiByteToWideChar(platform::kCodePageUtf8, batch);
  if (!wide) return forms;
  auto converted = platform::WideCharToMultiByte(platform::kCodePageShiftJis, *wide);
  if (!converted) return forms;
  std::size_t start = 0;
  for (char32_t cp : order) {
    std::size_t end = converted->find('\n', start);
    if (end == std::string::npos) break;
    forms[cp] = converted->substr(start, end - start);
    start = end + 1;
  }
  return forms;
}

class ReferenceWriter {
 public:
  ReferenceWriter(std::string_view text, CharsetCode code) : code_(code) {
    if (code == charset::kShiftJis) sjis_ = ShiftJisForms(text);
  }

  void Write(const Reference& r, std::string& out) {
    if (r.codePoint == kUnusable) {
      out.push_back('?');
    } else if (IsSpaceReference(r.codePoint) || (r.entity != nullptr && r.entity->sjis == " ")) {
      out.push_back(' ');
    } else if (r.codePoint < 0x80) {
      out.push_back(static_cast<char>(r.codePoint));
    } else if (code_ == charset::kUtf8) {
      char utf8[4];
      out.append(utf8, EncodeUtf8(r.codePoint, std::span<char, 4>(utf8)));
    } else if (code_ == charset::kShiftJis) {
      out.append(r.entity != nullptr ? r.entity->sjis : std::string_view(sjis_[r.codePoint]));
    } else if ((code_ == charset::kIso8859First || code_ == charset::kWindows1252) && r.codePoint <= 0xFF) {
      out.push_back(static_cast<char>(r.codePoint));  // Latin-1 holds these as themselves
    } else if (r.entity != nullptr) {
      out.append(r.entity->sjis.size() == 1 ? r.entity->sjis : std::string_view("_"));
    } else {
      out.push_back('?');
    }
  }

 private:
  CharsetCode code_;
  std::unordered_map<char32_t, std::string> sjis_;
};

}  // namespace

std::string ResolveReferences(std::string_view text, CharsetCode code, bool& wroteNonAscii) {
  ReferenceWriter writer(text, code);
  std::string out;
  out.reserve(text.size());
  wroteNonAscii = false;
  std::size_t copied = 0;
  for (std::size_t pos = text.find('&'); pos != std::string_view::npos; pos = text.find('&', pos)) {
    Reference r = ParseAt(text, pos);
    if (r.length == 0) {
      ++pos;
      continue;
    }
    out.append(text.substr(copied, pos - copied));
    const std::size_t before = out.size();
    writer.Write(r, out);
    for (std::size_t k = before; k < out.size(); ++k) {
      if (static_cast<unsigned char>(out[k]) >= 0x80) wroteNonAscii = true;
    }
    pos += r.length;
    copied = pos;
  }
  out.append(text.substr(copied));
  return out;
}

}  // namespace velnora::html
