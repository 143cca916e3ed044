#include "engine/forward/fwd_proc.h"

#include <algorithm>
#include <cstring>

#include "engine/forward/fwd_proc_shared.h"
#include "engine/message/message_load.h"
#include "engine/history/no_uidl_progress.h"
#include "config/settings_file.h"
#include "engine/history/runtime_state.h"
#include "engine/forward/temp_files.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/text_format.h"
#include "report/time_stamps.h"
#include "transport/pop3/pop3_client.h"
#include "transport/account_session.h"
#include "transport/smtp/smtp_client.h"

namespace velnora {
namespace {

void ResetForwardStatus(Context& ctx, int i) {
  ctx.runtimeOf(i).forwardStatus.assign(std::size_t(ctx.runtime->maxHeldMails),
                                        ForwardStatus{Category::NotHandled, UidlSlot{}});
}

// The one-shot flags (markAllForwardedNext, overflowNotified) go to the
// settings file as soon as they change: a reload of the file at the next
// check, or a restart after a kill, must not bring the old value back (a
// second "mark all" would hide the mail that arrived in between).
void SaveChangedFlag(Context& ctx, int i) {
  {
    std::lock_guard lock(ctx.settingsSaveMutex);
    if (SaveSettings(*ctx.settings, ctx.location) == SaveResult::Saved) return;
  }
  ctx.log->AddActivity(SJIS(u8"設定ファイルを保存できませんでした。"), Category::ServerNotice, &ctx.account(i));
}

// "Mark all as forwarded": the whole mailbox becomes "already forwarded";
// nothing is forwarded in this run.
void MarkAllForwardedNow(Context& ctx, int i, TransportEnv& env) {
  AccountSettings& account = ctx.account(i);
  AccountRuntime& runtime = ctx.runtimeOf(i);
  ctx.log->AddActivity(SJIS(u8"「全メールを転送済にする（実行後自動リセット）」が有効になっています。"), Category::ServerNotice, &account);
  if (account.noUidlActive) {
    runtime.startIndex = runtime.mailCount;
    runtime.handledBeyondStart.clear();
    WriteNoUidlProgress(runtime, ctx.runtime->maxHeldMails);
    account.markAllForwardedNext = 0;
    SaveChangedFlag(ctx, i);
  } else {
    runtime.startIndex = 0;
    if (MarkAllAsForwarded(env, account, runtime) == 1) {
      account.markAllForwardedNext = 0;
      SaveChangedFlag(ctx, i);
      ctx.log->AddActivity(SJIS(u8"全メールを転送済にしました。「全メールを転送済にする」オプションはリセットしました。"), Category::ServerNotice, &account);
    } else {
      ctx.log->AddActivity(SJIS(u8"接続エラーが発生しました。「全メールを転送済にする」オプションはリセットされません。"), Category::ServerNotice, &account);
    }
  }
  ctx.log->SetStatus(SJIS(u8"待機中.."), StatusIcon::Waiting);
}

// Mailbox overflow: more messages than the UIDL list can hold. True when forwarding of
// the account is suspended for this run.
// `pop` is the open POP3 session: it ends (with QUIT) before the notice goes out.
bool MailboxOverflows(Context& ctx, int i, TransportEnv& env, const MessageSteps& steps,
                      SessionCloser& pop) {
  AccountSettings& account = ctx.account(i);
  AccountRuntime& runtime = ctx.runtimeOf(i);
  const int maxHeld = ctx.runtime->maxHeldMails;
  if (account.noUidlActive || ctx.common().keepForwardingOverLimit || runtime.statCount <= maxHeld) {
    if (account.overflowNotified) {
      account.overflowNotified = 0;
      SaveChangedFlag(ctx, i);
    }
    return false;
  }
  pop.InOrder();
  pop.Close();
  if (!account.overflowNotified) {
    const std::string text =
        Sprintf(SJIS(u8"メールボックスのメール数が、Velnoraの最大メール保持数設定(%d)を超えています。").c_str(), maxHeld);
    ctx.log->SetStatus(text, StatusIcon::Error);
    ctx.log->AddActivity(text, Category::ServerNotice, &account);
    SessionCloser closer(env, runtime.session, account);
    // Only a notice that the server accepted counts: otherwise the next
    // check tries again.
    if (OpenReadySendSession(env, account, runtime.session, closer) && steps.overflowNotice &&
        SendMessageText(env, account, runtime.session, steps.overflowNotice(ctx, i, text)) ==
            SendResult::Sent) {
      closer.Close();
      account.overflowNotified = 1;
      SaveChangedFlag(ctx, i);
    }
  }
  ctx.log->SetStatus(SJIS(u8"待機中.."), StatusIcon::Waiting);
  return true;
}

// A message that was not handled is fetched again at the next check.
void MarkForRetry(Context& ctx, int i, int m) {
  if (m < 0 || m >= ctx.runtime->maxHeldMails) return;
  if (!ctx.account(i).noUidlActive) ctx.runtimeOf(i).ClearStoredUidl(m);
  ctx.runtimeOf(i).forwardStatus[std::size_t(m)].resultCode = Category::NotHandled;
}

// The received files of this check that were not handled yet. Whatever way
// FwdProc is left (a stop, the watchdog, a failure), each of them is made
// new again and its file removed, so no fetched message stays recorded
// without an outcome and no file outlives its check.
class PendingReceived {
 public:
  PendingReceived(Context& ctx, int i, TransportEnv& env) : ctx_(ctx), i_(i), env_(env) {}
  ~PendingReceived() {
    AccountRuntime& runtime = ctx_.runtimeOf(i_);
    for (std::size_t n = next_; n < runtime.fetched.size(); ++n) {
      const int m = runtime.fetched[n];
      MarkForRetry(ctx_, i_, m);
      RemoveTempFile(ReceivedMailPath(env_, m + 1));
    }
    runtime.fetched.clear();
  }
  PendingReceived(const PendingReceived&) = delete;
  PendingReceived& operator=(const PendingReceived&) = delete;

  // The next fetched position, or -1 when all were taken.
  int Take() {
    const auto& fetched = ctx_.runtimeOf(i_).fetched;
    return next_ < fetched.size() ? fetched[next_++] : -1;
  }

 private:
  Context& ctx_;
  int i_;
  TransportEnv& env_;
  std::size_t next_ = 0;
};

// Without UIDLs only the position marks a message: the next check starts
// at the first message that has no outcome, and what lies beyond it and
// was handled is remembered, so it is neither lost nor sent again. A
// successful deletion renumbers the messages above each deleted one.
void RememberHandledPositions(Context& ctx, int i, int startIndex, const std::vector<uint8_t>& handledNow,
                              int deletedUpTo) {
  AccountRuntime& runtime = ctx.runtimeOf(i);
  const RuntimeTables& tables = *ctx.runtime;
  const bool includingFiltered = ctx.account(i).deleteIncludingFiltered != 0;
  std::vector<uint8_t> handled;
  handled.reserve(handledNow.size());
  for (int p = 0; p < int(handledNow.size()); ++p) {
    const bool deleted = p < std::min(deletedUpTo, tables.maxHeldMails) &&
                         IsDeletableResult(runtime.forwardStatus[std::size_t(p)].resultCode, includingFiltered);
    if (deleted) continue;
    const bool earlier = p < startIndex || (std::size_t(p) < runtime.handledBeyondStart.size() &&
                                            runtime.handledBeyondStart[std::size_t(p)]);
    handled.push_back(earlier || handledNow[std::size_t(p)] ? 1 : 0);
  }
  int first = 0;
  while (first < int(handled.size()) && handled[std::size_t(first)]) ++first;
  runtime.startIndex = first;
  if (first == int(handled.size())) handled.clear();
  runtime.handledBeyondStart = std::move(handled);
  if (deletedUpTo > 0) {
    // Numbers of unfetchable messages shifted with the deletion.
    std::erase_if(runtime.fetchFailures, [](const auto& entry) { return entry.first.starts_with('#'); });
  }
}


// Where this check starts: without UIDLs the first position without an
// outcome (or 0 when the mailbox shrank); with them always 0.
void SettleStartIndex(Context& ctx, int i) {
  AccountRuntime& runtime = ctx.runtimeOf(i);
  if (!ctx.account(i).noUidlActive) {
    runtime.startIndex = 0;
    if (runtime.mailCount == 0) runtime.SetStoredCount(0);
  } else if (runtime.mailCount < runtime.startIndex) {
    runtime.startIndex = 0;
    runtime.handledBeyondStart.clear();
    ctx.log->AddActivity(SJIS(u8"サーバーのメールボックスの状態が更新されています　すべてのメールをスキャンします"), Category::Information, &ctx.account(i));
  } else if (runtime.mailCount < int(runtime.handledBeyondStart.size())) {
    // Renumbered by someone else: what lies beyond the start is handled
    // again rather than a message skipped for one that was handled.
    runtime.handledBeyondStart.clear();
  }
}

// The positions of this check: where it started and how many messages the
// server had.
struct CheckRange {
  int startIndex = 0;
  int mailboxCount = 0;
};

// Logs in and fetches what is new into received files (runtime.fetched);
// the POP3 session is closed on return. False when nothing is to be handled
// this time: no session, an overflowing mailbox, a stop, no UIDL listing.
bool ReceiveNewMessages(Context& ctx, int i, TransportEnv& env, const MessageSteps& steps,
                        CheckRange& range) {
  AccountSettings& account = ctx.account(i);
  AccountRuntime& runtime = ctx.runtimeOf(i);
  SessionCloser closer(env, runtime.session, account);
  const int count = OpenRcvSession(env, account, runtime);
  if (count < 0) {
    ReportOpenFailure(env.log, account, OpenFailure::Receive);
    return false;
  }
  SetServerMailCount(ctx, i, count);
  if (MailboxOverflows(ctx, i, env, steps, closer)) return false;

  SettleStartIndex(ctx, i);
  range = {runtime.startIndex, runtime.mailCount};
  if (runtime.mailCount <= range.startIndex) {
    closer.InOrder();
    return true;
  }
  if (ctx.worker.flags.ShouldStop()) {
    closer.InOrder();
    return false;
  }
  const FetchResult received = ReceiveMailFromHost(env, account, runtime);
  if (received == FetchResult::Complete) closer.InOrder();
  return received != FetchResult::NoUidlListing;
}

// The outcome of the message at position m goes into the forwarding status;
// one with an outcome is known from now on, one without is made new again.
void RecordOutcome(Context& ctx, int i, int m, MailMessage& message, SendResult result,
                   std::vector<uint8_t>& handledNow) {
  RuntimeTables& tables = *ctx.runtime;
  AccountRuntime& runtime = ctx.runtimeOf(i);
  const bool uidlMode = !ctx.account(i).noUidlActive;
  const bool outcome = result == SendResult::Sent || result == SendResult::RefusedForGood;
  if (m < tables.maxHeldMails) {
    ForwardStatus& status = runtime.forwardStatus[std::size_t(m)];
    if (uidlMode) status.uidl = MakeSlot(runtime.CurrentUidl(m));
    if (result == SendResult::Sent) {
      status.resultCode = message.resultCode;
    } else if (result == SendResult::RefusedForGood) {
      message.resultCode = Category::Refused550;
      status.resultCode = Category::Refused550;
      ctx.log->AddMessageActivity(ActivityOf(message, runtime.statCount), ctx.account(i));
    } else {
      MarkForRetry(ctx, i, m);
    }
    if (outcome && uidlMode) runtime.SetStoredUidl(m, runtime.CurrentUidl(m));
  }
  if (outcome && !uidlMode && std::size_t(m) < handledNow.size()) handledNow[std::size_t(m)] = 1;
}

// Loads, forwards and records the received message at position m, then
// removes its file. False when the file could not be loaded: the message
// stays on the server and is fetched again.
bool ForwardReceived(Context& ctx, int i, int m, int shownNumber, MailMessage& message,
                     const MessageSteps& steps, std::vector<uint8_t>& handledNow) {
  AccountSettings& account = ctx.account(i);
  const std::string path = ReceivedMailPath(ctx.EnvFor(i), m + 1);
  FreeMessage(message);
  message.index = m;
  if (LoadMessageFile(path, message, *ctx.log, account) != LoadStatus::Loaded) {
    MarkForRetry(ctx, i, m);
    ctx.log->AddActivity(SJIS(u8"受信したメールを読み込めませんでした。このメールは次回のチェックで再度受信します。"), Category::ServerNotice, &account);
    return false;
  }
  message.index = m;  // the loader starts from a cleared message
  ctx.log->SetStatus(Sprintf(SJIS(u8"[%s] メール処理中..  (%d/%d)").c_str(), account.accountName, shownNumber, ctx.runtimeOf(i).mailCount), StatusIcon::Waiting);
  KeyLocks::Hold keyHold;
  const SendResult result = ForwardOneMessage(ctx, i, message, 0, steps, &keyHold);
  RecordOutcome(ctx, i, m, message, result, handledNow);
  keyHold.Release();
  FreeMessage(message);
  RemoveTempFile(path);
  return true;
}

// After each message: a forwarding-log line that could not be written holds
// all sending back, and every quarter of historyLimit lines the state is
// saved. False when forwarding must stop for this check.
bool StateKeptUp(Context& ctx, int i, long saveInterval, long& linesAtSave) {
  RuntimeTables& tables = *ctx.runtime;
  AccountSettings& account = ctx.account(i);
  if (ctx.log->TakeForwardingLogFailure()) {
    // The record that stops a resend is missing: no more sending until
    // the state can be written again.
    ++tables.writeFailures;
    tables.stateUnsaved = true;
    ctx.log->AddActivity(SJIS(u8"転送履歴に書き込めませんでした。ディスクの空き容量を確認してください。書き込めるようになるまで転送を見合わせます。"), Category::ServerNotice, &account);
    SaveRuntimeState(ctx, &account);
    return false;
  }
  // A check running beside this one may have taken the failure: the state
  // it could not write holds this account back too.
  if (tables.stateUnsaved) return false;
  if (saveInterval > 0 && ctx.log->forwardingLogLines() - linesAtSave >= saveInterval) {
    linesAtSave = ctx.log->forwardingLogLines();
    if (!SaveRuntimeState(ctx, &account)) return false;
  }
  return true;
}

// Handles the files this check fetched for this account, in the order
// fetched. Returns which positions got an outcome (used without UIDLs).
std::vector<uint8_t> HandleReceived(Context& ctx, int i, MailMessage& message,
                                    const MessageSteps& steps, PendingReceived& pending,
                                    const CheckRange& range) {
  std::vector<uint8_t> handledNow(std::size_t(std::max(range.mailboxCount, 0)), 0);
  const long saveInterval = StateSaveInterval(ctx);
  long linesAtSave = ctx.log->forwardingLogLines();
  int k = 0;
  for (int m = pending.Take(); m >= 0; m = pending.Take(), ++k) {
    ctx.worker.flags.lastActivityTick = platform::TickMs();
    if (ctx.worker.flags.ShouldStop()) {
      MarkForRetry(ctx, i, m);
      RemoveTempFile(ReceivedMailPath(ctx.EnvFor(i), m + 1));
      break;  // the rest is made new again by `pending`
    }
    if (!ForwardReceived(ctx, i, m, range.startIndex + k, message, steps, handledNow)) continue;
    if (!StateKeptUp(ctx, i, saveInterval, linesAtSave)) break;
  }
  return handledNow;
}

// Deletes the forwarded messages when asked, settles where the next check
// starts, and notes the time of this check.
void FinishCheck(Context& ctx, int i, const CheckRange& range, const std::vector<uint8_t>& handledNow) {
  AccountSettings& account = ctx.account(i);
  AccountRuntime& runtime = ctx.runtimeOf(i);
  int deleted = -1;
  const int fetchedUpTo = runtime.mailCount;
  if (account.deleteAfterForward && runtime.mailCount > 0 && range.startIndex < runtime.mailCount) {
    deleted = DeleteForwardedMails(ctx, i);
  }
  if (!account.noUidlActive) {
    runtime.startIndex = 0;
  } else {
    RememberHandledPositions(ctx, i, range.startIndex, handledNow, deleted == 1 ? fetchedUpTo : 0);
    WriteNoUidlProgress(runtime, ctx.runtime->maxHeldMails);
  }
  ctx.log->SetStatus(SJIS(u8"待機中.."), StatusIcon::Waiting);
  const std::string now = FormatListTime();
  std::memset(account.lastCheckTime, 0, sizeof account.lastCheckTime);
  std::memcpy(account.lastCheckTime, now.data(), std::min(now.size(), sizeof account.lastCheckTime - 1));
}

}  // namespace

void FwdProc(Context& ctx, int i, MailMessage& message, const MessageSteps& steps) {
  AccountSettings& account = ctx.account(i);
  TransportEnv env = ctx.EnvFor(i);
  ctx.deferredSuspensions.ApplyTo(i, account);
  ResetForwardStatus(ctx, i);
  ++ctx.worker.fwdProcRuns;

  if (account.markAllForwardedNext) {
    MarkAllForwardedNow(ctx, i, env);
    return;
  }
  if (!StateWritable(ctx, i)) return;
  account.noUidlActive = account.noUidl;
  if (ctx.runtimeOf(i).laneFolder.empty()) ctx.convert.encodeHalfwidthKana = account.encodeHalfwidthKana != 0;

  ctx.runtimeOf(i).fetched.clear();
  PendingReceived pending(ctx, i, env);
  CheckRange range;
  if (!ReceiveNewMessages(ctx, i, env, steps, range)) return;
  if (ctx.worker.flags.ShouldStop()) return;
  ResetForwardStatus(ctx, i);
  const std::vector<uint8_t> handledNow = HandleReceived(ctx, i, message, steps, pending, range);
  FinishCheck(ctx, i, range, handledNow);
}

}  // namespace velnora
