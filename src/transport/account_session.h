// What every session with one of an account's servers shares: the "[name]"
// status texts, the session log, the banner that opens a session there, the
// per-second waits, the report of a session that could not be opened, and
// closing it — with QUIT only when the conversation is in order, since a QUIT
// on a broken one only waits for a reply that does not come.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "config/account_settings.h"
#include "report/activity_category.h"
#include "transport/mail_session.h"
#include "transport/transport_env.h"

namespace velnora {

// "[account name]" followed by `text`: the form of every status text about
// one account ("[]" without an account).
std::string AccountStatusText(const AccountSettings* account, std::string_view text);
void ShowAccountStatus(TransportEnv& env, const AccountSettings* account, std::string_view text,
                       StatusIcon icon);

// Appends `text` to the session log when the log is switched on.
void SessionLog(TransportEnv& env, std::string_view text);

// The line that opens a session in the session log:
// "---- Velnora ... starts <kind> session : <time> [name] ----".
void LogSessionBanner(TransportEnv& env, const AccountSettings& account, std::string_view kind);

// Waits `total` seconds one at a time, showing "[name]" + text(second, total)
// each second, so the status counts and the watchdog sees the worker alive.
// False when the worker is asked to stop meanwhile; true at once for no seconds.
bool CountSeconds(TransportEnv& env, const AccountSettings& account, int total, StatusIcon icon,
                  const std::function<std::string(int second, int total)>& text);

// Which session could not be opened.
enum class OpenFailure {
  Receive,        // POP3: connect, greeting, log-in or STAT
  Send,           // SMTP: connect or greeting
  SendGreeting,   // SMTP: HELO/EHLO or authentication
};
// The status text and the activity entry of a session that could not be opened.
void ReportOpenFailure(ActivityLog& log, const AccountSettings& account, OpenFailure failure);

// Implicit TLS and STARTTLS both switched on for `protocol` ("SMTP",
// "POP3"): a settings error, shown before anything is sent.
void ReportTlsSettingsConflict(TransportEnv& env, const AccountSettings& account,
                               std::string_view protocol);

// Owns the closing of one session: when it goes out of scope (or at Close)
// the session is closed, with QUIT only after InOrder() was called.
class SessionCloser {
 public:
  SessionCloser(TransportEnv& env, MailSession& session, const AccountSettings& account)
      : env_(env), session_(session), account_(account) {}
  ~SessionCloser() { Close(); }
  SessionCloser(const SessionCloser&) = delete;
  SessionCloser& operator=(const SessionCloser&) = delete;

  // The conversation is in order (also after a refusal the server answered
  // properly): the session ends with QUIT.
  void InOrder() { quit_ = true; }
  // The conversation broke down: the session ends without QUIT.
  void Broken() { quit_ = false; }
  // Closes now; later calls and the destructor do nothing more.
  void Close();

 private:
  TransportEnv& env_;
  MailSession& session_;
  const AccountSettings& account_;
  bool quit_ = false;
  bool closed_ = false;
};

}  // namespace velnora
