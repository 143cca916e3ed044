#include "transport/account_session.h"

#include "platform/clock.h"
#include "platform/codepage.h"
#include "report/time_stamps.h"
#include "transport/field_text.h"

namespace velnora {

std::string AccountStatusText(const AccountSettings* account, std::string_view text) {
  std::string status = "[";
  if (account) status += FieldText(account->accountName);
  status += "]";
  status += text;
  return status;
}

void ShowAccountStatus(TransportEnv& env, const AccountSettings* account, std::string_view text,
                       StatusIcon icon) {
  env.log.SetStatus(AccountStatusText(account, text), icon);
}

void SessionLog(TransportEnv& env, std::string_view text) {
  if (!env.common.sessionLog) return;
  if (env.sessionTag.empty()) {
    env.log.WriteSessionLog(text);
  } else {
    env.log.WriteTaggedSessionLog(env.sessionTag, text);
  }
}

void LogSessionBanner(TransportEnv& env, const AccountSettings& account, std::string_view kind) {
  std::string banner = SJIS(u8"---- Velnora 400アカウント版 V5.20.00 starts ");
  banner += kind;
  banner += " session : ";
  banner += FormatListTime();
  banner += " [";
  banner += FieldText(account.accountName);
  banner += "] ----\r\n";
  SessionLog(env, banner);
}

bool CountSeconds(TransportEnv& env, const AccountSettings& account, int total, StatusIcon icon,
                  const std::function<std::string(int second, int total)>& text) {
  if (total <= 0) return true;  // no wait asked for: nothing to end early
  for (int second = 1; second <= total; ++second) {
    if (env.flags.ShouldStop()) return false;
    ShowAccountStatus(env, &account, text(second, total), icon);
    env.flags.lastActivityTick = platform::TickMs();
    if (!SessionDelay(env, 1000)) return false;
    env.flags.lastActivityTick = platform::TickMs();
  }
  return !env.flags.ShouldStop();
}

void ReportTlsSettingsConflict(TransportEnv& env, const AccountSettings& account,
                               std::string_view protocol) {
  env.log.SetStatus("Error:" + std::string(protocol) + ": SSL + STARTTLS", StatusIcon::Error);
  env.log.AddActivity(std::string(protocol) + SJIS(u8": SSLとSTARTTLSの両方がオンになっています。"
                                                   u8"どちらか一方だけを選んでください"),
                      Category::ServerNotice, &account);
}

void ReportOpenFailure(ActivityLog& log, const AccountSettings& account, OpenFailure failure) {
  switch (failure) {
    case OpenFailure::Receive:
      log.SetStatus("ERROR: OpenRcvSession.", StatusIcon::Error);
      log.AddActivity(SJIS(u8"POPサーバーへ接続できません"), Category::ServerNotice, &account);
      return;
    case OpenFailure::Send:
      log.SetStatus("ERROR: OpenSendSession.", StatusIcon::Error);
      log.AddActivity(SJIS(u8"SMTPサーバーへ接続できません"), Category::ServerNotice, &account);
      return;
    case OpenFailure::SendGreeting:
      log.SetStatus("ERROR: Smtp: HELO/EHLO", StatusIcon::Error);
      log.AddActivity(SJIS(u8"SMTPサーバーへ接続できません"), Category::ServerNotice, &account);
      return;
  }
}

void SessionCloser::Close() {
  if (closed_) return;
  closed_ = true;
  CloseSession(env_, session_, quit_, &account_);
}

}  // namespace velnora
