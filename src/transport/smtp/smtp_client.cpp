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
#include "transport/smtp/smtp_starttls.h"

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

// Sends `command` and expects the reply `code`; another reply is reported
// with `failure`. False also on a transfer failure.
bool Expect(TransportEnv& env, const AccountSettings& account, MailSession& session,
            std::string_view command, int code, std::string_view failure, std::string& reply,
            std::string_view logAs = {}) {
  if (SmtpExchange(env, session, account, command, reply, logAs) < 0) return false;
  if (SmtpReplyCode(reply) == code) return true;
  ReportReply(env, account, failure, reply);
  return false;
}

const std::string& WrongCredentials() {
  return SJIS(u8"SMTP認証エラーが発生しました ユーザーIDまたはパスワードが違います");
}

// Only 235 completes a log-in (RFC 4954); another 334 is a further question.
bool AuthLogin(TransportEnv& env, const AccountSettings& account, MailSession& session,
               std::string_view user, std::string_view password) {
  std::string reply;
  return Expect(env, account, session, "AUTH LOGIN\r\n", 334,
                SJIS(u8"SMTP認証(タイプ：LOGIN)でエラーが発生しました"), reply) &&
         Expect(env, account, session, LoginAuthLine(user), 334, WrongCredentials(), reply,
                kMaskedAuthLine) &&
         Expect(env, account, session, LoginAuthLine(password), 235, WrongCredentials(), reply,
                kMaskedAuthLine);
}

bool AuthPlain(TransportEnv& env, const AccountSettings& account, MailSession& session,
               std::string_view user, std::string_view password) {
  std::string reply;
  return Expect(env, account, session, PlainAuthCommand(user, password), 235,
                SJIS(u8"SMTP認証(タイプ：PLAIN)でエラーが発生しました"), reply, kMaskedPlainCommand);
}

bool AuthCramMd5(TransportEnv& env, const AccountSettings& account, MailSession& session,
                 std::string_view user, std::string_view password) {
  std::string reply;
  if (!Expect(env, account, session, "AUTH CRAM-MD5\r\n", 334,
              SJIS(u8"SMTP認証(タイプ：CRAM-MD5)でエラーが発生しました"), reply)) {
    return false;
  }
  std::string_view challenge = CramMd5Challenge(reply);
  if (challenge.empty()) {
    ReportReply(env, account, "ESMTP AUTH error: no test string returned.", reply);
    return false;
  }
  const std::string response = CramMd5Response(SmtpBase64Decode(challenge), user, password);
  return Expect(env, account, session, response, 235, WrongCredentials(), reply, kMaskedAuthLine);
}

}  // namespace

bool OpenSendSession(TransportEnv& env, const AccountSettings& account, MailSession& session) {
  if (account.smtpSsl && account.smtpStartTls) {
    ReportTlsSettingsConflict(env, account, "SMTP");
    return false;
  }
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
  return !account.smtpStartTls || StartSmtpTls(env, account, session);
}

int SmtpGreet(TransportEnv& env, const AccountSettings& account, MailSession& session) {
  const std::string host = platform::LocalHostName();
  std::string reply;
  // After STARTTLS the client greets with EHLO (RFC 3207), even without AUTH.
  if (!account.smtpAuth && !account.smtpStartTls) {
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
  if (!account.smtpAuth) return 1;
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
    ReportOpenFailure(env.log, account, OpenFailure::Send);
    return false;
  }
  const int greet = SmtpGreet(env, account, session);
  if (greet < 0) {
    ReportOpenFailure(env.log, account, OpenFailure::SendGreeting);
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
