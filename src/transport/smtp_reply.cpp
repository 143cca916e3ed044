#include "transport/smtp_reply.h"

namespace velnora {

bool SmtpReplyScanner::Feed(std::string_view bytes) {
  for (char c : bytes) {
    if (complete_) return true;
    if (c == '\r' || c == '\n') {
      column_ = 0;
      digits_ = true;
      continue;
    }
    if (column_ >= 4) continue;  // the rest of a line does not matter
    if (column_ < 3) {
      digits_ = digits_ && c >= '0' && c <= '9';
    } else if (digits_ && c == ' ') {
      complete_ = true;
    }
    ++column_;
  }
  return complete_;
}

bool ReplyIncomplete(std::string_view reply) {
  SmtpReplyScanner scanner;
  return !scanner.Feed(reply);
}

bool isSMTPReplyOK(std::string_view reply) {
  return reply.starts_with("250") || reply.starts_with("220") || reply.starts_with("251");
}

}  // namespace velnora
