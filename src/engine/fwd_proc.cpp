#include "engine/fwd_proc.h"

#include <algorithm>
#include <cstring>

#include "engine/fwd_proc_shared.h"
#include "engine/message_load.h"
#include "config/settings_file.h"
#include "engine/temp_files.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/text_format.h"
#include "report/time_stamps.h"
#include "transport/pop3_client.h"
#include "transport/smtp_client.h"

namespace velnora {
namespace {

void ResetForwardStatus(RuntimeTables& tables) {
  tables.forwardStatus.assign(std::size_t(tables.maxHeldMails), ForwardStatus{kNotHandled, UidlSlot{}});
}

// The one-shot flags (markAllForwardedNext, overflowNotified) go to the
// settings file as soon as they change: a reload of the file at the next
// check, or a restart after a kill, must not bring the old value back (a
// second "mark all" would hide the mail that arrived in between).
void SaveChangedFlag(Context& ctx, int i) {
  if (SaveSettings(*ctx.settings, ctx.location) == SaveResult::Saved) return;
  ctx.log->AddActivity(SJIS(u8"設定ファイルを保存できませんでした。"), 4, &ctx.account(i));
}

// Step 2: the whole mailbox becomes "already forwarded"; nothing is forwarded
// in this run.
void MarkAllForwardedNow(Context& ctx, int i, TransportEnv& env) {
  AccountSettings& account = ctx.account(i);
  AccountRuntime& runtime = ctx.runtimeOf(i);
  ctx.log->AddActivity(SJIS(u8"「全メールを転送済にする（実行後自動リセット）」が有効になっています。"), 4, &account);
  if (account.noUidlActive) {
    runtime.startIndex = runtime.mailCount;
    account.markAllForwardedNext = 0;
    SaveChangedFlag(ctx, i);
  } else {
    runtime.startIndex = 0;
    if (MarkAllAsForwarded(env, account, runtime) == 1) {
      account.markAllForwardedNext = 0;
      SaveChangedFlag(ctx, i);
      ctx.log->AddActivity(SJIS(u8"全メールを転送済にしました。「全メールを転送済にする」オプションはリセットしました。"), 4, &account);
    } else {
      CloseSession(env, runtime.session, false, &account);
      ctx.log->AddActivity(SJIS(u8"接続エラーが発生しました。「全メールを転送済にする」オプションはリセットされません。"), 4, &account);
    }
  }
  ctx.log->SetStatus(SJIS(u8"待機中.."), 4);
}

// Step 5: more messages than the UIDL list can hold. True when forwarding of
// the account is suspended for this run.
bool MailboxOverflows(Context& ctx, int i, TransportEnv& env, const MessageSteps& steps) {
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
  CloseSession(env, runtime.session, true, &account);
  if (!account.overflowNotified) {
    const std::string text =
        Sprintf(SJIS(u8"メールボックスのメール数が、Velnoraの最大メール保持数設定(%d)を超えています。").c_str(), maxHeld);
    ctx.log->SetStatus(text, 5);
    ctx.log->AddActivity(text, 4, &account);
    if (OpenSendSession(env, account, runtime.session) < 0) {
      CloseSession(env, runtime.session, false, &account);
      ctx.log->SetStatus(SJIS(u8"待機中.."), 4);
      return true;
    }
    const int greet = SmtpGreet(env, account, runtime.session);
    if (greet < 0) {
      ctx.log->SetStatus("ERROR: Smtp: HELO/EHLO", 5);
      ctx.log->AddActivity(SJIS(u8"SMTPサーバーへ接続できません"), 4, &account);
      CloseSession(env, runtime.session, false, &account);
    } else if (greet == 0) {
      CloseSession(env, runtime.session, true, &account);
    } else {
      // Only a notice that the server accepted counts: otherwise the next
      // check tries again.
      const bool sent = steps.overflowNotice &&
                        SendMessageText(env, account, runtime.session, steps.overflowNotice(ctx, i, text)) == kSmtpSent;
      CloseSession(env, runtime.session, true, &account);
      if (sent) {
        account.overflowNotified = 1;
        SaveChangedFlag(ctx, i);
      }
    }
  }
  ctx.log->SetStatus(SJIS(u8"待機中.."), 4);
  return true;
}

int PositionOf(const AccountSettings& account, int k, int mailCount) {
  return account.reversePopOrder ? mailCount - 1 - k : k;
}

// A message that was not handled is fetched again at the next check.
void MarkForRetry(Context& ctx, int i, int m) {
  if (m < 0 || m >= ctx.runtime->maxHeldMails) return;
  if (!ctx.account(i).noUidlActive) ctx.runtimeOf(i).ClearStoredUidl(m);
  ctx.runtime->forwardStatus[std::size_t(m)].resultCode = kNotHandled;
}

}  // namespace

void FwdProc(Context& ctx, int i, MailMessage& message, const MessageSteps& steps) {
  AccountSettings& account = ctx.account(i);
  AccountRuntime& runtime = ctx.runtimeOf(i);
  RuntimeTables& tables = *ctx.runtime;
  TransportEnv env = ctx.Env();
  const int maxHeld = tables.maxHeldMails;

  ResetForwardStatus(tables);
  ++ctx.worker.fwdProcRuns;

  if (account.markAllForwardedNext) {
    MarkAllForwardedNow(ctx, i, env);
    return;
  }
  account.noUidlActive = account.noUidl;
  const bool uidlMode = !account.noUidlActive;
  ctx.convert.encodeHalfwidthKana = account.encodeHalfwidthKana != 0;

  const int count = OpenRcvSession(env, account, runtime);
  if (count < 0) {
    CloseSession(env, runtime.session, false, &account);
    ctx.log->SetStatus("ERROR: OpenRcvSession.", 5);
    ctx.log->AddActivity(SJIS(u8"POPサーバーへ接続できません"), 4, &account);
    return;
  }
  SetServerMailCount(ctx, i, count);
  if (MailboxOverflows(ctx, i, env, steps)) return;

  if (uidlMode) {
    runtime.startIndex = 0;
    if (runtime.mailCount == 0) runtime.SetStoredCount(0);
  } else if (runtime.mailCount < runtime.startIndex) {
    runtime.startIndex = 0;
    ctx.log->AddActivity(SJIS(u8"サーバーのメールボックスの状態が更新されています　すべてのメールをスキャンします"), 3, &account);
  }
  const int startIndex = runtime.startIndex;

  if (runtime.mailCount > startIndex) {
    if (ctx.worker.flags.ShouldStop()) {
      SessionLog(ctx, "####:FwdProc 1 Abort forwarding!\r\n");
      CloseSession(env, runtime.session, true, &account);
      return;
    }
    const int received = ReceiveMailFromHost(env, account, runtime);
    if (received == RETVAL_NOERROR) {
      SessionLog(ctx, "####:ReceiveMailFromHost=RETVAL_NOERROR\r\n");
      CloseSession(env, runtime.session, true, &account);
    } else if (received == RETVAL_RECV0) {
      SessionLog(ctx, "####:ReceiveMailFromHost=RETVAL_RECV0\r\n");
      CloseSession(env, runtime.session, false, &account);
    } else {
      SessionLog(ctx, "####:ReceiveMailFromHost=RETVAL_UIDLERR\r\n");
      CloseSession(env, runtime.session, false, &account);
      return;
    }
  } else {
    CloseSession(env, runtime.session, true, &account);
  }

  if (ctx.worker.flags.ShouldStop()) return;
  ResetForwardStatus(tables);

  const int mailCount = runtime.mailCount;
  int k = startIndex;
  bool stopped = false;
  int firstRetry = -1;  // the first position whose message must be tried again
  for (; k < mailCount; ++k) {
    ctx.worker.flags.lastActivityTick = platform::TickMs();
    if (ctx.worker.flags.ShouldStop()) {
      SessionLog(ctx, "####:FwdProc 2 Abort forwarding!\r\n");
      stopped = true;
      break;
    }
    const int m = PositionOf(account, k, mailCount);
    const bool due = !uidlMode || m >= maxHeld || (std::size_t(m) < runtime.isNew.size() && runtime.isNew[std::size_t(m)]);
    if (!due) continue;

    FreeMessage(message);
    message.index = m;
    const std::string path = ReceivedMailPath(env, m + 1);
    if (LoadMessageFile(path, message, *ctx.log, account) != LoadStatus::Loaded) {
      // Not lost: the message stays on the server and is fetched again.
      MarkForRetry(ctx, i, m);
      if (firstRetry < 0) firstRetry = k;
      ctx.log->AddActivity(SJIS(u8"受信したメールを読み込めませんでした。このメールは次回のチェックで再度受信します。"), 4, &account);
      continue;
    }
    message.index = m;  // the loader starts from a cleared message
    ctx.log->SetStatus(Sprintf(SJIS(u8"[%s] メール処理中..  (%d/%d)").c_str(), account.accountName, k, mailCount), 4);

    const int r = ForwardOneMessage(ctx, i, message, 0, steps);
    if (m < maxHeld) {
      ForwardStatus& status = tables.forwardStatus[std::size_t(m)];
      if (uidlMode) status.uidl = MakeSlot(runtime.StoredUidl(m));
      if (r == kMessageHandled) {
        status.resultCode = int16_t(message.resultCode);
      } else if (r == kMessageRefused) {
        message.resultCode = 21;
        status.resultCode = 21;
        ctx.log->AddMessageActivity(ActivityOf(message, runtime.statCount), account);
      } else {
        MarkForRetry(ctx, i, m);
      }
    }
    if (r != kMessageHandled && r != kMessageRefused && firstRetry < 0) firstRetry = k;
    FreeMessage(message);
    RemoveTempFile(path);
  }

  if (stopped) {
    if (firstRetry < 0) firstRetry = k;
    for (; k < mailCount; ++k) MarkForRetry(ctx, i, PositionOf(account, k, mailCount));
  }

  int deleted = -1;
  if (account.deleteAfterForward && runtime.mailCount > 0 && startIndex < runtime.mailCount) {
    deleted = DeleteForwardedMails(ctx, i);
  }
  if (uidlMode || (account.deleteAfterForward && account.deleteIncludingFiltered)) {
    runtime.startIndex = 0;
  } else {
    runtime.startIndex = runtime.mailCount;
    if (firstRetry >= 0 && !account.reversePopOrder) {
      // Without UIDLs only the position marks a message as new: the next
      // check starts at the first one that was not handled (what follows it
      // and was handled is stopped by duplicate prevention), counted after
      // the deletions below it.
      int deletedBelow = 0;
      for (int p = 0; deleted == 1 && p < std::min(firstRetry, maxHeld); ++p) {
        if (IsDeletableResult(tables.forwardStatus[std::size_t(p)].resultCode, account.deleteIncludingFiltered != 0)) {
          ++deletedBelow;
        }
      }
      runtime.startIndex = std::max(0, std::min(runtime.startIndex, firstRetry - deletedBelow));
    }
  }
  ctx.log->SetStatus(SJIS(u8"待機中.."), 4);
  const std::string now = FormatListTime();
  std::memset(account.lastCheckTime, 0, sizeof account.lastCheckTime);
  std::memcpy(account.lastCheckTime, now.data(), std::min(now.size(), sizeof account.lastCheckTime - 1));
}

}  // namespace velnora
