// Splitting a loaded message into header and body and indexing the header
// lines that the later stages read. Works in place: header lines are
// terminated with NUL in the buffer and the fields are views into it.
#pragma once

#include "engine/mail_message.h"

namespace velnora {

// The header ends at the first blank line; without one the whole text is
// header and `body` stays null. The POP3 end line has already been removed
// by the loader, so the body is kept whole.
void ParseMailContent(MailMessage& message);

}  // namespace velnora
