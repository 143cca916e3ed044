// Deleting the forwarded messages from the server in a second POP3 session.
#include "engine/forward/fwd_proc.h"
#include "engine/forward/fwd_proc_shared.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/text_format.h"
#include "transport/account_session.h"
#include "transport/pop3/pop3_client.h"

namespace velnora {
namespace {

// The message number on the server now that carries `uidl`, or 0.
int NumberOfUidl(const RuntimeTables& tables, const AccountRuntime& runtime, std::string_view uidl) {
  if (uidl.empty()) return 0;
  const int end = std::min(int(runtime.currentUidls.size()), tables.maxHeldMails);
  for (int p = 0; p < end; ++p) {
    const std::string_view current = runtime.CurrentUidl(p);
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
  TransportEnv env = ctx.EnvFor(i);
  if (!PopSessionDelay(env, account)) return 0;

  const int mailCount = runtime.mailCount;
  SessionCloser closer(env, runtime.session, account);
  if (OpenRcvSession(env, account, runtime) < 0) {
    ReportOpenFailure(env.log, account, OpenFailure::Receive);
    return 0;
  }
  runtime.mailCount = mailCount;  // this run's count, not the new login's
  ShowAccountStatus(env, &account, SJIS(u8" メール削除中.."), StatusIcon::Connecting);

  // The forwarding-log lines that stop a resend must survive a crash right
  // after the DELE: without them on the disk nothing is deleted.
  if (!ctx.log->SyncForwardingLog()) {
    ctx.log->AddActivity(SJIS(u8"転送履歴をディスクに書き込めないため、サーバーのメールを削除しませんでした。"), Category::ServerNotice, &account);
    closer.InOrder();
    return -1;
  }

  const bool includingFiltered = account.deleteIncludingFiltered != 0;
  const int limit = std::min(mailCount, tables.maxHeldMails);
  auto qualifies = [&](int p) {
    return p < int(runtime.forwardStatus.size()) &&
           IsDeletableResult(runtime.forwardStatus[std::size_t(p)].resultCode, includingFiltered);
  };

  int deleted = 0;
  const bool uidlMode = !account.noUidlActive;
  if (uidlMode && FetchServerUidls(env, account, runtime) != 1) return -1;
  for (int p = 0; p < limit; ++p) {
    if (!qualifies(p)) continue;
    const int number = uidlMode ? NumberOfUidl(tables, runtime, SlotText(runtime.forwardStatus[std::size_t(p)].uidl)) : p + 1;
    if (number == 0) continue;
    ctx.worker.flags.lastActivityTick = platform::TickMs();
    if (DeleteMessage(env, account, runtime, number) < 0) return -1;
    ++deleted;
  }
  closer.InOrder();
  closer.Close();
  runtime.mailCount = std::max(0, mailCount - deleted);
  runtime.startIndex = uidlMode ? 0 : runtime.mailCount;
  return 1;
}

}  // namespace velnora
