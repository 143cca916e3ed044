#include "engine/message/header_parse.h"

#include <cstring>
#include <string_view>

#include "engine/message/byte_strings.h"

namespace velnora {
namespace {

// Records where header lines start. A header name is a run of bytes without
// space or colon that starts a line and ends at a colon outside double
// quotes; quotes are not tracked in Subject and X- lines, whose text is free.
class HeaderSplitter {
 public:
  HeaderSplitter(char* text, size_t headerEnd) : text_(text), end_(headerEnd) {}

  std::vector<size_t> Split() {
    for (size_t p = 0; p < end_; ++p) {
      const char c = text_[p];
      if (quoteTracking_ && c == '"') inQuotes_ = !inQuotes_;
      if (c == ':' && !inQuotes_) WalkBackFromColon(p);
    }
    return std::move(starts_);
  }

 private:
  void WalkBackFromColon(size_t colon) {
    for (size_t q = colon;;) {
      if (q == 0) {
        Record(0);  // the first line, outside the line limit
        return;
      }
      const char b = text_[--q];
      if (b == ' ' || b == ':' || b == '\0') return;  // not a header name
      if (b == '\n' || b == '\r') {
        if (starts_.size() >= kMaxHeaderLines) return;  // stays part of the previous line
        const size_t cut = (b == '\n' && q > 0 && text_[q - 1] == '\r') ? q - 1 : q;
        text_[cut] = '\0';
        Record(q + 1);
        return;
      }
    }
  }

  void Record(size_t start) {
    starts_.push_back(start);
    std::string_view line(text_ + start, end_ - start);
    quoteTracking_ = !(StartsWithNoCase(line, "subject:") || StartsWithNoCase(line, "x-"));
  }

  char* text_;
  size_t end_;
  bool quoteTracking_ = true;
  bool inQuotes_ = false;  // deliberately not reset at a new line
  std::vector<size_t> starts_;
};

void ClearHeaderFields(MailMessage& m) {
  for (std::string_view* field :
       {&m.subject, &m.from, &m.cc, &m.to, &m.replyTo, &m.mimeVersion, &m.contentType,
        &m.contentTransferEncoding, &m.contentDisposition, &m.messageId, &m.date, &m.sender,
        &m.inReplyTo, &m.references, &m.xPriority, &m.xMsmailPriority, &m.priority,
        &m.importance, &m.xMailer, &m.readReceiptTo, &m.userAgent}) {
    *field = {};
  }
  m.received.clear();
  m.xHeaders.clear();
}

void IndexLine(MailMessage& m, std::string_view line) {
  struct Named {
    std::string_view name;
    std::string_view MailMessage::*field;
  };
  static constexpr Named kFields[] = {
      {"date:", &MailMessage::date},
      {"subject:", &MailMessage::subject},
      {"from:", &MailMessage::from},
      {"cc:", &MailMessage::cc},
      {"reply-to:", &MailMessage::replyTo},
      {"to:", &MailMessage::to},
      {"sender:", &MailMessage::sender},
      {"mime-version:", &MailMessage::mimeVersion},
      {"content-type:", &MailMessage::contentType},
      {"content-disposition:", &MailMessage::contentDisposition},
      {"content-transfer-encoding:", &MailMessage::contentTransferEncoding},
      {"message-id:", &MailMessage::messageId},
      {"in-reply-to:", &MailMessage::inReplyTo},
      {"references:", &MailMessage::references},
      {"x-msmail-priority:", &MailMessage::xMsmailPriority},
      {"priority:", &MailMessage::priority},
      {"x-priority:", &MailMessage::xPriority},
      {"importance:", &MailMessage::importance},
      {"x-mailer:", &MailMessage::xMailer},
      {"user-agent:", &MailMessage::userAgent},
      {"x-confirm-reading-to:", &MailMessage::readReceiptTo},
      {"disposition-notification-to:", &MailMessage::readReceiptTo},
  };
  if (StartsWithNoCase(line, "received:") && m.received.size() < kMaxReceivedLines) {
    m.received.push_back(line);
  }
  for (const Named& named : kFields) {
    if (StartsWithNoCase(line, named.name)) m.*named.field = line;
  }
  if (StartsWithNoCase(line, "x-") && !StartsWithNoCase(line, "x-mailer:") &&
      m.xHeaders.size() < kMaxXHeaders) {
    m.xHeaders.push_back(line);
  }
}

// "Subject:" followed by more than one space keeps one: the extra spaces
// are removed in place, moving the rest of the line (and its NUL) left.
std::string_view TightenSubjectSpacing(char* line, size_t length) {
  while (length > 9 && line[9] == ' ') {
    std::memmove(line + 9, line + 10, length - 10);
    line[--length] = '\0';
  }
  return std::string_view(line, length);
}

// A header field line: a name of printable ASCII bytes other than the colon,
// then the colon. The first line may also be the POP3 status line that the
// received file begins with, or an mbox "From " line.
bool IsFieldLine(std::string_view line, bool first) {
  if (first && (line.starts_with("+OK") || line.starts_with("From "))) return true;
  size_t n = 0;
  while (n < line.size() && line[n] > ' ' && line[n] < 0x7F && line[n] != ':') ++n;
  return n > 0 && n < line.size() && line[n] == ':';
}

struct HeaderEnd {
  bool hasBody = false;  // a blank line or a line that is no header field
  size_t headerEnd = 0;  // the line end that closes the header part
  size_t bodyStart = 0;
};

// The header runs up to the first blank line, or up to the first line that
// is neither a header field nor its continuation: that line and the rest
// are the body (mail without a header block keeps its text).
HeaderEnd FindHeaderEnd(std::string_view text) {
  HeaderEnd end;
  for (size_t start = 0; start < text.size();) {
    size_t next = text.find('\n', start);
    next = next == std::string_view::npos ? text.size() : next + 1;
    std::string_view line = text.substr(start, next - start);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    const bool first = start == 0;
    const bool continuation = !first && !line.empty() && (line[0] == ' ' || line[0] == '\t');
    if (line.empty() || (!continuation && !IsFieldLine(line, first))) {
      end.hasBody = true;
      // The line end before this line belongs to the last header line.
      end.headerEnd = start;
      if (start >= 1 && text[start - 1] == '\n') --end.headerEnd;
      if (end.headerEnd >= 1 && end.headerEnd + 1 == start && text[end.headerEnd - 1] == '\r') --end.headerEnd;
      end.bodyStart = line.empty() ? next : start;
      return end;
    }
    start = next;
  }
  return end;
}

}  // namespace

void ParseMailContent(MailMessage& message) {
  ClearHeaderFields(message);
  if (!message.text()) return;
  const HeaderEnd end = FindHeaderEnd(std::string_view(message.text(), message.textLength));
  const bool noHeader = end.hasBody && end.bodyStart == 0;
  if (noHeader) {
    // No header at all: one NUL in front of the text is the empty header
    // part, and the whole text is the body.
    if (message.buffer.size() < message.textLength + 2) message.buffer.resize(message.textLength + 2);
    std::memmove(message.buffer.data() + 1, message.buffer.data(), message.textLength + 1);
    message.buffer[0] = '\0';
    ++message.textLength;
  }
  char* text = message.text();
  size_t headerEnd = message.textLength;
  if (end.hasBody) {
    const size_t bodyStart = noHeader ? 1 : end.bodyStart;
    headerEnd = noHeader ? 0 : end.headerEnd;
    text[headerEnd] = '\0';
    message.body = text + bodyStart;
    message.bodyCapacity = message.buffer.size() - bodyStart;
  } else {
    message.body = nullptr;
    message.bodyCapacity = 0;
  }
  message.headerLength = headerEnd;

  for (size_t start : HeaderSplitter(text, headerEnd).Split()) {
    IndexLine(message, std::string_view(text + start, strnlen(text + start, headerEnd - start)));
  }
  if (!message.subject.empty()) {
    char* line = text + (message.subject.data() - text);
    message.subject = TightenSubjectSpacing(line, message.subject.size());
  }
}

}  // namespace velnora
