// What a refused SMTP transaction means for the message: try again at the
// next check, or never again. The whole policy is one table in one function
// so that temporary versus permanent is decided in one place.
#pragma once

#include <string_view>

namespace velnora {

// What became of a message handed to the SMTP client: of one transaction,
// of all parts of a message, and of the forwarding of one message. Only
// Sent and RefusedForGood give the message an outcome; with the other two
// it stays new and is fetched and sent again at the next check.
enum class SendResult {
  Sent = 1,             // every part has its 250 (or a filter stopped the message)
  RetryNow = -1,        // not sent: connection, time-out, a temporary refusal
  RetryLater = -2,      // refused for now by a rule that always retries (DATA, refused From)
  RefusedForGood = -10, // refused permanently: recorded, never sent again
};

// The command whose reply refused the transaction.
enum class SmtpStep { Rset, MailFrom, RcptTo, Data, EndOfText };

struct RefusalPolicy {
  bool noResendOn550 = false;       // permanent replies drop the message
  bool noResendException1 = false;  // ... except a refused From address
};

// What a refusal `reply` at `step` means: never Sent.
SendResult ClassifyRefusal(SmtpStep step, std::string_view reply, RefusalPolicy policy);

}  // namespace velnora
