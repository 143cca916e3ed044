// Composition of the forwarded message: CreateSentMailFile turns one
// received message, after filtering and content processing, into the part
// files "$vnrdiv<n>.vnr" that the SMTP client sends unchanged. Each file is
// the envelope control line (the original sender for MAIL FROM), the header
// lines in their fixed order, an empty line, and the body ending in CR LF.
#pragma once

#include "engine/compose/compose_input.h"

namespace velnora {

class Context;
struct MailMessage;

// Composes the message of account `accountIndex` into part files in the
// context's temporary folder and sets `message.partNumber` to their number.
// Returns 1 when every part was written; 0 when the message cannot be
// composed (no memory, a part file that cannot be written): then
// `partNumber` is 0, no part file of it is left, and the message must not be
// counted as forwarded. `flags` and `mode` are accepted for the callers'
// sake and not used.
int CreateSentMailFile(Context& ctx, MailMessage& message, int accountIndex, int flags, int mode);

// The same with every input named.
int ComposeSentMail(ComposeInput& input, MailMessage& message);

// The dates and random tag of a composition happening now.
ComposeStamps CurrentStamps();

}  // namespace velnora
