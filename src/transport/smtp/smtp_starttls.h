// STARTTLS on the SMTP port (RFC 3207): the session becomes a verified TLS
// session before anything else is said, or it ends. There is no fall-back
// to plain text: a server that does not offer STARTTLS, refuses it, or says
// more than its one 220 reply (text an attacker may have injected before
// the handshake) ends the session with an entry naming the host.
#pragma once

#include <string_view>

#include "config/account_settings.h"
#include "transport/mail_session.h"

namespace velnora {

// True when the EHLO reply lists `keyword` as an extension ("250-STARTTLS",
// "250 STARTTLS", any case).
bool OffersExtension(std::string_view ehloReply, std::string_view keyword);

// True when `reply` is exactly one reply: nothing follows its final line.
bool IsWholeReply(std::string_view reply);

// After the greeting: EHLO, STARTTLS, 220, the handshake. Everything the
// server said before is forgotten; the caller greets again.
bool StartSmtpTls(TransportEnv& env, const AccountSettings& account, MailSession& session);

}  // namespace velnora
