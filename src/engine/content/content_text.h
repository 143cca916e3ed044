// What the processing of single-part and multipart messages shares: undoing
// a transfer encoding, the transfer code of bytes about to be written, and
// the file name of an attachment, found in any of its header forms and made
// safe to write into a notice.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "convert/charset_code.h"
#include "convert/html_to_text.h"
#include "convert/line_wrap.h"

namespace velnora {

struct AccountSettings;
struct CommonSettings;

// Longest file name taken from a header, in bytes.
inline constexpr std::size_t kMaxFileNameBytes = 997;

// True when `text` holds all six markers of a whole HTML document
// ("<html", "</html>", "<head", "</head>", "<body", "</body>", any case):
// such a text/plain body or part is HTML too.
bool IsHtmlDocument(std::string_view text);

// The account's HTML-to-text switches for a text of charset `code`.
HtmlTextOptions HtmlOptionsFor(const AccountSettings& account, const CommonSettings& common,
                               CharsetCode code);

// The account's line-breaking switches (the citation prefixes view into
// `account`).
LineBreakOptions LineBreakOptionsFor(const AccountSettings& account);

// UTF-8 and UTF-7 text brought into the local code page; returns the code
// of the text, the old one when it is another set or the conversion fails.
CharsetCode ToLocalCodePage(std::string& text, CharsetCode code);

// The body as its sender meant it: quoted-printable (transfer code 3) or
// Base64 (4) undone in a copy; any other code returns the body unchanged.
std::string DecodeTransfer(std::string_view body, int transferCode);

// The transfer code for bytes about to be written: 7bit only when every
// byte is below 0x80, else 8bit.
int TransferCodeOfBytes(std::string_view bytes);

// The file name that the header lines give an attachment: RFC 2231
// "filename*=" (with continuations) first, then "filename=", then the
// Content-Type's "name*=" and "name=", quoted or not. An RFC 2231 value
// comes back as one encoded-word, so that every form decodes the same way.
// Empty when no name is given; at most kMaxFileNameBytes.
std::string FileNameParameter(std::string_view headerLines);

struct FileName {
  std::string text;                        // decoded, without control characters
  CharsetCode code = charset::kUsAscii;    // the set of `text`
};

// The name decoded (encoded-words, Unicode brought into the local code
// page where possible) with CR, LF, NUL, ESC and every other control byte
// replaced by "_", so it can neither end a line nor open a part.
FileName DecodeFileName(std::string_view rawName);

// The decoded name in the form a notice carries it: Shift_JIS text as
// ISO-2022-JP, plain ASCII labelled us-ascii, anything else in its own set.
FileName NoticeFileName(const FileName& name);

}  // namespace velnora
