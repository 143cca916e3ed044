#include "transport/smtp/smtp_command.h"

#include "report/time_stamps.h"
#include "transport/account_session.h"
#include "transport/smtp/smtp_reply.h"

namespace velnora {
namespace {

// Capacity handed to recv_com per read; it stops a block well before this.
constexpr std::size_t kReplyBlockCapacity = 16384;

}  // namespace

void LogSentSmtpLine(TransportEnv& env, std::string_view line) {
  if (!env.common.sessionLog) return;
  std::string text(SentPrefix(kTagSmtp));
  text += FormatClockTime();
  text += "[->]";
  text += line;
  env.log.WriteSessionLog(text);
}

long SmtpSend(TransportEnv& env, MailSession& session, const AccountSettings& account,
              std::string_view command, std::string_view logAs) {
  if (logAs.empty()) return SendCommandLine(env, session, command, kTagSmtp, &account);
  if (IsSingleCommandLine(command)) LogSentSmtpLine(env, logAs);
  return SendCommandLine(env, session, command, kTagNone, &account);
}

long SmtpReadReply(TransportEnv& env, MailSession& session, const AccountSettings& account,
                   std::string& reply) {
  reply.clear();
  SmtpReplyScanner scanner;
  std::string block;
  while (true) {
    if (recv_com(env, session, block, kReplyBlockCapacity, kTagSmtp, &account) < 0) return -1;
    reply += block;
    if (scanner.Feed(block)) return static_cast<long>(reply.size());
    if (reply.size() > kMaxSmtpReplyBytes) {
      SessionLog(env, "****: SMTP reply without a final line, given up\r\n");
      return -1;
    }
  }
}

long SmtpExchange(TransportEnv& env, MailSession& session, const AccountSettings& account,
                  std::string_view command, std::string& reply, std::string_view logAs) {
  if (SmtpSend(env, session, account, command, logAs) < 0) return -1;
  return SmtpReadReply(env, session, account, reply);
}

}  // namespace velnora
