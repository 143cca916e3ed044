#include "transport/smtp/smtp_pop_before.h"

#include <cstring>
#include <memory>

#include "platform/codepage.h"
#include "report/time_stamps.h"
#include "transport/account_runtime.h"
#include "transport/account_session.h"
#include "transport/field_text.h"
#include "transport/pop3/pop3_client.h"
#include "transport/smtp/smtp_command.h"

namespace velnora {

bool PopBeforeSmtp(TransportEnv& env, const AccountSettings& account) {
  // A record of its own, zero but for what the log-in needs, so nothing of
  // the account's POP3 side is touched.
  auto pop = std::make_unique<AccountSettings>();
  std::memcpy(pop->accountName, account.accountName, sizeof pop->accountName);
  std::memcpy(pop->popUser, account.pbsUser, sizeof account.pbsUser);
  std::memcpy(pop->popPassword, account.pbsPassword, sizeof account.pbsPassword);
  std::memcpy(pop->popServer, account.pbsServer, sizeof account.pbsServer);
  pop->popPort = account.pbsPort;
  pop->popSsl = account.pbsSsl;
  // The account's POP3 security: STLS unless the server is reached over SSL.
  pop->popStartTls = account.pbsSsl ? 0 : account.popStartTls;
  pop->useApop = account.pbsApop;
  pop->nonBlocking = account.nonBlocking;
  pop->tlsNoVerify = account.tlsNoVerify;  // the account's servers are trusted alike
  AccountRuntime runtime;

  LogSessionBanner(env, account, "<POP before SMTP>");
  SessionCloser closer(env, runtime.session, account);
  if (OpenRcvSession(env, *pop, runtime) < 0) {
    env.log.SetStatus("ERROR: OpenRcvSession(before SMTP).", StatusIcon::Error);
    env.log.AddActivity(SJIS(u8"SMTP送信の前のPOP認証に失敗しました"), Category::ServerNotice, &account);
    return false;
  }
  closer.InOrder();
  return true;
}

}  // namespace velnora
