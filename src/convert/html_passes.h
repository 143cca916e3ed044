// The steps of HtmlToText, each one linear pass from a text to a new text.
#pragma once

#include <string>
#include <string_view>

#include "convert/charset_code.h"
#include "convert/html_to_text.h"

namespace velnora::html {

// Tags become line breaks, decorations, link texts or nothing; style,
// script, noscript and comments vanish; outside <pre> runs of white space
// become one space. `code` is the set of the text (for where characters
// end and which are double-byte).
std::string ConvertTags(std::string_view html, CharsetCode code, const HtmlTextOptions& options);

// Numeric and named character references written in the set `code`
// (1 Shift_JIS, 13 UTF-8, 9 and 14 Latin-1, else ASCII stand-ins).
// `wroteNonAscii` tells whether a reference wrote a byte of 0x80 or more.
std::string ResolveReferences(std::string_view text, CharsetCode code, bool& wroteNonAscii);

// UTF-8 spaces of other widths become one space; invisible joiners and
// variation selectors go.
std::string NormalizeUnicodeSpaces(std::string_view text);

// Line ends become CR LF; spaces and tabs at the start and spaces at the end
// of each line go; leading empty lines go and runs of empty lines become one.
// The text ends with CR LF.
std::string CleanLines(std::string_view text);

}  // namespace velnora::html
