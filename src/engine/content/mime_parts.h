// What each part of a split multipart body is (text, HTML, a file), what
// its name, charset and transfer encoding are, and the small text tests
// that the rebuilding of the body shares.
#pragma once

#include <string>
#include <string_view>

#include "convert/charset_code.h"
#include "engine/content/mime_split.h"

namespace velnora {

struct AccountSettings;

// Fills kind, attachment flag, raw file name, charset and transfer code of
// every part. A part is an attachment when its disposition says so or when
// it has any name parameter (RFC 2231 forms included); a part that is
// neither text nor HTML counts as a file too, so its removal is noted. A
// part without a Content-Type is plain text (RFC 2046).
void AnalyseParts(std::string_view body, MimePartTable& table, const AccountSettings& account);

// True when the text holds a byte other than space, CR and LF.
bool HasVisibleText(std::string_view text);

// True for the charsets whose text needs 8-bit transport: 5 to 7, 9, 10,
// 13 to 29, 44 to 48, 51 to 59.
bool Needs8bit(CharsetCode code);

// The text without quoted-printable soft line breaks ("=" CR LF and "=" LF CR).
std::string RemoveSoftBreaks(std::string_view text);

// The decoded file name ends, without regard to case, with one of the first
// 20 space-separated entries of `keepExtensions`, or an entry is "*".
bool KeptByExtension(const AccountSettings& account, std::string_view decodedName);

// The charset of an HTML part whose header names none: its meta tag, else a
// label in the message's Content-Type; `code` when it names one.
CharsetCode SettledHtmlCharset(CharsetCode code, std::string_view html, std::string_view messageType);

}  // namespace velnora
