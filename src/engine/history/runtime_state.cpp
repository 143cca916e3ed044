#include "engine/history/runtime_state.h"

#include <algorithm>

#include "engine/context.h"
#include "engine/forward/fwd_proc_shared.h"
#include "engine/history/history.h"
#include "platform/codepage.h"
#include "transport/account_session.h"
#include "transport/uidl/uidl_store.h"

namespace velnora {

bool SaveRuntimeState(Context& ctx, const AccountSettings* account, bool force) {
  RuntimeTables& tables = *ctx.runtime;
  {
    std::lock_guard lock(tables.saveMutex);
    if (force) tables.accounts[0].MarkChanged();
    if (SaveUidlStore(tables, ctx.location.UidlStorePath())) {
      tables.stateUnsaved = false;
      return true;
    }
  }
  TransportEnv env = ctx.Env();
  SessionLog(env, "****: the UIDL store could not be saved\r\n");
  ++tables.writeFailures;
  tables.stateUnsaved = true;
  ctx.log->AddActivity(SJIS(u8"UIDLの保存ファイルに書き込めませんでした。ディスクの空き容量を確認してください。書き込めるようになるまで転送を見合わせます。"), Category::ServerNotice, account);
  return false;
}

bool StateWritable(Context& ctx, int i) {
  if (!ctx.runtime->stateUnsaved) return true;
  return SaveRuntimeState(ctx, &ctx.account(i), true);
}

long StateSaveInterval(const Context& ctx) {
  const CommonSettings& common = ctx.settings->common;
  if (!common.trimHistory || common.historyLimit <= 0) return 0;
  return std::max(1L, long(common.historyLimit) / 4);
}

bool UnforwardAccount(Context& ctx, int i) {
  AccountSettings& account = ctx.account(i);
  if (!RemoveAccountHistory(account, *ctx.log)) {
    ctx.log->AddActivity(SJIS(u8"転送履歴を書き換えられないため、未転送に戻せませんでした。"), Category::ServerNotice, &account);
    return false;
  }
  AccountRuntime& runtime = ctx.runtimeOf(i);
  for (int p = 0; p < runtime.storedCount(); ++p) runtime.ClearStoredUidl(p);
  runtime.SetStoredCount(0);
  runtime.MarkChanged();
  runtime.startIndex = 0;
  runtime.handledBeyondStart.clear();
  return SaveRuntimeState(ctx, &account, true);
}

}  // namespace velnora
