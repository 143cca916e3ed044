// Deleting the forwarded messages from the server in a second POP3 session.
#include "engine/forward/fwd_proc.h"
#include "engine/forward/fwd_proc_shared.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/text_format.h"
#include "transport/pop3/pop3_client.h"

namespace velnora {
namespace {

// The POP3 wait before the second session, one second at a time so that the
// watchdog sees the worker alive. False when the worker is asked to stop.
bool PopDelay(Context& ctx, const AccountSettings& account) {
  if (!account.popDelayOn) return true;
  const int total = account.popDelaySec == 0 ? 10 : account.popDelaySec;
  auto& flags = ctx.worker.flags;
  for (int second = 1; second <= total; ++second) {
    if (flags.ShouldStop()) return false;
    ctx.log->SetStatus(Sprintf(SJIS(u8"[%s]POP切断待ち.. %d/%d秒").c_str(), account.accountName, second, total), StatusIcon::Waiting);
    flags.lastActivityTick = platform::TickMs();
    platform::SleepMs(1000, &flags.stopRequested);
    flags.lastActivityTick = platform::TickMs();
  }
  return !flags.ShouldStop();
}

// The message number on the server now that carries `uidl`, or 0.
int NumberOfUidl(const RuntimeTables& tables, std::string_view uidl) {
  if (uidl.empty()) return 0;
  const int end = std::min(int(tables.currentUidls.size()), tables.maxHeldMails);
  for (int p = 0; p < end; ++p) {
    const std::string_view current = tables.CurrentUidl(p);
    if (!current.empty() && current == uidl) return p + 1;
  }
  return 0;
}

}  // namespace

bool IsDeletableResult(Category resultCode, bool includingFiltered) {
  if (includingFiltered) return resultCode != Category::NotHandled;
  // The forwarded outcomes, an answered remote command and the permanent refusal.
  switch (resultCode) {
    case Category::Forwarded:
    case Category::ForwardedWithoutAttachments:
    case Category::ForwardedToPhone:
    case Category::SenderReplaced:
    case Category::RemoteAnswered:
    case Category::Refused550: return true;
    default: return false;
  }
}

int DeleteForwardedMails(Context& ctx, int i) {
  AccountSettings& account = ctx.account(i);
  AccountRuntime& runtime = ctx.runtimeOf(i);
  RuntimeTables& tables = *ctx.runtime;
  TransportEnv env = ctx.Env();
  if (!PopDelay(ctx, account)) return 0;

  const int mailCount = runtime.mailCount;
  if (OpenRcvSession(env, account, runtime) < 0) {
    CloseSession(env, runtime.session, false, &account);
    ctx.log->SetStatus("ERROR: OpenRcvSession.", StatusIcon::Error);
    ctx.log->AddActivity(SJIS(u8"POPサーバーへ接続できません"), Category::ServerNotice, &account);
    return 0;
  }
  runtime.mailCount = mailCount;  // this run's count, not the new login's
  ctx.log->SetStatus(Sprintf(SJIS(u8"[%s] メール削除中..").c_str(), account.accountName), StatusIcon::Connecting);

  // The forwarding-log lines that stop a resend must survive a crash right
  // after the DELE: without them on the disk nothing is deleted.
  if (!ctx.log->SyncForwardingLog()) {
    ctx.log->AddActivity(SJIS(u8"転送履歴をディスクに書き込めないため、サーバーのメールを削除しませんでした。"), Category::ServerNotice, &account);
    CloseSession(env, runtime.session, true, &account);
    return -1;
  }

  const bool includingFiltered = account.deleteIncludingFiltered != 0;
  const int limit = std::min(mailCount, tables.maxHeldMails);
  auto qualifies = [&](int p) {
    return p < int(tables.forwardStatus.size()) &&
           IsDeletableResult(tables.forwardStatus[std::size_t(p)].resultCode, includingFiltered);
  };

  int deleted = 0;
  const bool uidlMode = !account.noUidlActive;
  if (uidlMode && FetchServerUidls(env, account, runtime) != 1) {
    CloseSession(env, runtime.session, false, &account);
    return -1;
  }
  for (int p = 0; p < limit; ++p) {
    if (!qualifies(p)) continue;
    const int number = uidlMode ? NumberOfUidl(tables, SlotText(tables.forwardStatus[std::size_t(p)].uidl)) : p + 1;
    if (number == 0) continue;
    ctx.worker.flags.lastActivityTick = platform::TickMs();
    if (DeleteMessage(env, account, runtime, number) < 0) {
      CloseSession(env, runtime.session, false, &account);
      return -1;
    }
    ++deleted;
  }
  CloseSession(env, runtime.session, true, &account);
  runtime.mailCount = std::max(0, mailCount - deleted);
  runtime.startIndex = uidlMode ? 0 : runtime.mailCount;
  return 1;
}

}  // namespace velnora
