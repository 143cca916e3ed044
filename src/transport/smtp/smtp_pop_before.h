// POP before SMTP: a short POP3 log-in with the account's separate
// credentials that opens the SMTP server for the connection that follows.
#pragma once

#include "config/account_settings.h"
#include "transport/transport_env.h"

namespace velnora {

// Logs in to pbsServer and closes again (QUIT after success). 1 or -1.
bool PopBeforeSmtp(TransportEnv& env, const AccountSettings& account);

}  // namespace velnora
