#include "engine/forward/passes.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>

#include "engine/forward/schedule.h"
#include "platform/codepage.h"
#include "platform/text_format.h"
#include "transport/account_session.h"

namespace velnora {

PassRunner::PassRunner(SettingsImage& settings, ActivityLog& log, WorkerState& state,
                       AccountOperations& ops)
    : settings_(settings), log_(log), state_(state), ops_(ops) {}

std::string AccountLabel(const AccountSettings& account, int index) {
  if (account.accountName[0]) return account.accountName;
  if (account.popUser[0]) return Sprintf("(%s)", account.popUser);
  return Sprintf(SJIS(u8"%d:アカウント").c_str(), index);
}

void PassRunner::RunPass() {
  auto& flags = state_.flags;
  flags.passGuard = true;
  Touch();
  flags.passActive = true;
  log_.reporter().PassActiveChanged(true);

  if (settings_.common.reloadSettingsEachCheck) {
    // The running subject number survives the reload.
    int16_t mailNumbers[kAccountSlots];
    for (int i = 0; i < kAccountSlots; ++i) mailNumbers[i] = settings_.accounts[i].mailNumber;
    ops_.ReloadSettings();
    for (int i = 0; i < kAccountSlots; ++i) settings_.accounts[i].mailNumber = mailNumbers[i];
  }

  switch (state_.trigger.load()) {
    case kTriggerPollTick:
      if (flags.connected) PollAccounts();
      break;
    case kTriggerAutoConnect:
    case kTriggerStartCommand:
      StartForwarding();
      state_.tickCount = 0;
      if (flags.stopRequested) StopSteps();
      break;
    case kTriggerQuit:
      if (flags.connected) DeleteAllOnQuit();
      break;
    default:
      break;
  }

  ops_.SaveUidlStore();
  flags.passActive = false;
  log_.reporter().PassActiveChanged(false);
  flags.passGuard = false;
}

void PassRunner::StopSteps() {
  state_.flags.stopRequested = false;
  state_.flags.connected = false;
  log_.AddActivity(SJIS(u8"接続を切断しました。再接続するためには、「接続」ボタンを押して下さい。"), Category::ServerNotice, nullptr);
  UpdateStatusSummary();
}

bool PassRunner::StartForwarding() {
  startRefused_ = false;
  int firstEnabled = -1;
  for (int i = 0; i < kAccountCount; ++i) {
    if (Account(i).enabled) {
      firstEnabled = i;
      break;
    }
  }
  if (firstEnabled < 0) {
    startRefused_ = true;
    log_.reporter().Tell(SJIS(u8"すべてのアカウントが無効に設定されています。"), SJIS(u8"接続中止"));
    return false;
  }
  for (int i = firstEnabled; i < kAccountCount; ++i) {
    if (!Account(i).enabled || IsAccountComplete(Account(i))) continue;
    startRefused_ = true;
    log_.reporter().Tell(SJIS(u8"有効なアカウントに、設定されていない項目があります。") + "\n" +
                             AccountLabel(Account(i), i),
                         SJIS(u8"接続中止"));
    return false;
  }
  if (settings_.common.autoDial) {
    log_.SetStatus(SJIS(u8"ダイヤルしています..."), StatusIcon::Dialing);
    AutoDialNotAvailable();
  }
  const int lanes = Lanes();
  if (lanes <= 1) {
    for (int i = 0; i < kAccountCount && !Stopping(); ++i) {
      if (!Account(i).enabled) continue;
      StartAccount(i);
      ops_.EndCheck(i);
    }
  } else {
    std::vector<int> enabled;
    for (int i = 0; i < kAccountCount; ++i) {
      if (Account(i).enabled) enabled.push_back(i);
    }
    CheckSideBySide(enabled, lanes, [this](int i) { StartAccount(i); });
  }
  log_.RefreshAccountList();
  state_.flags.connected = true;
  return true;
}

void PassRunner::StartAccount(int i) {
  AccountSettings& account = Account(i);
  log_.HighlightAccount(account.accountNumber);
  if (settings_.common.preventDuplicates && account.noDuplicateCheck)
    log_.AddActivity(SJIS(u8"このアカウントでは「二重転送防止を使用しない」が有効になっています"), Category::Information, &account);
  StartupAccountCheck(i);
  ops_.SaveUidlStore();  // before the next account: a crash loses one account's changes at most
  UpdateStatusSummary();
}

int PassRunner::Lanes() const {
  const int wanted = settings_.common.parallelAccounts;
  return std::clamp(wanted, 1, kMaxParallelAccounts);
}

void PassRunner::CheckSideBySide(const std::vector<int>& accounts, int lanes,
                                 const std::function<void(int)>& check) {
  std::atomic<std::size_t> next{0};
  auto lane = [&](int number) {
    while (!Stopping()) {
      const std::size_t k = next++;
      if (k >= accounts.size()) return;
      const int i = accounts[k];
      if (ops_.BeginLaneCheck(i, number)) check(i);
      ops_.EndCheck(i);
    }
  };
  lanes = std::min<int>(lanes, int(accounts.size()));
  ops_.SideBySide(true);
  std::vector<std::thread> threads;
  for (int number = 1; number < lanes; ++number) {
    try {
      threads.emplace_back(lane, number);
    } catch (const std::system_error&) {
      break;  // no more threads to be had: the lanes started share the accounts
    }
  }
  lane(0);
  for (std::thread& thread : threads) thread.join();
  ops_.SideBySide(false);
}

void PassRunner::AutoDialNotAvailable() {
  // There is no dial-up service to ask on this platform: say so once.
  log_.WriteSessionLog("****: auto dial is not available on this platform\r\n");
  if (dialNoticeShown_) return;
  dialNoticeShown_ = true;
  log_.AddActivity(SJIS(u8"自動ダイヤル接続はこの環境では使用できません。"), Category::Information, nullptr);
}

bool PassRunner::CheckReceiveServer(int i) {
  AccountSettings& account = Account(i);
  if (ops_.OpenRcvSession(i) < 0) {
    ReportOpenFailure(log_, account, OpenFailure::Receive);
    ops_.Beep();
    ops_.CloseSession(i, false);
    return false;
  }
  ops_.CloseSession(i, true);
  return true;
}

bool PassRunner::CheckSendServer(int i) {
  AccountSettings& account = Account(i);
  if (ops_.OpenSendSession(i) < 0) {
    ReportOpenFailure(log_, account, OpenFailure::Send);
    ops_.Beep();
    return false;
  }
  const int greet = ops_.SmtpGreet(i);
  // A refused greeting was answered properly: that session ends with QUIT.
  const bool ready = greet == 1 && ops_.SendRset(i);
  ops_.CloseSession(i, greet == 0 || ready);
  return ready;
}

void PassRunner::StartupAccountCheck(int i) {
  AccountSettings& account = Account(i);
  if (!CheckReceiveServer(i) || Stopping()) return;
  if (IsSpamEraser(account)) {
    log_.AddActivity(SJIS(u8"SPAM削除モードに設定されています（転送は行われません）"), Category::Information, &account);
  } else if (!CheckSendServer(i)) {
    return;
  }
  if (Stopping()) return;

  AnnounceMailCount(i, ops_.MailCount(i));
  if (account.apportion) log_.AddActivity(SJIS(u8"【！】分配転送のオプションが有効になっています。"), Category::Information, &account);
  state_.flags.connected = true;
  AnnounceConnectionChecked(i);
  if (account.startRemoteOff)
    log_.AddActivity(SJIS(u8"このアカウントはリモート停止中にセットされています"), Category::Information, &account);
  ForwardAtStartup(i);
}

void PassRunner::ForwardAtStartup(int i) {
  AccountSettings& account = Account(i);
  if (account.skipRemainingAtStartup) {
    if (account.noUidlActive) {
      ops_.SetStartIndex(i, ops_.MailCount(i));
    } else {
      ops_.SetStartIndex(i, 0);
      if (ops_.MarkAllAsForwarded(i) < 0) ops_.CloseSession(i, false);
    }
    log_.SetStatus(SJIS(u8"待機中.."), StatusIcon::Waiting);
    return;
  }
  if (IsScheduledNow(account, localNow_())) {
    ops_.PopDelay(i);
    if (Stopping()) return;
    ops_.FwdProc(i);
  } else {
    log_.AddActivity(SJIS(u8"スケジュール設定により転送はスキップされました"), Category::Information, &account);
    log_.SetStatus(SJIS(u8"待機中.."), StatusIcon::Waiting);
  }
}

void PassRunner::AnnounceMailCount(int i, int count) {
  if (count <= 0) return;
  const AccountSettings& account = Account(i);
  const char* format;
  if (account.skipRemainingAtStartup)
    format = SJIS(u8"起動時：設定により、起動時にサーバーに残っている %d 通のメールは転送されません。").c_str();
  else if (!settings_.common.preventDuplicates && account.noUidlActive)
    format = SJIS(u8"起動時：サーバー上に %d 通のメールがあります。すべて転送します。").c_str();
  else
    format = SJIS(u8"起動時：サーバー上に %d 通のメールがあります。履歴を確認します。").c_str();
  log_.AddActivity(Sprintf(format, count), Category::Information, &account);
}

void PassRunner::AnnounceConnectionChecked(int i) {
  const AccountSettings& account = Account(i);
  std::string text = (account.popSsl || account.smtpSsl) ? "SSL: " : "";
  if (account.useApop && account.smtpAuth)
    text += SJIS(u8"APOP/SSMTPサーバーへの接続確認完了");
  else if (account.useApop)
    text += SJIS(u8"APOP/SMTPサーバーへの接続確認完了");
  else if (account.smtpAuth)
    text += SJIS(u8"POP3/SSMTPサーバーへの接続確認完了");
  else
    text += SJIS(u8"POP3/SMTPサーバーへの接続確認完了");
  log_.AddActivity(text, Category::Information, &account);
}

void PassRunner::PollAccounts() {
  int tick = ++state_.tickCount;
  const platform::CalendarTime now = localNow_();
  auto due = [&](const AccountSettings& account) {
    int interval = account.pollInterval > 0 ? account.pollInterval : 1;
    return account.enabled && tick % interval == 0 && IsScheduledNow(account, now);
  };
  if (settings_.common.autoDial) {
    for (int i = 0; i < kAccountCount; ++i) {
      if (!due(Account(i))) continue;
      log_.SetStatus(SJIS(u8"ダイヤルしています..."), StatusIcon::Dialing);
      AutoDialNotAvailable();
      break;
    }
  }
  const int lanes = Lanes();
  if (lanes <= 1) {
    for (int i = 0; i < kAccountCount && !Stopping(); ++i) {
      if (!due(Account(i))) continue;
      PollAccount(i);
      ops_.EndCheck(i);
    }
  } else {
    std::vector<int> dueAccounts;
    for (int i = 0; i < kAccountCount; ++i) {
      if (due(Account(i))) dueAccounts.push_back(i);
    }
    CheckSideBySide(dueAccounts, lanes, [this](int i) { PollAccount(i); });
  }
  log_.RefreshAccountList();
  if (state_.flags.stopRequested) StopSteps();
}

void PassRunner::PollAccount(int i) {
  Touch();
  log_.HighlightAccount(Account(i).accountNumber);
  Touch();
  ops_.FwdProc(i);
  ops_.SaveUidlStore();  // before the next account: a crash loses one account's changes at most
  UpdateStatusSummary();
}

void PassRunner::UpdateStatusSummary() {
  constexpr int kIdle = static_cast<int>(StatusIcon::Idle);
  constexpr int kStarted = static_cast<int>(StatusIcon::Started);
  if (state_.flags.stopRequested) {
    log_.reporter().SummaryChanged(SJIS(u8"接続を切断しています..."), kIdle);
  } else if (state_.flags.connected) {
    log_.reporter().SummaryChanged(
        Sprintf(SJIS(u8"自動転送起動中... %d 通転送済み（自動接続回数 %d 回）").c_str(),
                state_.forwardedTotal.load(), state_.fwdProcRuns.load()),
        kStarted);
  } else {
    log_.reporter().SummaryChanged(SJIS(u8"サーバー未接続（停止中）"), kIdle);
  }
}

}  // namespace velnora
