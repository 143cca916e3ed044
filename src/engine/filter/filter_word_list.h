// Splitting the filter texts of an account into the words that are searched
// for in the header lines.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace velnora {

// Most words taken from one condition list.
inline constexpr std::size_t kMaxFilterWords = 400;
// Most addresses taken from the always-forward list.
inline constexpr std::size_t kMaxAlwaysForwardWords = 20;
// Most destinations compared by the bounce check.
inline constexpr std::size_t kMaxBounceAddresses = 100;
// Filter texts are read up to this many bytes.
inline constexpr std::size_t kMaxFilterText = 4096;

// Words separated by spaces; a double-quoted phrase is one word (a quote
// left open runs to the end). Empty words are dropped, at most `max` are
// kept, and the double quotes are removed from each.
std::vector<std::string> SplitList(std::string_view text, std::size_t max);

// Words separated by single spaces, without quote handling; empty words are
// dropped, at most `max` are kept.
std::vector<std::string> SplitAtSpaces(std::string_view text, std::size_t max);

}  // namespace velnora
