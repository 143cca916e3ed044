// Byte-string tests used throughout the forwarding engine, on Shift_JIS
// (CP932) text. Case is folded for A-Z only, never in the trail byte of a
// double-byte character, so the result does not depend on the locale and
// one Japanese character never matches another. Positions are offsets into
// the first argument; npos when there is no match.
#pragma once

#include <cstddef>
#include <string_view>

namespace velnora {

inline constexpr size_t kNotFound = std::string_view::npos;

// `lowerPrefix` is written in lower case; only `s` is folded.
bool StartsWithNoCase(std::string_view s, std::string_view lowerPrefix);
bool StartsWith(std::string_view s, std::string_view prefix);
bool EndsWith(std::string_view s, std::string_view suffix);
bool EndsWithNoCase(std::string_view s, std::string_view suffix);

// First occurrence, both sides folded.
size_t FindNoCase(std::string_view s, std::string_view pattern);
// Occurrences, a match restarting one byte further (so "aaa" holds "aa" twice).
size_t CountNoCase(std::string_view s, std::string_view pattern);

// The same tests on `s` without space, CR, LF, TAB and double quote, looking
// at the first 254 bytes of that compacted text. The position returned is
// that of the matching byte in `s` itself.
size_t FindNoCaseCompact(std::string_view s, std::string_view pattern);
bool StartsWithNoCaseCompact(std::string_view s, std::string_view lowerPrefix);

}  // namespace velnora
