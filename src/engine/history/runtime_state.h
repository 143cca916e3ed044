// Putting the state that decides what is new on the disk: the UIDL store,
// saved after each account whose list changed and, within a long account,
// often enough that trimming the forwarding log can never drop the record
// of a message whose UIDL is not yet saved. While that state cannot be
// written (a full disk) the accounts stop sending: what they forwarded
// could not be recognised afterwards.
#pragma once

namespace velnora {

class Context;
struct AccountSettings;

// Saves the UIDL store when some list changed (`force`: in any case, as a
// test that the folder takes writes again). False after an error entry.
bool SaveRuntimeState(Context& ctx, const AccountSettings* account, bool force = false);

// "Unforward now": the account's records leave the forwarding log and its
// stored UIDL list is emptied and saved at once, so every message on its
// server is new at the next check. False (after telling the user) when the
// log or the store could not be written.
bool UnforwardAccount(Context& ctx, int i);

// Whether account `i` may forward now: true unless a write of its state
// failed and still fails (then an error entry tells so).
bool StateWritable(Context& ctx, int i);

// Forwarding-log lines after which an account's forwarding saves the UIDL
// store: a quarter of historyLimit, so that a trim (which keeps at least
// half of it) cannot drop a record whose UIDL is not on the disk even over
// two interrupted passes. 0 when the log is not trimmed.
long StateSaveInterval(const Context& ctx);

}  // namespace velnora
