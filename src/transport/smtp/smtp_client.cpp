#include "transport/smtp/smtp_client.h"

#include <string>

#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/host.h"
#include "report/time_stamps.h"
#include "transport/account_session.h"
#include "transport/field_text.h"
#include "transport/smtp/smtp_auth.h"
#include "transport/smtp/smtp_command.h"
#include "transport/smtp/smtp_pop_before.h"
#include "transport/smtp/smtp_reply.h"

namespace velnora {
namespace {

constexpr int kDefaultSmtpDelaySec = 5;

void ReportReply(TransportEnv& env, const AccountSettings& account, std::string_view what,
                 std::string_view reply) {
  env.log.AddActivity(what, Category::ServerNotice, &account);
  env.log.AddActivity(reply, Category::ServerReply, &account);
}

// The configured wait before connecting; false when the worker is asked to
// stop meanwhile.
bool ConnectDelay(TransportEnv& env, const AccountSettings& account) {
  const int total = account.smtpDelaySec > 0 ? account.smtpDelaySec : kDefaultSmtpDelaySec;
  return CountSeconds(env, account, total, StatusIcon::Waiting, [](int second, int all) {
    return SJIS(u8"SMTP接続遅延.. ") + std::to_string(second) + "/" + std::to_string(all) +
           SJIS(u8"秒");
  });
}

bool AuthLogin(TransportEnv& env, const AccountSettings& account, MailSession& session,
              std::string_view user, std::string_view password) {
  std::string reply;
  if (SmtpExchange(env, session, account, "AUTH LOGIN\r\n", reply) < 0) return false;
  if (SmtpReplyCode(reply) != 334) {
    ReportReply(env, account, SJIS(u8"SMTP認証(タイプ：LOGIN)でエラーが発生しました"), reply);
    return false;
  }
  const std::string& wrong = SJIS(u8"SMTP認証エラーが発生しました ユーザーIDまたはパスワードが違います");
  if (SmtpExchange(env, session, account, LoginAuthLine(user), reply, kMaskedAuthLine) < 0) return false;
  if (SmtpReplyCode(reply) != 334) {
    ReportReply(env, account, wrong, reply);
    return false;
  }
  if (SmtpExchange(env, session, account, LoginAuthLine(password), reply, kMaskedAuthLine) < 0)
    return false;
  // Only 235 is a completed log-in (RFC 4954); another 334 is a further
  // question, not a success.
  if (SmtpReplyCode(reply) != 235) {
    ReportReply(env, account, wrong, reply);
    return false;
  }
  return true;
}

bool AuthPlain(TransportEnv& env, const AccountSettings& account, MailSession& session,
              std::string_view user, std::string_view password) {
  std::string reply;
  if (SmtpExchange(env, session, account, PlainAuthCommand(user, password), reply,
                   kMaskedPlainCommand) < 0)
    return false;
  if (SmtpReplyCode(reply) != 235) {
    ReportReply(env, account, SJIS(u8"SMTP認証(タイプ：PLAIN)でエラーが発生しました"), reply);
    return false;
  }
  return true;
}

bool AuthCramMd5(TransportEnv& env, const AccountSettings& account, MailSession& session,
                std::string_view user, std::string_view password) {
  std::string reply;
  if (SmtpExchange(env, session, account, "AUTH CRAM-MD5\r\n", reply) < 0) return false;
  if (SmtpReplyCode(reply) != 334) {
    ReportReply(env, account, SJIS(u8"SMTP認証(タイプ：CRAM-MD5)でエラーが発生しました"), reply);
    return false;
  }
  std::string_view challenge = CramMd5Challenge(reply);
  if (challenge.empty()) {
    ReportReply(env, account, "ESMTP AUTH error: no test string returned.", reply);
    return false;
  }
  std::string response = CramMd5Response(SmtpBase64Decode(challenge), user, password);
  if (SmtpExchange(env, session, account, response, reply, kMaskedAuthLine) < 0) return false;
  if (SmtpReplyCode(reply) != 235) {
    ReportReply(env, account,
                SJIS(u8"SMTP認証エラーが発生しました ユーザーIDまたはパスワードが違います"), reply);
    return false;
  }
  return true;
}

}  // namespace

bool OpenSendSession(TransportEnv& env, const AccountSettings& account, MailSession& session) {
  if (account.useSeparateSmtp && account.popBeforeSmtp && !PopBeforeSmtp(env, account)) return false;
  if (!account.noSendDelay && !SessionDelay(env, 1000)) return false;
  LogSessionBanner(env, account, "SMTP");
  if (account.smtpDelayOn && !ConnectDelay(env, account)) return false;
  if (!ConnectSession(env, account, session, SessionKind::Smtp)) return false;

  std::string reply;
  if (SmtpReadReply(env, session, account, reply) < 0) return false;
  if (!isSMTPReplyOK(reply)) {
    ReportReply(env, account, SJIS(u8"SMTPエラーが発生しました"), reply);
    SessionLog(env, "Error:OpenSendSession:isSMTPReplyOK:\n" + reply + "\r\n");
    return false;
  }
  return true;
}

int SmtpGreet(TransportEnv& env, const AccountSettings& account, MailSession& session) {
  const std::string host = platform::LocalHostName();
  std::string reply;
  if (!account.smtpAuth) {
    if (SmtpExchange(env, session, account, "HELO " + host + "\r\n", reply) < 0) return -1;
    if (isSMTPReplyOK(reply)) return 1;
    ReportReply(env, account, SJIS(u8"SMTPエラーが発生しました"), reply);
    return 0;
  }

  if (SmtpExchange(env, session, account, "EHLO " + host + "\r\n", reply) < 0) return -1;
  if (!isSMTPReplyOK(reply)) {
    ReportReply(env, account, SJIS(u8"SMTPエラーが発生しました"), reply);
    return 0;
  }
  std::string_view user = FieldText(account.smtpAuthUser);
  if (user.empty()) user = FieldText(account.popUser);
  std::string_view password = FieldText(account.smtpAuthPassword);
  if (password.empty()) password = FieldText(account.popPassword);

  switch (ChooseAuthMechanism(reply)) {
    case SmtpAuthMechanism::Login: return AuthLogin(env, account, session, user, password) ? 1 : -1;
    case SmtpAuthMechanism::Plain: return AuthPlain(env, account, session, user, password) ? 1 : -1;
    case SmtpAuthMechanism::CramMd5:
      return AuthCramMd5(env, account, session, user, password) ? 1 : -1;
    case SmtpAuthMechanism::None: break;
  }
  ReportReply(env, account,
              SJIS(u8"SMTPサーバーは認証(LOGIN/PLAIN/CRAM-MD5)をサポートしていません"), reply);
  return -1;
}

bool OpenReadySendSession(TransportEnv& env, const AccountSettings& account, MailSession& session,
                          SessionCloser& closer) {
  if (!OpenSendSession(env, account, session)) {
    ReportOpenFailure(env, account, OpenFailure::Send);
    return false;
  }
  const int greet = SmtpGreet(env, account, session);
  if (greet < 0) {
    ReportOpenFailure(env, account, OpenFailure::SendGreeting);
    return false;
  }
  closer.InOrder();  // a refused greeting was answered properly
  return greet == 1;
}

std::string PartFilePath(std::string_view tempFolder, int part) {
  std::string path(tempFolder);
  if (!path.empty() && path.back() != '/') path += '/';
  return path + "$vnrdiv" + std::to_string(part) + ".vnr";
}

}  // namespace velnora
