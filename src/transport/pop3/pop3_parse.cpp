#include "transport/pop3/pop3_parse.h"

#include <charconv>

namespace velnora {
namespace {

constexpr char kTerminator[] = "\r\n.\r\n";
constexpr std::size_t kApopStampLimit = 255;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

bool StartsWithOk(std::string_view reply) {
  if (reply.size() < 3) return false;
  return reply[0] == '+' && (reply[1] == 'o' || reply[1] == 'O') &&
         (reply[2] == 'k' || reply[2] == 'K');
}

std::string_view StripLeadingLineEnds(std::string_view reply) {
  std::size_t skip = 0;
  while (skip < 2 && skip < reply.size() && (reply[skip] == '\r' || reply[skip] == '\n')) ++skip;
  return reply.substr(skip);
}

void ReplyEndTracker::Feed(std::string_view bytes) {
  for (char c : bytes) lastTwo_ = uint16_t((lastTwo_ << 8) | uint8_t(c));
}

std::size_t RetrTerminator::Feed(std::string_view chunk) {
  previousMatched_ = matched_;
  std::size_t used = 0;
  for (char c : chunk) {
    if (complete()) break;
    ++used;
    if (!statusSeen_) {
      if (c == '\n') {
        statusSeen_ = true;
        refused_ = !StartsWithOk(status_);
      } else if (status_.size() < 3) {
        status_ += c;
      }
    }
    if (c == kTerminator[matched_]) {
      ++matched_;
    } else {
      matched_ = (c == '\r') ? 1 : 0;
    }
  }
  return used;
}

int RetrTerminator::state() const {
  // matched bytes of "\r\n.\r\n" -> the state number of the session log
  switch (previousMatched_) {
    case 4: return 1;
    case 3: return 2;
    case 2: return 3;
    default: return 0;
  }
}

const char* RetrTerminator::StateName() const {
  static const char* const kNames[] = {"RNDRN(0)", "rndrN(1)", "rndRN(2)", "rnDRN(3)"};
  return kNames[state()];
}

std::size_t Pop3MultiLineEnd(std::string_view bytes) {
  RetrTerminator terminator;
  const std::size_t used = terminator.Feed(bytes);
  return terminator.complete() ? used : std::string_view::npos;
}

bool UidlListingParser::Feed(std::string_view block) {
  for (char c : block) {
    if (finished_) return true;
    if (c == '\r' || c == '\n') {
      // CR LF is one line end; a lone CR or LF ends a line too.
      if (!(c == '\n' && previous_ == '\r')) EndLine();
    } else {
      lineOpen_ = true;
      if (line_.size() < lineLimit_) line_ += c;
    }
    previous_ = c;
  }
  return finished_;
}

void UidlListingParser::EndLine() {
  std::string line;
  line.swap(line_);
  const bool hadLine = lineOpen_;
  lineOpen_ = false;
  if (!statusSkipped_) {
    statusSkipped_ = true;
    return;
  }
  if (!hadLine) return;  // an empty line carries nothing
  if (line == ".") {
    finished_ = true;
    return;
  }
  std::string_view rest(line);
  while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
  const std::size_t numberEnd = std::min(rest.find_first_of(" \t"), rest.size());
  const auto number = ParseDecimal(rest.substr(0, numberEnd), 1, 2147483647L);
  rest.remove_prefix(numberEnd);
  while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
  const std::size_t uidlEnd = std::min(rest.find_first_of(" \t"), rest.size());
  const std::string_view uidl = rest.substr(0, std::min(uidlEnd, kUidlLimit));
  if (number && !uidl.empty()) sink_(*number, uidl);
}

std::optional<long> ParseDecimal(std::string_view word, long minimum, long maximum) {
  while (!word.empty() && IsBlank(word.front())) word.remove_prefix(1);
  if (word.empty()) return std::nullopt;
  long value = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (error != std::errc() || end != word.data() + word.size()) return std::nullopt;
  if (value < minimum || value > maximum) return std::nullopt;
  return value;
}

std::optional<long> ParseStatCount(std::string_view reply) {
  const std::size_t lineEnd = std::min(reply.find_first_of("\r\n"), reply.size());
  std::string_view line = reply.substr(0, lineEnd);
  const std::size_t firstEnd = line.find(' ');
  if (firstEnd == std::string_view::npos) return std::nullopt;
  line.remove_prefix(firstEnd);
  while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
  return ParseDecimal(line.substr(0, std::min(line.find(' '), line.size())), 0, 2147483647L);
}

std::optional<long> ParseListSize(std::string_view reply) {
  std::string_view line = reply.substr(0, std::min(reply.find_first_of("\r\n"), reply.size()));
  for (int word = 0; word < 2; ++word) {  // past "+OK" and the message number
    const std::size_t end = line.find(' ');
    if (end == std::string_view::npos) return std::nullopt;
    line.remove_prefix(end);
    while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
  }
  return ParseDecimal(line.substr(0, std::min(line.find(' '), line.size())), 0, 2147483647L);
}

std::string ApopTimestamp(std::string_view greeting) {
  const std::size_t open = greeting.find('<');
  if (open == std::string_view::npos) return {};
  const std::size_t close = greeting.find('>');
  if (close != std::string_view::npos && close < open) return {};
  const std::size_t end = close == std::string_view::npos ? greeting.size() : close + 1;
  return std::string(greeting.substr(open, std::min(end - open, kApopStampLimit)));
}

}  // namespace velnora
