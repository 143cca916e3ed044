// Plain text from an HTML part: one left-to-right scan over the tags, then
// the character references, then tidy lines. Every step is linear and
// writes into growable strings, so no text is ever cut.
#pragma once

#include <string>
#include <string_view>

#include "convert/charset_code.h"

namespace velnora {

// The account settings that shape the conversion.
struct HtmlTextOptions {
  bool htmlToText = false;       // the account converts HTML to text (links need it)
  bool extractLinks = false;     // link targets as "[ url ]" on a line of their own
  bool extractTitles = false;    // title attributes of links and images as "( title ) "
  bool extractImageAlt = false;  // image alt texts as "( alt ) "
  bool htmlUseUtf8 = true;       // UTF-8 HTML stays UTF-8 instead of becoming Shift_JIS
  bool htmlBase64 = true;        // UTF-8 results leave Base64-encoded
  bool diagnosticMarker = false; // append the "[CS=...]" line (a developer option)
};

struct HtmlText {
  std::string text;
  CharsetCode charset = charset::kNone;  // the set the bytes of `text` are in
  bool base64 = false;                   // `text` is Base64 in lines of 72 characters
};

// Converts `html`, whose character set is `code` (99 or 100 when unknown: a
// meta tag's charset then counts), to text in Shift_JIS, in UTF-8 when
// `htmlUseUtf8` keeps UTF-8, or in the input's own set.
HtmlText HtmlToText(std::string_view html, CharsetCode code, const HtmlTextOptions& options);

}  // namespace velnora
