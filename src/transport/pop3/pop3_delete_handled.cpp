// Deleting at quit: only what a check has handled, matched by UIDL.
#include <string_view>
#include <unordered_set>

#include "platform/codepage.h"
#include "transport/account_session.h"
#include "transport/pop3/pop3_client.h"

namespace velnora {

int DeleteHandledMails(TransportEnv& env, const AccountSettings& account, AccountRuntime& runtime,
                       HandledDeletion& done) {
  done = {};
  if (account.noUidlActive || !env.tables) return 2;
  SessionCloser closer(env, runtime.session, account);
  const int mailCount = OpenRcvSession(env, account, runtime);
  if (mailCount < 0) {
    ReportOpenFailure(env.log, account, OpenFailure::Receive);
    return 0;
  }
  if (FetchServerUidls(env, account, runtime) != 1) return -1;
  ShowAccountStatus(env, &account, SJIS(u8" メール削除中.."), StatusIcon::Connecting);

  std::unordered_set<std::string_view> handled;
  for (int p = 0; p < runtime.storedCount(); ++p) {
    if (const std::string_view uidl = runtime.StoredUidl(p); !uidl.empty()) handled.insert(uidl);
  }
  for (int number = 1; number <= mailCount; ++number) {
    if (env.flags.ShouldStop()) break;
    const std::string_view uidl = runtime.CurrentUidl(number - 1);
    if (uidl.empty() || !handled.contains(uidl)) {
      ++done.kept;
      continue;
    }
    const int answer = DeleteMessage(env, account, runtime, number);
    if (answer < 0) return -1;
    ++(answer > 0 ? done.deleted : done.kept);
  }
  closer.InOrder();
  closer.Close();
  runtime.mailCount = runtime.startIndex = 0;
  return 1;
}

}  // namespace velnora
