// The line-wise shaping steps: citations, the original message, the cut at
// words, blank lines.
#include <algorithm>
#include <vector>

#include "config/account_settings.h"
#include "engine/compose/phone_shaping_steps.h"
#include "engine/filter/filter_word_list.h"
#include "engine/message/byte_strings.h"
#include "transport/field_text.h"

namespace velnora {
namespace {

constexpr std::size_t kMaxCitationPrefixes = 20;
constexpr std::size_t kMaxCutWords = 32;
constexpr std::string_view kOriginalMessage = "original message";
constexpr std::string_view kOriginalRemoved = "-ORG_MSG_RMVD-\r\n";
constexpr std::string_view kOriginalMarker = "-ORG_MSG-\r\n";

// The lines of a text that ends with CR LF, each without its line end.
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find("\r\n", at);
    if (end == std::string_view::npos) end = text.size();
    lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

void AddLine(std::string& out, std::string_view line) {
  out += line;
  out += "\r\n";
}

std::size_t LineStart(std::string_view text, std::size_t at) {
  const std::size_t lf = text.rfind('\n', at);
  return lf == std::string_view::npos ? 0 : lf + 1;
}

bool HoldsAny(std::string_view line, const std::vector<std::string>& words) {
  return std::any_of(words.begin(), words.end(),
                     [&](const std::string& w) { return FindNoCase(line, w) != kNotFound; });
}

// Each line that `matches` is replaced by `marker` and dropped with the
// `after` lines that follow it.
template <typename Matches>
std::string DropLinesAfter(std::string_view text, int after, std::string_view marker,
                           Matches matches) {
  std::string out;
  out.reserve(text.size());
  int skip = 0;
  for (std::string_view line : Lines(text)) {
    if (skip > 0) {
      --skip;
    } else if (matches(line)) {
      out += marker;
      skip = after;
    } else {
      AddLine(out, line);
    }
  }
  return out;
}

}  // namespace

std::string RemoveCitations(std::string_view text, const AccountSettings& account) {
  const std::vector<std::string> prefixes =
      SplitList(FieldText(account.phoneCitationPrefixes), kMaxCitationPrefixes);
  if (prefixes.empty()) return std::string(text);
  std::string out;
  out.reserve(text.size());
  bool previousCited = false;
  bool first = true;
  for (std::string_view line : Lines(text)) {
    const bool cited = !first && std::any_of(prefixes.begin(), prefixes.end(), [&](const std::string& p) {
      return StartsWith(line, p);
    });
    first = false;
    const bool keep = !cited || (account.phoneKeepFirstCitation && !previousCited);
    previousCited = cited;
    if (keep) AddLine(out, line);
  }
  return out;
}

std::string CutOriginalMessage(std::string_view text, int linesAfter) {
  if (linesAfter > 0) {
    return DropLinesAfter(text, linesAfter, kOriginalMarker, [](std::string_view line) {
      return FindNoCase(line, kOriginalMessage) != kNotFound;
    });
  }
  const std::size_t at = FindNoCase(text, kOriginalMessage);
  if (at == kNotFound) return std::string(text);
  return std::string(text.substr(0, LineStart(text, at))) + std::string(kOriginalRemoved);
}

std::string CutAtWords(std::string_view text, const AccountSettings& account) {
  const std::vector<std::string> words = SplitList(FieldText(account.phoneCutWord), kMaxCutWords);
  if (words.empty()) return std::string(text);
  const int lines = account.phoneCutWordLines;
  if (lines > 0) {
    return DropLinesAfter(text, lines, "", [&](std::string_view line) { return HoldsAny(line, words); });
  }
  for (const std::string& word : words) {
    const std::size_t at = FindNoCase(text, word);
    if (at == kNotFound) continue;
    if (lines < 0) return std::string(text.substr(at));
    return std::string(text.substr(0, LineStart(text, at)));
  }
  return std::string(text);
}

std::string RemoveBlankLines(std::string_view text, CharsetCode code) {
  std::string out;
  out.reserve(text.size());
  for (std::string_view line : Lines(text)) {
    if (code != charset::kIso2022Jp) line.remove_prefix(std::min(line.find_first_not_of(' '), line.size()));
    if (!line.empty()) AddLine(out, line);
  }
  return out;
}

}  // namespace velnora
