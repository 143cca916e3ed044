// The two kinds of pass over the accounts: the start pass, run when
// forwarding is started, and the poll pass, run once a minute while it is
// started. A pass runs on the forwarding worker; it decides which account is
// due and in which order, and hands the talking to AccountOperations.
#pragma once

#include <functional>
#include <vector>

#include "config/settings_image.h"
#include "engine/forward/account_operations.h"
#include "engine/worker_state.h"
#include "platform/clock.h"
#include "report/activity_log.h"

namespace velnora {

class PassRunner {
 public:
  PassRunner(SettingsImage& settings, ActivityLog& log, WorkerState& state, AccountOperations& ops);

  // One pass as resumed with state.trigger. Marks the pass active for its
  // length and saves the UIDL store at its end.
  void RunPass();

  // The start pass; false when it refused to start (no enabled account, an
  // incomplete account).
  bool StartForwarding();
  void StartupAccountCheck(int account);
  // Log-in to the POP3 server, and HELO/EHLO and RSET at the SMTP server:
  // true when the server works (a failure is reported).
  bool CheckReceiveServer(int account);
  bool CheckSendServer(int account);
  // After the check: skip what is there, or forward it when the schedule allows.
  void ForwardAtStartup(int account);
  void PollAccounts();
  void UpdateStatusSummary();
  // Quitting with deleteAllOnQuit: every enabled account that keeps its
  // mail on the server loses what the checks have handled.
  void DeleteAllOnQuit();
  // Forwarding stops: after "Disconnect" during a pass.
  void StopSteps();

  // The clock the schedule is read from (tests fix it).
  void SetClock(platform::CalendarTime (*localNow)()) { localNow_ = localNow; }
  // Whether the last start pass refused to start.
  bool startRefused() const { return startRefused_; }

 private:
  AccountSettings& Account(int i) { return settings_.accounts[i]; }
  bool Stopping() const { return state_.flags.ShouldStop(); }
  void Touch() { state_.flags.lastActivityTick = platform::TickMs(); }
  void AnnounceMailCount(int account, int count);
  void AnnounceConnectionChecked(int account);
  // How many accounts this pass checks at once (1: one after another).
  int Lanes() const;
  // Runs `check` for each of `accounts`, on `lanes` threads that take the
  // next account in list order as each finishes one.
  void CheckSideBySide(const std::vector<int>& accounts, int lanes,
                       const std::function<void(int)>& check);
  // The start pass's work for one enabled account, and the poll pass's for one due account.
  void StartAccount(int account);
  void PollAccount(int account);
  void AutoDialNotAvailable();

  SettingsImage& settings_;
  ActivityLog& log_;
  WorkerState& state_;
  AccountOperations& ops_;
  platform::CalendarTime (*localNow_)() = &platform::LocalNow;
  bool startRefused_ = false;
  bool dialNoticeShown_ = false;
};

// Label of an account in messages: its name, "(popUser)" or "N:アカウント".
std::string AccountLabel(const AccountSettings& account, int index);

}  // namespace velnora
