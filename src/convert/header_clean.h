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
std::size_t RemoveTabs(std::span<char> text);         // drops every TAB

}  // namespace velnora
