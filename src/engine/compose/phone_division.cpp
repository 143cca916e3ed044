#include "engine/compose/phone_division.h"

#include <algorithm>

#include "config/account_settings.h"
#include "engine/compose/compose_header_text.h"
#include "engine/message/byte_strings.h"

namespace velnora {
namespace {

constexpr std::size_t kMaxCountedAddress = 55;
constexpr std::size_t kMaxCountedSubject = 41;

bool EndsWithCrLf(std::string_view text) { return EndsWith(text, "\r\n"); }

// The information lines of the part, then ": " when the body goes into the
// subject, then an empty line; the lines count toward the part size.
std::string BodyStart(const PartSource& source, int part, long& count) {
  std::string out;
  bool any = false;
  for (const std::string& line : source.infoLines(part)) {
    if (line.empty()) continue;
    out += line;
    count += static_cast<long>(line.size());
    any = true;
  }
  if (any && source.account.phoneBodyInSubject) out += ": ";
  if (any) out += "\r\n";
  return out;
}

// Whole lines while they fit; a line that fits no part is never taken.
std::size_t TakeUnits(const PartSource& source, std::size_t at, long count, std::string& out);

std::size_t TakeLines(const PartSource& source, std::size_t at, long count, std::string& out) {
  const std::string& text = source.shaped.text;
  const long size = source.account.phoneSplitBytes;
  const std::size_t start = at;
  while (at < text.size()) {
    std::size_t end = text.find("\r\n", at);
    end = end == std::string::npos ? text.size() : end + 2;
    std::string line = source.outputForm(std::string_view(text).substr(at, end - at));
    if (!EndsWithCrLf(line)) line += "\r\n";
    if (count + static_cast<long>(line.size()) > size) {
      // A line longer than a whole part is divided between characters, so
      // that every part carries text and none of it is lost.
      if (at == start) return TakeUnits(source, at, count, out);
      break;
    }
    out += line;
    count += static_cast<long>(line.size());
    at = end;
  }
  return at;
}

// Characters one by one until the part is full; every part takes at least
// one, a line end (CR LF) is one unit and never split.
std::size_t TakeUnits(const PartSource& source, std::size_t at, long count, std::string& out) {
  const std::string& text = source.shaped.text;
  const long limit = source.account.phoneSplitBytes - kPartEndReserve;
  std::string raw;
  long sinceBreak = 0;
  while (at < text.size()) {
    const bool lineEnd = text.compare(at, 2, "\r\n") == 0;
    const std::size_t length = lineEnd ? 2 : ShapedUnitLength(text, at, source.shaped.code);
    if (!lineEnd && sinceBreak > kPartLineBytes) {
      raw += "\r\n";
      sinceBreak = 0;
    }
    raw.append(text, at, length);
    at += length;
    const long weight = lineEnd && source.account.phoneNoCountLf ? 1 : static_cast<long>(length);
    count += weight;
    sinceBreak = lineEnd ? 0 : sinceBreak + weight;
    if (count > limit) break;
  }
  if (!raw.empty() && !EndsWithCrLf(raw)) raw += "\r\n";
  out += source.outputForm(raw);
  return at;
}

std::string WholeBody(const PartSource& source) {
  long count = 0;
  std::string body = BodyStart(source, 0, count) + source.outputForm(source.shaped.text);
  if (!EndsWithCrLf(body)) body += "\r\n";
  return body;
}

}  // namespace

std::vector<std::string> DividePhoneBody(const PartSource& source) {
  const AccountSettings& account = source.account;
  if (!account.phoneSplit) return {WholeBody(source)};
  const bool anywhere =
      account.phoneSplitAnywhere || account.phoneCompactWords || account.phoneConvertLinefeed;
  const int most = std::max<int>(1, account.phoneSplitMaxMails);
  const std::size_t size = source.shaped.text.size();
  std::vector<std::string> parts;
  std::size_t at = 0;
  for (int part = 0; part < most; ++part) {
    long count = source.countedHeader(part);
    std::string body = BodyStart(source, part, count);
    at = anywhere ? TakeUnits(source, at, count, body) : TakeLines(source, at, count, body);
    const bool last = at >= size || part + 1 == most;
    // Text that is not sent is always marked, whether or not end marks are on.
    if (at < size && last) body += kContinuedMark;
    else if (last && account.phoneEndMarks) body += kEndMark;
    parts.push_back(std::move(body));
    if (last) break;
  }
  return parts;
}

std::size_t CountedAddressLength(std::string_view line) {
  std::string_view value = AfterHeaderName(line);
  const std::size_t open = value.rfind('<');
  if (open != std::string_view::npos) {
    const std::size_t close = value.rfind('>');
    const std::size_t end = close != std::string_view::npos && close > open ? close : value.size();
    return end - open - 1;
  }
  value.remove_prefix(std::min(value.find_first_not_of(' '), value.size()));
  const std::size_t atSign = value.find('@');
  const std::size_t end = value.find_first_of(" (,", atSign == std::string_view::npos ? 0 : atSign);
  return end == std::string_view::npos ? value.size() : end;
}

long CountedHeaderBytes(std::string_view header, const AccountSettings& account) {
  bool from = account.phoneCountFrom != 0;
  bool subject = account.phoneCountSubject != 0;
  bool replyTo = account.phoneCountReplyTo != 0;
  long total = 0;
  // The first line is the envelope sender, not a header line.
  std::size_t at = header.find("\r\n");
  while (at != std::string_view::npos && at + 2 < header.size()) {
    at += 2;
    const std::size_t end = std::min(header.find("\r\n", at), header.size());
    const std::string_view line = header.substr(at, end - at);
    if (from && StartsWithNoCase(line, "from:")) {
      total += static_cast<long>(std::min(CountedAddressLength(line), kMaxCountedAddress)) + 1;
      from = false;
    } else if (replyTo && StartsWithNoCase(line, "reply-to:")) {
      total += static_cast<long>(std::min(CountedAddressLength(line), kMaxCountedAddress)) + 1;
      replyTo = false;
    } else if (subject && StartsWithNoCase(line, "subject:")) {
      std::string_view value = line.substr(8);
      if (!value.empty() && value.front() == ' ') value.remove_prefix(1);
      total += static_cast<long>(std::min(value.size(), kMaxCountedSubject)) + 1;
      subject = false;
    }
    at = end == header.size() ? std::string_view::npos : end;
  }
  return total;
}

}  // namespace velnora
