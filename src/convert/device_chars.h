// Replacement of machine-dependent Shift_JIS characters (NEC row 13 and a
// few symbols) by portable ones, for feature phones that lack them.
#pragma once

#include <span>

namespace velnora {

// Overwrites the two-byte character at `pair` with its portable form when it
// is one of the machine-dependent characters. Returns true when replaced.
bool ReplaceDeviceChar(std::span<char, 2> pair);

}  // namespace velnora
