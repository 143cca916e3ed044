// Recognising the end of an SMTP reply and what it says, without any I/O,
// so that a reply split across reads at any byte is judged exactly like one
// read whole.
//
//   Reply-line = *( Reply-code "-" [ textstring ] CRLF )
//                Reply-code [ SP textstring ] CRLF          (RFC 5321 4.2)
//
// Lines are split at CR and at LF. A line is final when its first three
// characters are digits and its fourth is a blank; "250" alone is not final,
// so a server that omits the blank is read until the time-out.
//
// All lines of one reply carry one code. A reply whose lines disagree
// ("250-..." then "451 ..."), that has a line without a code, or that goes
// on after its final line is out of step with us: it counts as no answer
// (code 0), so the caller treats it as a failure and tries again later
// instead of taking the first or the last line at its word.
#pragma once

#include <string_view>

namespace velnora {

class SmtpReplyScanner {
 public:
  // Feeds the next bytes of a reply; true once a final line has been seen.
  bool Feed(std::string_view bytes);
  bool complete() const { return complete_; }
  // The reply code (100..599) of a complete reply whose lines agree, else 0.
  int code() const { return complete_ && consistent_ ? finalCode_ : 0; }
  void Reset() { *this = SmtpReplyScanner(); }

 private:
  void EndLine();
  void Agree(int lineCode);

  int column_ = 0;      // characters of the current line seen, counted up to 4
  bool digits_ = true;  // the first characters of the current line are digits
  int lineCode_ = 0;    // the number of those digits
  int replyCode_ = -1;  // the code of the first line, -1 before it
  int finalCode_ = 0;
  bool consistent_ = true;
  bool complete_ = false;
  bool pastFinal_ = false;  // the final line has ended
};

// True while `reply` holds no final line and more must be read.
bool ReplyIncomplete(std::string_view reply);

// The code of a whole reply, as SmtpReplyScanner::code() (0: no agreed code).
int SmtpReplyCode(std::string_view reply);

// A positive completion of a command or the greeting: "250", "220", and
// "251" (a recipient accepted for forwarding, RFC 5321 3.4), which would
// otherwise be taken for a refusal and the message sent again forever.
bool isSMTPReplyOK(std::string_view reply);

}  // namespace velnora
