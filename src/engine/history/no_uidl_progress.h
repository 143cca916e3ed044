// Without UIDLs only positions mark a message as handled. The account's
// stored UIDL list is free in that mode: it keeps a marker in the slot of
// each handled position, so that a new process (velnora-cli run --once from
// a timer) goes on where the last one ended instead of reading the mailbox
// from its first message again, which with a fetch limit never got past the
// first few messages.
#pragma once

#include "transport/account_runtime.h"

namespace velnora {

// startIndex and handledBeyondStart from the markers of a loaded store.
void ReadNoUidlProgress(AccountRuntime& runtime, int maxHeld);

// The markers for startIndex and handledBeyondStart, changing only the
// slots that differ (an unchanged list is not saved again).
void WriteNoUidlProgress(AccountRuntime& runtime, int maxHeld);

}  // namespace velnora
