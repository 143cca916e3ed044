// The SMTP client: every message travels in a session of its own —
// optional POP-before-SMTP log-in, connection and greeting, HELO or EHLO
// with authentication, one transaction per part file, QUIT by the caller.
// The results follow the transport convention: 1 success, -1 failure, and
// for sending -2 (send again at the next check) and -10 (refused for good).
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "config/account_settings.h"
#include "transport/mail_session.h"
#include "transport/smtp/smtp_refusal.h"
#include "transport/transport_env.h"

namespace velnora {

// Connects (after the configured delays) and reads the greeting.
// >= 0 ready for HELO/EHLO, -1 failure.
int OpenSendSession(TransportEnv& env, const AccountSettings& account, MailSession& session);

// HELO without authentication, else EHLO and AUTH LOGIN, PLAIN or CRAM-MD5.
// 1 ready to send, 0 HELO/EHLO refused, -1 failure (network or authentication).
int SmtpGreet(TransportEnv& env, const AccountSettings& account, MailSession& session);

// One transaction for a message text whose first line is the control line
// (the original sender, never sent). 1, -1, -2 or -10.
int SendMessageText(TransportEnv& env, AccountSettings& account, MailSession& session,
                    std::string_view text);

// Sends the part files 0 .. partNumber-1 of a message from env.tempFolder
// and deletes each one sent. 1 all sent, 0 a transfer failure (also: no
// destination, or a part file that is gone), -2 send again later, -10
// refused for good. `allAccepted` runs as soon as the last part has its
// 250, before the feature-phone pause and the QUIT, so the caller can put
// the outcome on the disk; a stop during that pause does not undo it.
int SendSplitParts(TransportEnv& env, AccountSettings& account, MailSession& session,
                   int partNumber, const std::function<void()>& allAccepted = {});

// "$vnrdiv<n>.vnr" in `tempFolder`: the part files the composition writes.
std::string PartFilePath(std::string_view tempFolder, int part);

}  // namespace velnora
