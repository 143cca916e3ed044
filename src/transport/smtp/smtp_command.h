// The SMTP side of a session, one step below the protocol: sending a
// command (with a masked trace when it carries credentials) and reading a
// whole reply, however many reads it takes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "config/account_settings.h"
#include "transport/mail_session.h"
#include "transport/transport_env.h"

namespace velnora {

// A reply that has not shown its final line after this many bytes is not
// read further: a server cannot make us hold an endless reply.
inline constexpr std::size_t kMaxSmtpReplyBytes = 65536;

// Sends `command`; the session log shows it, or `logAs` instead when given
// (credentials). Bytes sent or -1.
long SmtpSend(TransportEnv& env, MailSession& session, const AccountSettings& account,
              std::string_view command, std::string_view logAs = {});

// Reads until the reply holds a final line; the blocks read are joined.
// The reply length, or -1 (transfer failure, time-out, endless reply).
long SmtpReadReply(TransportEnv& env, MailSession& session, const AccountSettings& account,
                   std::string& reply);

// SmtpSend and SmtpReadReply; -1 when either fails.
long SmtpExchange(TransportEnv& env, MailSession& session, const AccountSettings& account,
                  std::string_view command, std::string& reply, std::string_view logAs = {});

// Writes a session-log line as a sent SMTP line would appear.
void LogSentSmtpLine(TransportEnv& env, std::string_view line);

}  // namespace velnora
