// The JIS X 0208 <-> Shift_JIS arithmetic. No tables and no range checks:
// any pair maps, vendor rows of Shift_JIS included, and the two directions
// are inverse on the 94 x 94 JIS area.
#pragma once

#include <cstdint>

namespace velnora {

struct BytePair {
  unsigned char first;
  unsigned char second;
};

constexpr BytePair JisPairToSjis(unsigned char j1, unsigned char j2) {
  unsigned s1 = ((static_cast<unsigned>(j1) - 0x21u) >> 1) + 0x81u;
  if ((s1 & 0xFFu) > 0x9Fu) s1 += 0x40u;
  unsigned s2;
  if (j1 & 1u) {
    s2 = static_cast<unsigned>(j2) + 0x1Fu;
    if ((s2 & 0xFFu) >= 0x7Fu) s2 += 1u;  // Shift_JIS trail bytes skip 0x7F
  } else {
    s2 = static_cast<unsigned>(j2) + 0x7Eu;
  }
  return {static_cast<unsigned char>(s1 & 0xFFu), static_cast<unsigned char>(s2 & 0xFFu)};
}

constexpr BytePair SjisPairToJis(unsigned char s1, unsigned char s2) {
  unsigned lead = s1 >= 0xE0 ? s1 - 0x40u : s1;
  unsigned j1 = (lead - 0x81u) * 2u + 0x21u;
  unsigned j2;
  if (s2 >= 0x9F) {
    j1 += 1u;
    j2 = s2 - 0x7Eu;
  } else {
    j2 = s2 - 0x1Fu;
    if (s2 >= 0x80) j2 -= 1u;
  }
  return {static_cast<unsigned char>(j1 & 0xFFu), static_cast<unsigned char>(j2 & 0xFFu)};
}

}  // namespace velnora
