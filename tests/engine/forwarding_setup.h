// The set-up the forwarding tests share: a context over a fresh settings
// table in a test folder, and an account aimed at loopback servers.
#pragma once

#include <memory>
#include <string_view>

#include "config/common_settings.h"
#include "config/settings_defaults.h"
#include "engine/context.h"
#include "report/activity_log.h"
#include "report/reporter.h"
#include "support/temp_folder.h"
#include "support/test_text.h"
#include "transport/account_runtime.h"

namespace velnora::testing {

// Fresh settings with a time-out of `timeoutSec` and the session log on, the
// runtime tables, and an activity log in `folder` that does not wait before
// it tries to open a file again.
inline void PrepareForwardingContext(Context& ctx, Reporter& reporter, const TempFolder& folder,
                                     int timeoutSec) {
  MakeFreshTable(*ctx.settings, {});
  ctx.common().customTimeout = 1;
  ctx.common().timeoutSec = timeoutSec;
  ctx.common().sessionLog = 1;
  ctx.runtime = std::make_unique<RuntimeTables>(kMinHeldMails);
  ctx.tempFolder = folder.path();
  ctx.log = std::make_unique<ActivityLog>(reporter, ctx.common(), folder.File("velnora_.log"),
                                          folder.File("velnora_session.log"));
  ctx.log->SetOpenRetry(1, 0);
}

// Enables `a` against POP3 and SMTP servers on 127.0.0.1 with the given
// log-in, without the program's pauses.
inline AccountSettings& LoopbackAccount(AccountSettings& a, std::string_view name, std::string_view user,
                                        std::string_view password) {
  a.enabled = 1;
  SetText(a.accountName, name);
  SetText(a.popServer, "127.0.0.1");
  SetText(a.popUser, user);
  SetText(a.popPassword, password);
  SetText(a.smtpServer, "127.0.0.1");
  a.noRecvDelay = 1;
  a.noSendDelay = 1;
  return a;
}

}  // namespace velnora::testing
