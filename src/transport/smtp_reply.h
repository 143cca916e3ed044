// Recognising the end of an SMTP reply without any I/O, so that a reply
// split across reads at any byte is judged exactly like one read whole.
//
//   Reply-line = *( Reply-code "-" [ textstring ] CRLF )
//                Reply-code [ SP textstring ] CRLF          (RFC 5321 4.2)
//
// Lines are split at CR and at LF. A line is final when its first three
// characters are digits and its fourth is a blank; "250" alone is not final,
// so a server that omits the blank is read until the time-out.
#pragma once

#include <string_view>

namespace velnora {

class SmtpReplyScanner {
 public:
  // Feeds the next bytes of a reply; true once a final line has been seen.
  bool Feed(std::string_view bytes);
  bool complete() const { return complete_; }
  void Reset() { *this = SmtpReplyScanner(); }

 private:
  int column_ = 0;      // characters of the current line seen, counted up to 4
  bool digits_ = true;  // the first characters of the current line are digits
  bool complete_ = false;
};

// True while `reply` holds no final line and more must be read.
bool ReplyIncomplete(std::string_view reply);

// A positive completion of a command or the greeting: "250", "220", and
// "251" (a recipient accepted for forwarding, RFC 5321 3.4), which would
// otherwise be taken for a refusal and the message sent again forever.
bool isSMTPReplyOK(std::string_view reply);

inline bool ReplyStartsWith(std::string_view reply, std::string_view prefix) {
  return reply.starts_with(prefix);
}

}  // namespace velnora
