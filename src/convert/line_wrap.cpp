#include "convert/line_wrap.h"

#include <algorithm>

#include "convert/char_length.h"
#include "convert/charset_detect.h"
#include "convert/jis_convert.h"

namespace velnora {
namespace {

constexpr std::size_t kMaxCitationPrefixes = 20;
constexpr std::size_t kMaxCitationPrefixBytes = 255;
constexpr char kShiftOut = 0x0E;  // ISO-2022-KR: into KS C 5601
constexpr char kShiftIn = 0x0F;   // back to ASCII

// Width, and the longest line left alone in double-byte and in other text.
struct Widths {
  std::size_t width;
  std::size_t doubleByteTolerance;
  std::size_t singleByteTolerance;
};

Widths WidthsOf(const LineBreakOptions& options) {
  if (options.noAutoCrlf) return {2048, 2056, 2064};
  if (options.phoneMode && options.phoneInsertLineBreaks && options.phoneLineBreakBytes > 0) {
    const auto a = static_cast<std::size_t>(options.phoneLineBreakBytes);
    return {a, a + a / 9 + 1, a + a / 5 + 2};
  }
  return {76, 84, 92};
}

// Sets whose text breaks anywhere between characters, not at spaces.
bool BreaksAnywhere(CharsetCode code) {
  return code == charset::kShiftJis || code == charset::kIso2022Jp || code == charset::kBig5 ||
         code == charset::kGb2312 || code == charset::kGb18030 || code == charset::kGbk;
}

std::size_t LongestLine(std::string_view text) {
  std::size_t longest = 0;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t lf = text.find('\n', start);
    std::size_t end = lf == std::string_view::npos ? text.size() : lf;
    longest = std::max(longest, end - start);
    if (lf == std::string_view::npos) break;
    start = lf + 1;
  }
  return longest;
}

class LineBreaker {
 public:
  LineBreaker(std::string_view text, CharsetCode code, Widths widths, std::vector<std::string_view> prefixes)
      : text_(text), code_(code), widths_(widths), prefixes_(std::move(prefixes)) {}

  std::string Run() {
    out_.reserve(text_.size() + text_.size() / widths_.width * 4 + 8);
    prefix_ = CitationPrefixOf(prefixes_, text_);
    const bool anywhere = BreaksAnywhere(code_) || code_ == charset::kIso2022Kr;
    std::size_t i = 0;
    while (i < text_.size()) {
      const char c = text_[i];
      if (c == '\r' || c == '\n') {
        out_.push_back(c);
        count_ = 0;
        ++i;
        if (c == '\n') prefix_ = CitationPrefixOf(prefixes_, text_.substr(i));
        continue;
      }
      if (code_ == charset::kIso2022Kr && (c == kShiftOut || c == kShiftIn)) {
        shifted_ = c == kShiftOut;
        out_.push_back(c);
        ++count_;
        ++i;
        continue;
      }
      const std::size_t length = Length(i);
      const bool due = anywhere ? count_ > widths_.width
                                : count_ > widths_.singleByteTolerance || (count_ > widths_.width && c == ' ');
      if (due) Break();
      out_.append(text_.substr(i, length));
      count_ += length;
      i += length;
    }
    if (out_.empty() || out_.back() != '\n') out_.append("\r\n");
    return std::move(out_);
  }

 private:
  std::size_t Length(std::size_t i) const {
    if (code_ != charset::kIso2022Kr) return CharLengthAt(text_, i, code_);
    // A shifted pair never holds a control, so a line end stays alone.
    return shifted_ && i + 1 < text_.size() && static_cast<unsigned char>(text_[i + 1]) >= 0x21 ? 2 : 1;
  }

  void Break() {
    if (shifted_) out_.push_back(kShiftIn);
    out_.append("\r\n");
    out_.append(prefix_);
    if (shifted_) out_.push_back(kShiftOut);
    count_ = 0;
  }

  std::string_view text_;
  CharsetCode code_;
  Widths widths_;
  std::vector<std::string_view> prefixes_;
  std::string_view prefix_;
  std::string out_;
  std::size_t count_ = 0;
  bool shifted_ = false;
};

}  // namespace

std::vector<std::string_view> CitationPrefixes(const LineBreakOptions& options) {
  std::vector<std::string_view> prefixes;
  if (!options.phoneMode || !options.phoneRemoveCitations) return prefixes;
  std::string_view list = options.phoneCitationPrefixes;
  std::size_t start = 0;
  while (start < list.size() && prefixes.size() < kMaxCitationPrefixes) {
    std::size_t space = list.find(' ', start);
    if (space == std::string_view::npos) space = list.size();
    // An empty entry (two spaces in a row) would match every line.
    if (space > start) prefixes.push_back(list.substr(start, std::min(space - start, kMaxCitationPrefixBytes)));
    start = space + 1;
  }
  return prefixes;
}

std::string_view CitationPrefixOf(std::span<const std::string_view> prefixes, std::string_view line) {
  for (std::string_view prefix : prefixes) {
    if (line.substr(0, prefix.size()) == prefix) return prefix;
  }
  return {};
}

CharsetCode WrapLongLines(std::string_view text, std::string& output, CharsetCode code, const LineBreakOptions& options) {
  if (code == charset::kUtf8 || code == charset::kUtf7) {
    output.assign(text);
    return code;
  }
  if (code == charset::kUndetermined || code == charset::kNone) code = GuessJapaneseCharset(text);
  std::string sjis;
  bool doubleByte = BreaksAnywhere(code);
  if (code == charset::kIso2022Jp) {
    sjis.assign(text.size() + 1, '\0');
    sjis.resize(JisToSjis(text, std::span<char>(sjis)) - 1);
    text = sjis;
    code = charset::kShiftJis;
  }
  const Widths widths = WidthsOf(options);
  if (LongestLine(text) <= (doubleByte ? widths.doubleByteTolerance : widths.singleByteTolerance)) {
    output.assign(text);
    return code;
  }
  output = LineBreaker(text, code, widths, CitationPrefixes(options)).Run();
  return code;
}

}  // namespace velnora
