// The first look at the content of a message that the filters let through:
// its layout, character set and transfer encoding, which the part
// processing and the composition start from.
#pragma once

#include <string_view>

#include "config/account_settings.h"
#include "engine/message/mail_message.h"

namespace velnora {

// Layout codes (`partLayout`) decided here.
inline constexpr int kLayoutText = 1;
inline constexpr int kLayoutHtml = 2;
inline constexpr int kLayoutPartial = 94;
inline constexpr int kLayoutAsIs = 98;

// Transfer codes (`bodyEncoding`).
inline constexpr int kTransfer7bit = 1;
inline constexpr int kTransfer8bit = 2;
inline constexpr int kTransferQuotedPrintable = 3;
inline constexpr int kTransferBase64 = 4;

// Transfer code of a Content-Transfer-Encoding line: 4 base64,
// 3 quoted-printable, 1 7bit, 2 8bit, 99 anything else.
int TransferCodeOf(std::string_view encodingLine);

// Sets partLayout, contentCharset and bodyEncoding from the Content-Type,
// Content-Disposition and Content-Transfer-Encoding lines; for a
// feature-phone account an inline Content-Disposition is dropped. Returns
// true for a multipart message (one with a boundary).
bool ClassifyContent(MailMessage& message, const AccountSettings& account);

}  // namespace velnora
