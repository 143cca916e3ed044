// The tag scan of HtmlToText.
#include <cstring>

#include "convert/ascii_case.h"
#include "convert/char_length.h"
#include "convert/html_passes.h"

namespace velnora::html {
namespace {

constexpr bool IsAsciiLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
constexpr bool IsNameChar(unsigned char c) { return IsAsciiLetter(c) || (c >= '0' && c <= '9'); }
constexpr bool IsHtmlSpace(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

bool EqualsLower(std::string_view text, std::string_view lower) {
  if (text.size() != lower.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (LowerAscii(static_cast<unsigned char>(text[i])) != static_cast<unsigned char>(lower[i])) return false;
  }
  return true;
}

bool IsOneOf(std::string_view name, std::initializer_list<std::string_view> lowerNames) {
  for (std::string_view candidate : lowerNames) {
    if (EqualsLower(name, candidate)) return true;
  }
  return false;
}

bool IsHeading(std::string_view name) {
  return name.size() == 2 && LowerAscii(static_cast<unsigned char>(name[0])) == 'h' && name[1] >= '1' && name[1] <= '6';
}

// Characters of the scripts that are written without spaces between words
// (CJK, kana, hangul, full-width forms).
bool IsWideCharacter(std::string_view text, std::size_t pos, std::size_t length, CharsetCode code) {
  if (code != charset::kUtf8) return length >= 2 && IsMultiByteCharset(code);
  if (length < 3) return false;
  auto b = [&](std::size_t k) { return static_cast<char32_t>(static_cast<unsigned char>(text[pos + k])); };
  if (length == 3) return (((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6)) >= 0x2E80;
  return (((b(0) & 0x07) << 18) | ((b(1) & 0x3F) << 12)) >= 0x20000;  // CJK beyond the BMP, not emoji
}

// Position of "</name" (any case) from `from`, or npos: the end of a style
// or script, whose content is not markup.
std::size_t FindClosingTag(std::string_view text, std::string_view lowerName, std::size_t from) {
  while (from < text.size()) {
    const void* hit = std::memchr(text.data() + from, '<', text.size() - from);
    if (hit == nullptr) return std::string_view::npos;
    std::size_t at = static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
    if (at + 1 < text.size() && text[at + 1] == '/' &&
        EqualsLower(text.substr(at + 2, lowerName.size()), lowerName) &&
        !IsNameChar(at + 2 + lowerName.size() < text.size() ? static_cast<unsigned char>(text[at + 2 + lowerName.size()]) : 0)) {
      return at;
    }
    from = at + 1;
  }
  return std::string_view::npos;
}

struct Attribute {
  std::string_view name;
  std::string_view value;
};

// Walks the attributes of a tag (the text between its name and ">").
class AttributeReader {
 public:
  explicit AttributeReader(std::string_view text) : text_(text) {}

  bool Next(Attribute& attribute) {
    while (pos_ < text_.size() && (IsHtmlSpace(At(pos_)) || At(pos_) == '/')) ++pos_;
    if (pos_ >= text_.size()) return false;
    std::size_t start = pos_;
    while (pos_ < text_.size() && !IsHtmlSpace(At(pos_)) && At(pos_) != '=' && At(pos_) != '/') ++pos_;
    if (pos_ == start) ++pos_;  // a stray "=": step over it
    attribute.name = text_.substr(start, pos_ - start);
    attribute.value = {};
    std::size_t after = SkipSpaces(pos_);
    if (after >= text_.size() || At(after) != '=') return true;
    pos_ = SkipSpaces(after + 1);
    if (pos_ < text_.size() && (At(pos_) == '"' || At(pos_) == '\'')) {
      char quote = text_[pos_];
      std::size_t close = text_.find(quote, pos_ + 1);
      if (close == std::string_view::npos) close = text_.size();
      attribute.value = text_.substr(pos_ + 1, close - pos_ - 1);
      pos_ = close + 1;
    } else {
      start = pos_;
      while (pos_ < text_.size() && !IsHtmlSpace(At(pos_))) ++pos_;
      attribute.value = text_.substr(start, pos_ - start);
    }
    return true;
  }

 private:
  unsigned char At(std::size_t i) const { return static_cast<unsigned char>(text_[i]); }
  std::size_t SkipSpaces(std::size_t i) const {
    while (i < text_.size() && IsHtmlSpace(At(i))) ++i;
    return i;
  }
  std::string_view text_;
  std::size_t pos_ = 0;
};

class TagScanner {
 public:
  TagScanner(std::string_view html, CharsetCode code, const HtmlTextOptions& options)
      : in_(html), code_(code), options_(options) {
    out_.reserve(html.size());
  }

  std::string Run() {
    while (i_ < in_.size()) {
      const auto c = static_cast<unsigned char>(in_[i_]);
      if (c == '<' && OpensTag()) {
        Tag();
      } else if (inPre_) {
        PreByte(c);
      } else if (IsHtmlSpace(c)) {
        Whitespace();
      } else if (c < 0x80) {
        PlainRun();
      } else {
        std::size_t length = CharLengthAt(in_, i_, code_);
        out_.append(in_.substr(i_, length));
        lastWide_ = IsWideCharacter(in_, i_, length, code_);
        prevSpace_ = false;
        i_ += length;
      }
    }
    return std::move(out_);
  }

 private:
  // A "<" starts markup only before a letter, "/", "!" or "?"; otherwise it
  // is text ("Price < 100 yen").
  bool OpensTag() const {
    if (i_ + 1 >= in_.size()) return false;
    const auto next = static_cast<unsigned char>(in_[i_ + 1]);
    return IsAsciiLetter(next) || next == '/' || next == '!' || next == '?';
  }

  // ASCII text up to the next markup, white space or other character, in
  // one piece.
  void PlainRun() {
    std::size_t end = i_ + 1;
    while (end < in_.size()) {
      const auto b = static_cast<unsigned char>(in_[end]);
      if (b >= 0x80 || b == '<' || IsHtmlSpace(b)) break;
      ++end;
    }
    out_.append(in_.substr(i_, end - i_));
    lastWide_ = false;
    prevSpace_ = false;
    i_ = end;
  }

  void Write(std::string_view text) {
    out_.append(text);
    lastWide_ = false;
    prevSpace_ = !text.empty() && (text.back() == ' ' || text.back() == '\n');
  }

  void Tag() {
    const std::size_t start = i_ + 1;
    if (in_.substr(start, 3) == "!--") {
      std::size_t close = in_.find("-->", start + 3);
      i_ = close == std::string_view::npos ? in_.size() : close + 3;
      return;
    }
    const bool closing = in_[start] == '/';
    const std::size_t nameStart = start + (closing ? 1 : 0);
    std::size_t nameEnd = nameStart;
    while (nameEnd < in_.size() && IsNameChar(static_cast<unsigned char>(in_[nameEnd]))) ++nameEnd;
    const std::string_view name = in_.substr(nameStart, nameEnd - nameStart);
    const std::size_t gt = in_.find('>', nameEnd);
    if (gt == std::string_view::npos) {  // an unfinished tag swallows the rest
      i_ = in_.size();
      return;
    }
    const std::string_view attributes = in_.substr(nameEnd, gt - nameEnd);
    i_ = gt + 1;
    if (closing) {
      ClosingTag(name);
    } else {
      OpeningTag(name, attributes);
    }
  }

  void ClosingTag(std::string_view name) {
    if (IsOneOf(name, {"div", "pre", "table", "ul", "ol", "dl"}) || IsHeading(name)) {
      Write("\r\n");
    } else if (IsOneOf(name, {"p", "li", "td", "th", "dd", "dt", "blockquote", "title"}) && !prevSpace_) {
      Write(" ");  // the end of a block never joins two words
    }
    if (EqualsLower(name, "pre")) inPre_ = false;
  }

  void OpeningTag(std::string_view name, std::string_view attributes) {
    if (IsOneOf(name, {"br", "p", "li", "ol", "dl", "ul", "dir", "menu", "tr"})) {
      Write("\r\n");
    } else if (IsHeading(name)) {
      Write("\r\n\r\n");
    } else if (EqualsLower(name, "hr")) {
      Write("\r\n---\r\n");
    } else if (IsOneOf(name, {"th", "td"})) {
      if (!prevSpace_) Write(" ");
    } else if (IsOneOf(name, {"style", "script", "noscript"})) {
      // Their content is not text: skip to the closing tag, which the next
      // round reads as an ordinary tag.
      std::string lower(name);
      for (char& ch : lower) ch = static_cast<char>(LowerAscii(static_cast<unsigned char>(ch)));
      std::size_t close = FindClosingTag(in_, lower, i_);
      i_ = close == std::string_view::npos ? in_.size() : close;
    } else if (EqualsLower(name, "pre")) {
      Write("\r\n");
      inPre_ = true;
    } else if (EqualsLower(name, "a") && options_.htmlToText && options_.extractLinks) {
      LinkTexts(attributes);
    } else if (EqualsLower(name, "img") && options_.htmlToText && options_.extractLinks) {
      ImageTexts(attributes);
    }
  }

  void LinkTexts(std::string_view attributes) {
    AttributeReader reader(attributes);
    Attribute a;
    while (reader.Next(a)) {
      if (EqualsLower(a.name, "href") && !a.value.empty() && a.value[0] != '#') {
        Write("\r\n[ ");
        WriteValue(a.value);
        Write(" ]\r\n ");
      } else if (EqualsLower(a.name, "title") && options_.extractTitles) {
        Bracketed(a.value);
      }
    }
  }

  void ImageTexts(std::string_view attributes) {
    AttributeReader reader(attributes);
    Attribute a;
    while (reader.Next(a)) {
      if ((EqualsLower(a.name, "alt") && options_.extractImageAlt) ||
          (EqualsLower(a.name, "title") && options_.extractTitles)) {
        Bracketed(a.value);
      }
    }
  }

  void Bracketed(std::string_view value) {
    if (value.empty()) return;
    Write("( ");
    WriteValue(value);
    Write(" ) ");
  }

  // Attribute values may be folded over lines; their line ends are dropped.
  void WriteValue(std::string_view value) {
    for (char ch : value) {
      if (ch != '\r' && ch != '\n' && ch != '\t') out_.push_back(ch);
    }
  }

  // Inside <pre> every byte is kept; line ends become CR LF.
  void PreByte(unsigned char c) {
    if (c == '\r' || c == '\n') {
      out_.append("\r\n");
      i_ += (c == '\r' && i_ + 1 < in_.size() && in_[i_ + 1] == '\n') ? 2 : 1;
    } else {
      out_.push_back(static_cast<char>(c));
      ++i_;
    }
    prevSpace_ = false;
    lastWide_ = false;
  }

  // A run of white space is one space; a run with a line break between two
  // double-byte characters is nothing, as such text has no word spaces.
  void Whitespace() {
    bool lineBreak = false;
    std::size_t j = i_;
    for (; j < in_.size() && IsHtmlSpace(static_cast<unsigned char>(in_[j])); ++j) {
      if (in_[j] == '\r' || in_[j] == '\n') lineBreak = true;
    }
    const bool joinWide = lineBreak && lastWide_ && j < in_.size() &&
                          IsWideCharacter(in_, j, CharLengthAt(in_, j, code_), code_);
    i_ = j;
    if (joinWide || prevSpace_) return;
    out_.push_back(' ');
    prevSpace_ = true;
    lastWide_ = false;
  }

  std::string_view in_;
  CharsetCode code_;
  const HtmlTextOptions& options_;
  std::string out_;
  std::size_t i_ = 0;
  bool inPre_ = false;
  bool prevSpace_ = false;
  bool lastWide_ = false;
};

}  // namespace

std::string ConvertTags(std::string_view html, CharsetCode code, const HtmlTextOptions& options) {
  return TagScanner(html, code, options).Run();
}

}  // namespace velnora::html
