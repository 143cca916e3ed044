// Breaking of long lines for narrow displays without splitting a character:
// the width comes from the account, double-byte text breaks at the width,
// other text at a space after it, and cited lines keep their prefix.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "convert/charset_code.h"

namespace velnora {

// The account settings that shape line breaking.
struct LineBreakOptions {
  bool noAutoCrlf = true;              // no breaks of its own: the width is 2048
  bool phoneMode = false;
  bool phoneInsertLineBreaks = false;  // with phoneMode: break at phoneLineBreakBytes
  int phoneLineBreakBytes = 40;
  bool phoneRemoveCitations = false;   // with phoneMode: continuation lines repeat the citation
  std::string_view phoneCitationPrefixes = "> |";  // space-separated
};

// The citation prefixes in effect: none unless phoneMode and
// phoneRemoveCitations are on; at most 20, each at most 255 bytes.
std::vector<std::string_view> CitationPrefixes(const LineBreakOptions& options);

// The first prefix `line` starts with, or an empty view.
std::string_view CitationPrefixOf(std::span<const std::string_view> prefixes, std::string_view line);

// Writes `text` to `output` with long lines broken and returns the set of
// the output: ISO-2022-JP comes out as Shift_JIS; UTF-8 and UTF-7 text and
// text without long lines come out unchanged. A broken text ends with a
// line end. Nothing is ever cut.
CharsetCode WrapLongLines(std::string_view text, std::string& output, CharsetCode code, const LineBreakOptions& options);

}  // namespace velnora
