// The IBM extensions of CP932 (lead bytes 0xFA to 0xFC) have no place in
// the JIS X 0208 arithmetic. Every one of them is also in CP932 under
// another code: in JIS X 0208 itself (¬, ∵), in NEC row 13 (Ⅰ, ㈱, №) or
// among the NEC-selected IBM extensions (rows 0xED and 0xEE: ⅰ, ＂, 髙, 﨑),
// which the arithmetic carries as JIS rows 89 to 92. Converting through that
// twin keeps the character whole when it goes out as ISO-2022-JP.
#pragma once

#include <optional>

#include "convert/jis_arithmetic.h"

namespace velnora {

inline constexpr unsigned char kIbmExtensionFirstLead = 0xFA;
inline constexpr unsigned char kIbmExtensionLastLead = 0xFC;

// The Shift_JIS twin of the IBM extension `lead` `trail` (the code that
// CP932 decodes to the same character, JIS X 0208 and NEC row 13 before
// the NEC-selected rows); nothing for any other pair.
std::optional<BytePair> IbmExtensionTwin(unsigned char lead, unsigned char trail);

}  // namespace velnora
