#include "transport/smtp/smtp_refusal.h"

#include "transport/smtp/smtp_reply.h"

namespace velnora {
namespace {

enum class Need { Any, On, Off };

bool Matches(Need need, bool value) {
  return need == Need::Any || (need == Need::On) == value;
}

struct RefusalRule {
  bool dataStepOnly;
  Need noResendOn550;
  Need noResendException1;
  std::string_view replyPrefix;  // empty matches every reply
  SendResult result;
};

// First matching row wins. A refused DATA is always retried; without
// noResendOn550 everything is retried; with it, a permanent (5xx) reply
// drops the message unless it is the refused-From reply the exception keeps.
constexpr RefusalRule kRefusalRules[] = {
    {true, Need::Any, Need::Any, "", SendResult::RetryLater},
    {false, Need::Off, Need::Any, "", SendResult::RetryNow},
    {false, Need::On, Need::On, "550 Error: Invalid From: Address", SendResult::RetryLater},
    {false, Need::On, Need::Any, "5", SendResult::RefusedForGood},
};

}  // namespace

SendResult ClassifyRefusal(SmtpStep step, std::string_view reply, RefusalPolicy policy) {
  // A reply whose lines disagree is no clear refusal: never drop the
  // message for it.
  const bool agreed = SmtpReplyCode(reply) != 0;
  for (const RefusalRule& rule : kRefusalRules) {
    if (rule.result == SendResult::RefusedForGood && !agreed) continue;
    if (rule.dataStepOnly && step != SmtpStep::Data) continue;
    if (!Matches(rule.noResendOn550, policy.noResendOn550)) continue;
    if (!Matches(rule.noResendException1, policy.noResendException1)) continue;
    if (!reply.starts_with(rule.replyPrefix)) continue;
    return rule.result;
  }
  return SendResult::RetryNow;
}

}  // namespace velnora
