// The SMTP client: every message travels in a session of its own —
// optional POP-before-SMTP log-in, connection and greeting, HELO or EHLO
// with authentication, one transaction per part file, QUIT by the caller.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "config/account_settings.h"
#include "transport/account_session.h"
#include "transport/mail_session.h"
#include "transport/smtp/smtp_refusal.h"
#include "transport/transport_env.h"

namespace velnora {

// Connects (after the configured delays) and reads the greeting: true when
// ready for HELO/EHLO.
bool OpenSendSession(TransportEnv& env, const AccountSettings& account, MailSession& session);

// HELO without authentication, else EHLO and AUTH LOGIN, PLAIN or CRAM-MD5.
// 1 ready to send, 0 HELO/EHLO refused, -1 failure (network or authentication).
int SmtpGreet(TransportEnv& env, const AccountSettings& account, MailSession& session);

// OpenSendSession and SmtpGreet, with the report of a session that could not
// be opened. True when ready to send; `closer` learns whether the session
// may end with QUIT (also after a HELO/EHLO the server refused properly).
bool OpenReadySendSession(TransportEnv& env, const AccountSettings& account, MailSession& session,
                          SessionCloser& closer);

// One transaction for a message text whose first line is the control line
// (the original sender, never sent).
SendResult SendMessageText(TransportEnv& env, AccountSettings& account, MailSession& session,
                    std::string_view text);

// Sends the part files 0 .. partNumber-1 of a message from env.tempFolder
// and deletes each one sent. Sent once every part has its 250; RetryNow
// also when there is no destination or a part file is gone. `allAccepted` runs as soon as the last part has its
// 250, before the feature-phone pause and the QUIT, so the caller can put
// the outcome on the disk; a stop during that pause does not undo it.
SendResult SendSplitParts(TransportEnv& env, AccountSettings& account, MailSession& session,
                   int partNumber, const std::function<void()>& allAccepted = {});

// "$vnrdiv<n>.vnr" in `tempFolder`: the part files the composition writes.
std::string PartFilePath(std::string_view tempFolder, int part);

}  // namespace velnora
