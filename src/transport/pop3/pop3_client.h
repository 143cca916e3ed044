// The POP3 side of a check: log-in (USER/PASS or APOP), STAT, the UIDL
// listing, the decision which messages are new, fetching them into
// temporary files byte for byte, and deleting. One function per command
// exchange (pop3_commands.h); every reply from the server is bounded and
// checked.
#pragma once

#include <string>

#include "config/account_settings.h"
#include "transport/account_runtime.h"
#include "transport/pop3/pop3_commands.h"
#include "transport/transport_env.h"

namespace velnora {

// How a fetch of the new messages ended.
enum class FetchResult {
  Complete,       // fetched what was due; the session is in order
  EndedEarly,     // a fetch failed or the limit was reached; the rest follows next time
  NoUidlListing,  // no usable UIDL listing: nothing fetched
};

// "$vnrmail%d.vnr" in the env's temporary folder, for a 1-based message number.
std::string ReceivedMailPath(const TransportEnv& env, int number);

// The account's pause before another POP3 session to its server (popDelayOn,
// popDelaySec; 10 s when 0), counted in the status. False when the worker is
// asked to stop meanwhile.
bool PopSessionDelay(TransportEnv& env, const AccountSettings& account);

// Connect, greeting, log-in, STAT. The message count (>= 0), or -1. On -1
// the session may still be open; the caller closes it.
int OpenRcvSession(TransportEnv& env, const AccountSettings& account, AccountRuntime& runtime);

// Lists UIDLs, decides what is new and fetches it (open session needed).
FetchResult ReceiveMailFromHost(TransportEnv& env, const AccountSettings& account,
                        AccountRuntime& runtime);

// "UIDL" into the current UIDL table of env.tables. 1 or -1.
int FetchServerUidls(TransportEnv& env, const AccountSettings& account, AccountRuntime& runtime);

// Stores the whole current listing as already seen (own session). 1 or -1.
int MarkAllAsForwarded(TransportEnv& env, const AccountSettings& account,
                       AccountRuntime& runtime);

// Deletes every message on the server (own session). 1, 0 (open failed) or -1.
int DeleteAllMails(TransportEnv& env, const AccountSettings& account, AccountRuntime& runtime);

// What a deletion of the handled messages did.
struct HandledDeletion {
  int deleted = 0;  // handled messages deleted
  int kept = 0;     // messages left because no check has handled them yet
};

// Deletes (own session) only the messages whose UIDL the stored list holds,
// so mail that arrived after the last check stays for the next run. 1 done,
// 0 the session could not be opened, -1 a failure (the server keeps every
// message of an unfinished session), 2 not done: the account works
// without UIDLs, so nothing tells handled mail from new.
int DeleteHandledMails(TransportEnv& env, const AccountSettings& account, AccountRuntime& runtime,
                       HandledDeletion& done);

// "DELE n" and its reply on an open session: 1 deleted, 0 refused by the
// server, -1 transfer failure.
int DeleteMessage(TransportEnv& env, const AccountSettings& account, AccountRuntime& runtime,
                  int number);

}  // namespace velnora
