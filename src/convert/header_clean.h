// In-place cleaning of header values before decoding and comparing. Each
// takes a buffer holding NUL-terminated text and returns the new length.
#pragma once

#include <cstddef>
#include <span>

namespace velnora {

std::size_t RemoveLineBreaks(std::span<char> text);   // drops every CR and LF
std::size_t TabsToSpaces(std::span<char> text);
std::size_t CollapseSpaces(std::span<char> text);     // a run of spaces becomes one
std::size_t JoinAdjacentWords(std::span<char> text);  // "?= =?" becomes "?==?"
std::size_t RemoveTabs(std::span<char> text);
std::size_t RemoveSpaces(std::span<char> text);
std::size_t RemoveChar(std::span<char> text, char drop);
std::size_t StripTrailingChar(std::span<char> text, char last);
std::size_t RemoveQuotedText(std::span<char> text);   // drops "..." with its quotes
std::size_t RemoveComments(std::span<char> text);     // drops (...) with its parentheses, no nesting

}  // namespace velnora
