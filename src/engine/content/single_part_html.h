// The text of a single-part HTML message: an ordinary account with part
// processing and HTML to text forwards what the page says, not its markup.
#pragma once

#include <string_view>

namespace velnora {

struct AccountSettings;
struct CommonSettings;
struct MailMessage;

// For an account without feature-phone mode, with `partProcessing` and
// `htmlToText` on: decodes an HTML body (layout 2, or layout 1 holding a
// whole document) by its transfer code, converts it to text and keeps the
// text in `convertedBody`; the layout becomes plain text, and the charset
// and transfer code describe the bytes of the text. Any other message is
// left as it is.
void ConvertSinglePartHtml(MailMessage& message, const AccountSettings& account,
                           const CommonSettings& common);

}  // namespace velnora
