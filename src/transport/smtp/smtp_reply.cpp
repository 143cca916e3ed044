#include "transport/smtp/smtp_reply.h"

namespace velnora {

void SmtpReplyScanner::Agree(int lineCode) {
  if (replyCode_ < 0) replyCode_ = lineCode;
  if (lineCode != replyCode_) consistent_ = false;
}

void SmtpReplyScanner::EndLine() {
  // An empty line (between CR and LF) carries nothing; any other line
  // before the final one must begin with the reply's code.
  if (column_ > 0 && !complete_) {
    if (column_ < 3 || !digits_) {
      consistent_ = false;
    } else {
      Agree(lineCode_);
    }
  }
  if (complete_) pastFinal_ = true;
  column_ = 0;
  digits_ = true;
  lineCode_ = 0;
}

bool SmtpReplyScanner::Feed(std::string_view bytes) {
  for (char c : bytes) {
    if (c == '\r' || c == '\n') {
      EndLine();
      continue;
    }
    if (complete_) {
      if (pastFinal_) consistent_ = false;  // more text after the final line
      continue;
    }
    if (column_ >= 4) continue;  // the rest of a line does not matter
    if (column_ < 3) {
      const bool digit = c >= '0' && c <= '9';
      digits_ = digits_ && digit;
      if (digit) lineCode_ = lineCode_ * 10 + (c - '0');
    } else if (digits_ && c == ' ') {
      complete_ = true;
      finalCode_ = lineCode_;
      Agree(lineCode_);
    }
    ++column_;
  }
  return complete_;
}

bool ReplyIncomplete(std::string_view reply) {
  SmtpReplyScanner scanner;
  return !scanner.Feed(reply);
}

int SmtpReplyCode(std::string_view reply) {
  SmtpReplyScanner scanner;
  scanner.Feed(reply);
  return scanner.code();
}

bool isSMTPReplyOK(std::string_view reply) {
  const int code = SmtpReplyCode(reply);
  return code == 250 || code == 220 || code == 251;
}

}  // namespace velnora
