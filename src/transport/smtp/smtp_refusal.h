// What a refused SMTP transaction means for the message: try again at the
// next check, or never again. The whole policy is one table in one function
// so that temporary versus permanent is decided in one place.
#pragma once

#include <string_view>

namespace velnora {

// Results of one SMTP transaction (and of sending all parts of a message).
inline constexpr int kSmtpSent = 1;
inline constexpr int kSmtpFailed = -1;          // send again at the next check
inline constexpr int kSmtpSendLater = -2;       // send again at the next check
inline constexpr int kSmtpRefusedForGood = -10; // never send again

// The command whose reply refused the transaction.
enum class SmtpStep { Rset, MailFrom, RcptTo, Data, EndOfText };

struct RefusalPolicy {
  bool noResendOn550 = false;       // permanent replies drop the message
  bool noResendException1 = false;  // ... except a refused From address
};

// -1, -2 or -10 for a refusal `reply` at `step`.
int ClassifyRefusal(SmtpStep step, std::string_view reply, RefusalPolicy policy);

}  // namespace velnora
