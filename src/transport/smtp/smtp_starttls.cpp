#include "transport/smtp/smtp_starttls.h"

#include <cctype>
#include <string>

#include "platform/codepage.h"
#include "platform/host.h"
#include "transport/account_session.h"
#include "transport/field_text.h"
#include "transport/smtp/smtp_command.h"
#include "transport/smtp/smtp_reply.h"

namespace velnora {
namespace {

constexpr int kReadyToStartTls = 220;

bool SameWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// Ends the attempt: an entry naming the host and the reason, and the
// session closed without another word in plain text.
bool Refuse(TransportEnv& env, const AccountSettings& account, MailSession& session,
            std::string_view reason, std::string_view reply = {}) {
  env.log.SetStatus("Error:STARTTLS", StatusIcon::Error);
  env.log.AddActivity(SJIS(u8"STARTTLSで暗号化できないため送信を中止しました") + " [" +
                          std::string(FieldText(account.smtpServer)) + "] " + std::string(reason),
                      Category::ServerNotice, &account);
  if (!reply.empty()) env.log.AddActivity(reply, Category::ServerReply, &account);
  SessionLog(env, "SMTP: STARTTLS refused: " + std::string(reason) + "\r\n");
  session.stream.Close();
  return false;
}

}  // namespace

bool OffersExtension(std::string_view reply, std::string_view keyword) {
  while (!reply.empty()) {
    const std::size_t end = reply.find('\n');
    std::string_view line = reply.substr(0, end);
    reply.remove_prefix(end == std::string_view::npos ? reply.size() : end + 1);
    if (line.size() < 4 || line.substr(0, 3) != "250") continue;
    line.remove_prefix(4);
    const std::size_t wordEnd = line.find_first_of(" \r");
    if (SameWord(line.substr(0, wordEnd), keyword)) return true;
  }
  return false;
}

bool IsWholeReply(std::string_view reply) {
  std::size_t at = 0;
  while (at < reply.size()) {
    const std::size_t end = reply.find("\r\n", at);
    if (end == std::string_view::npos) return false;
    const bool last = end - at < 4 || reply[at + 3] != '-';
    at = end + 2;
    if (last) return at == reply.size();
  }
  return false;
}

bool StartSmtpTls(TransportEnv& env, const AccountSettings& account, MailSession& session) {
  std::string reply;
  if (SmtpExchange(env, session, account, "EHLO " + platform::LocalHostName() + "\r\n", reply) < 0) {
    return false;
  }
  if (!isSMTPReplyOK(reply) || !OffersExtension(reply, "STARTTLS")) {
    return Refuse(env, account, session, "STARTTLS not offered", reply);
  }
  if (SmtpExchange(env, session, account, "STARTTLS\r\n", reply) < 0) return false;
  if (SmtpReplyCode(reply) != kReadyToStartTls) {
    return Refuse(env, account, session, "STARTTLS refused", reply);
  }
  if (!IsWholeReply(reply)) {
    return Refuse(env, account, session, "text after the 220 reply before the handshake");
  }
  return UpgradeSessionToTls(env, account, session, SessionKind::Smtp);
}

}  // namespace velnora
