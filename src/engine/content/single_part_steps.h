// The steps that single-part processing in ordinary and feature-phone mode
// share.
#pragma once

#include <string>
#include <string_view>

#include "convert/charset_code.h"

namespace velnora {

struct AccountSettings;
struct CommonSettings;
struct MailMessage;

// `oversizeKb` × 1024 is less than the message's size.
bool IsOversize(const MailMessage& message, const AccountSettings& account);

// Layout 2, or a text body holding a whole HTML document.
bool HasHtmlBody(const MailMessage& message);

// The body goes out as `text` in `code`, as one plain text part whose
// transfer code follows its bytes (Base64 when `base64`).
void SetTextBody(MailMessage& message, std::string text, CharsetCode code, bool base64 = false);

// An attachment that is not forwarded: "--REMOVED_FILE--" and its name,
// "(FILE_REMOVED)", or a bare line end, by what the body has room for.
// A body of 4 bytes or less stays; false then.
bool ReplaceRemovedFile(MailMessage& message, const AccountSettings& account);

// An image that is not forwarded: "(IMAGE_REMOVED)" or a bare line end.
bool ReplaceRemovedImage(MailMessage& message, const AccountSettings& account);

// The decoded body with UTF-8 and UTF-7 brought into the local code page;
// `code` follows the text (unchanged when the conversion fails).
std::string DecodedLocalText(const MailMessage& message, CharsetCode& code);

bool ProcessPhoneSinglePart(MailMessage& message, const AccountSettings& account,
                            const CommonSettings& common);

}  // namespace velnora
