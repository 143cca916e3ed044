// Decoding and re-encoding of header text for the lines that composition
// rewrites (addresses, subject, sender information), on std::string so that
// no result is cut at a fixed buffer size.
#pragma once

#include <string>
#include <string_view>

#include "convert/charset_code.h"
#include "convert/convert_options.h"

namespace velnora {

struct DecodedText {
  std::string text;  // local code page, or the bytes of `code`
  CharsetCode code = charset::kUsAscii;
};

// The value with its encoded-words decoded (DecodeHeaderText).
DecodedText DecodeHeaderValue(std::string_view value, bool convertUnicode);

// The text as one encoded-word of `code`, or unchanged for codes without one.
std::string EncodeHeaderValue(std::string_view text, CharsetCode code, const ConvertOptions& options);

// A header line without the line end that closes it (folds inside stay).
std::string_view WithoutLineEnd(std::string_view line);

// The text after the header name and its colon; the whole text without one.
std::string_view AfterHeaderName(std::string_view line);

std::string RemoveCrLf(std::string_view text);

// The text with no line break but folds (CR LF before a space or tab): any
// other CR or LF becomes a space. A received line cannot then end the
// forwarded header early or start a header line of its own, whichever way
// the wire turns a lone CR or LF into a line end.
std::string FoldSafe(std::string_view text);

// A received header line as it is written: fold-safe, with CR LF; "" for an
// absent line.
std::string HeaderLine(std::string_view line);

}  // namespace velnora
