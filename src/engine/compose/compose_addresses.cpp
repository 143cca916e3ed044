#include "engine/compose/compose_addresses.h"

#include <vector>

#include "engine/message/byte_strings.h"
#include "engine/compose/compose_header_text.h"

namespace velnora {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool IsSeparator(char c) { return c == ',' || c == ';'; }

// A segment that names an address in angle brackets keeps only that address
// and its separator; quoted text (a display name) never counts.
std::string BareAddress(std::string_view segment) {
  std::string out;
  bool quoted = false;
  bool angle = false;
  for (char c : segment) {
    if (c == '"') quoted = !quoted;
    else if (quoted) continue;
    else if (c == '<') angle = true;
    else if (c == '>') angle = false;
    else if (angle || IsSeparator(c)) out.push_back(c);
  }
  return out;
}

std::string ReducedSegment(std::string_view segment) {
  if (segment.find_first_of("<>") != std::string_view::npos) return BareAddress(segment);
  std::string_view separator;
  if (!segment.empty() && IsSeparator(segment.back())) {
    separator = segment.substr(segment.size() - 1);
    segment.remove_suffix(1);
  }
  return std::string(Trim(segment)) + std::string(separator);
}

bool HasContent(std::string_view segment) {
  for (char c : segment) {
    if (!IsBlank(c) && !IsSeparator(c)) return true;
  }
  return false;
}

}  // namespace

std::string ExtractEnvelopeAddress(std::string_view fromLine) {
  std::string_view line = fromLine;
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    else if (line[i] == '<' && !quoted) {
      std::string_view rest = line.substr(i + 1);
      // A folded line leaves its indentation inside the brackets.
      return RemoveCrLf(Trim(rest.substr(0, rest.find('>'))));
    }
  }
  const bool leadingComment = (line.size() > 5 && line[5] == '(') || (line.size() > 6 && line[6] == '(');
  const std::size_t close = line.find(')');
  if (leadingComment && close != std::string_view::npos) {
    std::string_view rest = line.substr(close + 1);
    if (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    return RemoveCrLf(Trim(rest));
  }
  std::string_view value = AfterHeaderName(line);
  if (!value.empty() && value.front() == ' ') value.remove_prefix(1);
  value = value.substr(0, value.find('('));
  return RemoveCrLf(Trim(value));
}

std::string StripAddressInfo(std::string_view line, std::size_t keep) {
  // Decoded and unfolded: the folding is made anew below.
  std::string text = DecodeHeaderValue(RemoveCrLf(line), false).text;
  for (char& c : text) {
    if (c == '\t') c = ' ';
  }
  if (text.empty() || text.back() != ',') text.push_back(',');
  keep = std::min(keep, text.size());
  std::string out = text.substr(0, keep);

  // Separators inside double quotes belong to a display name ("Yamada, Taro").
  std::vector<std::string_view> segments;
  const std::string_view t = text;
  bool quoted = false;
  std::size_t start = keep;
  for (std::size_t i = keep; i < t.size(); ++i) {
    if (t[i] == '"') quoted = !quoted;
    else if (!quoted && IsSeparator(t[i])) {
      segments.push_back(t.substr(start, i + 1 - start));
      start = i + 1;
    }
  }
  if (start < t.size()) segments.push_back(t.substr(start));

  std::size_t running = 0;
  for (std::string_view segment : segments) {
    std::string reduced = ReducedSegment(segment);
    if (!HasContent(reduced)) continue;  // an empty list element names nobody
    if (running >= kAddressFoldColumn) {
      out += "\r\n";
      running = 0;
    }
    out += ' ';
    out += reduced;
    running += reduced.size() + 1;
  }
  if (!out.empty() && out.back() == ',') out.pop_back();
  return out;
}

std::string AddDomainToAddresses(std::string_view line, std::string_view domain,
                                 std::string_view name) {
  std::string value(AfterHeaderName(line));
  value.push_back(',');
  std::vector<std::string_view> items;
  const std::string_view v = value;
  bool quoted = false;
  int depth = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i < v.size() && items.size() < kMaxCompletedAddresses; ++i) {
    const char c = v[i];
    if (c == '"') quoted = !quoted;
    else if (quoted) continue;
    else if (c == '(') ++depth;
    else if (c == ')' && depth > 0) --depth;
    else if (c == ',' && depth == 0) {
      items.push_back(v.substr(start, std::min(i - start, kMaxAddressItem)));
      start = i + 1;
    }
  }

  std::string out(name);
  for (std::string_view item : items) {
    std::string reduced(Trim(StripAddressInfo(item, kKeepValue)));
    if (reduced.empty()) continue;
    out += out.size() == name.size() ? " " : "";
    out += reduced;
    // A group ("undisclosed-recipients:;") is no address to complete.
    const bool group = reduced.find(':') != std::string::npos || reduced.back() == ';';
    if (reduced.find('@') == std::string::npos && !group) {
      out += '@';
      out += domain;
    }
    out += ", ";
  }
  return out;
}

std::string JoinFolds(std::string_view line) {
  std::string out(line);
  for (std::size_t at = out.find("\r\n\r\n"); at != std::string::npos;
       at = out.find("\r\n\r\n", at + 2)) {
    out[at] = ' ';
    out[at + 1] = ' ';
  }
  return out;
}

bool MatchesFromReplaceList(std::string_view fromLine, std::string_view list) {
  if (fromLine.empty()) return false;
  std::size_t taken = 0;
  std::size_t at = 0;
  while (at < list.size() && taken < kMaxReplaceFromAddresses) {
    std::size_t end = list.find(' ', at);
    if (end == std::string_view::npos) end = list.size();
    std::string_view address = list.substr(at, end - at);
    at = end + 1;
    if (address.empty()) continue;
    ++taken;
    if (FindNoCase(fromLine, address) != kNotFound) return true;
  }
  return false;
}

std::string DestinationList(std::string_view forwardTo) {
  std::string out;
  for (std::size_t i = 0; i < forwardTo.size(); ++i) {
    if (forwardTo[i] != ' ') {
      out.push_back(forwardTo[i]);
      continue;
    }
    while (i + 1 < forwardTo.size() && forwardTo[i + 1] == ' ') ++i;
    out += ", ";
  }
  return out;
}

std::string ResentToList(std::string_view forwardTo) {
  std::string out;
  std::size_t at = 0;
  while (at < forwardTo.size()) {
    std::size_t end = forwardTo.find(' ', at);
    if (end == std::string_view::npos) end = forwardTo.size();
    if (end > at) {
      if (!out.empty()) out += ", ";
      out += forwardTo.substr(at, end - at);
    }
    at = end + 1;
  }
  return out;
}

std::string_view FirstDestination(std::string_view forwardTo) {
  return forwardTo.substr(0, forwardTo.find(' '));
}

std::string_view OwnDomain(std::string_view myAddress) {
  const std::size_t at = myAddress.find('@');
  return at == std::string_view::npos ? std::string_view() : myAddress.substr(at + 1);
}

}  // namespace velnora
