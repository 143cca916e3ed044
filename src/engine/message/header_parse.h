// Splitting a loaded message into header and body and indexing the header
// lines that the later stages read. Works in place: header lines are
// terminated with NUL in the buffer and the fields are views into it.
#pragma once

#include "engine/message/mail_message.h"

namespace velnora {

// The header ends at the first blank line, or before the first line that is
// not a header field (a name and a colon) nor a continuation: from that line
// on the text is the body, so mail without a header block keeps its text.
// When every line is a header field, `body` stays null. The POP3 end line
// has already been removed by the loader, so the body is kept whole.
void ParseMailContent(MailMessage& message);

}  // namespace velnora
