// One SMTP transaction: RSET, MAIL FROM, RCPT TO, DATA, the text, the end.
#include <string>

#include "platform/clock.h"
#include "platform/codepage.h"
#include "transport/account_session.h"
#include "transport/field_text.h"
#include "transport/smtp/smtp_capture.h"
#include "transport/smtp/smtp_client.h"
#include "transport/smtp/smtp_command.h"
#include "transport/smtp/smtp_data.h"
#include "transport/smtp/smtp_destinations.h"
#include "transport/smtp/smtp_reply.h"
#include "transport/watchdog_progress.h"

namespace velnora {
namespace {

constexpr int64_t kProgressIntervalMs = 200;

// The original sender comes from a received mail: angle brackets, blanks
// and control bytes are dropped so that it cannot close the path early and
// add parameters of its own to our MAIL FROM.
std::string EnvelopeSender(std::string_view address) {
  std::string clean;
  for (char c : address) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte > ' ' && byte != 0x7F && c != '<' && c != '>') clean += c;
  }
  return clean;
}

std::string MailFromCommand(const AccountSettings& account, std::string_view text) {
  std::string_view sender;
  std::string original;
  if (account.mailFromIsSender) {
    original = EnvelopeSender(ControlLineSender(text));
    sender = original.empty() ? std::string_view("unknown_sender") : std::string_view(original);
  } else if (account.useSeparateSmtp) {
    sender = FieldText(account.separateSmtpSender);
  } else {
    sender = FieldText(account.myAddress);
  }
  return "MAIL FROM: <" + std::string(sender) + ">\r\n";
}

class Transaction {
 public:
  Transaction(TransportEnv& env, AccountSettings& account, MailSession& session)
      : env_(env), account_(account), session_(session) {}

  SendResult Run(std::string_view text) {
    Status(" # ");
    env_.flags.lastActivityTick = platform::TickMs();

    if (Exchange("RSET\r\n") < 0) return SendResult::RetryNow;
    if (!Accepted()) return Refused(SmtpStep::Rset);

    if (Exchange(MailFromCommand(account_, text)) < 0) return SendResult::RetryNow;
    if (!Accepted()) return Refused(SmtpStep::MailFrom);
    Status(" ## ");

    const Apportion apportion{account_.apportion != 0, account_.apportionCount,
                              account_.apportionNext};
    const auto destinations = SplitDestinations(FieldText(account_.forwardTo));
    int accepted = 0;
    for (std::size_t i = 0; i < destinations.size(); ++i) {
      if (!DestinationSelected(apportion, i)) continue;
      if (Exchange("RCPT TO: <" + std::string(destinations[i]) + ">\r\n") < 0) return SendResult::RetryNow;
      if (!Accepted()) return Refused(SmtpStep::RcptTo);
      ++accepted;
      Status(" ### ");
    }
    if (accepted == 0) return SendResult::RetryNow;

    if (SmtpExchange(env_, session_, account_, "DATA\r\n", reply_) < 0) return SendResult::RetryNow;
    if (SmtpReplyCode(reply_) != 354) {
      env_.log.AddActivity(reply_, Category::ServerReply, &account_);
      return ClassifyRefusal(SmtpStep::Data, reply_, Policy());
    }
    Status(" #### ");

    if (!WriteText(SkipControlLine(text))) return SendResult::RetryNow;
    if (SmtpReadReply(env_, session_, account_, reply_) < 0) return SendResult::RetryNow;
    CaptureReply(env_.common, reply_);
    if (!isSMTPReplyOK(reply_)) return Refused(SmtpStep::EndOfText);
    Status(" ##### ");
    return SendResult::Sent;
  }

 private:
  long Exchange(std::string_view command) {
    long result = SmtpExchange(env_, session_, account_, command, reply_);
    if (result >= 0) CaptureReply(env_.common, reply_);
    return result;
  }

  bool Accepted() const { return isSMTPReplyOK(reply_); }

  RefusalPolicy Policy() const {
    return {account_.noResendOn550 != 0, account_.noResendException1 != 0};
  }

  SendResult Refused(SmtpStep step) {
    env_.log.AddActivity(SJIS(u8"SMTPエラーが発生しました"), Category::ServerNotice, &account_);
    env_.log.AddActivity(reply_, Category::ServerReply, &account_);
    return ClassifyRefusal(step, reply_, Policy());
  }

  void Status(std::string_view marks) {
    ShowAccountStatus(env_, &account_, SJIS(u8" 送信中") + std::string(marks), StatusIcon::Sending);
  }

  // The text in large writes; header lines and the end line go to the
  // session log, the body does not.
  bool WriteText(std::string_view body) {
    int64_t lastDisplay = platform::TickMs();
    // The text and the reply to it share one deadline; stuffing and line
    // ends at most double the text.
    StartCommandDeadline(session_, 2 * int64_t(body.size()) + kReplyAllowanceBytes);
    WatchdogProgress watchdog(env_.flags.lastActivityTick);
    return WriteDataText(
        body,
        [&](std::string_view piece, std::size_t position) {
          if (SendCommand(env_, session_, piece, kTagNone, &account_) < 0) return false;
          const int64_t now = platform::TickMs();
          watchdog.Moved(int64_t(position));
          if (now - lastDisplay > kProgressIntervalMs) {
            lastDisplay = now;
            ShowAccountStatus(env_, &account_,
                              SJIS(u8" 送信中 ") + std::to_string(position) + " byte ",
                              StatusIcon::Keep);
          }
          return true;
        },
        [&](std::string_view line) { LogSentSmtpLine(env_, line); });
  }

  TransportEnv& env_;
  AccountSettings& account_;
  MailSession& session_;
  std::string reply_;
};

}  // namespace

SendResult SendMessageText(TransportEnv& env, AccountSettings& account, MailSession& session,
                    std::string_view text) {
  return Transaction(env, account, session).Run(text);
}

}  // namespace velnora
