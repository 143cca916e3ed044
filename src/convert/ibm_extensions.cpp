#include "convert/ibm_extensions.h"

#include <iterator>

namespace velnora {
namespace {

// Shift_JIS trail bytes: 0x40..0x7E and 0x80..0xFC, 188 to a lead byte.
constexpr int kTrailsPerLead = 188;

int TrailIndex(unsigned char trail) {
  if (trail >= 0x40 && trail <= 0x7E) return trail - 0x40;
  if (trail >= 0x80 && trail <= 0xFC) return trail - 0x41;
  return -1;
}

unsigned char TrailAt(int index) {
  return static_cast<unsigned char>(index < 0x3F ? index + 0x40 : index + 0x41);
}

// 0xFA40..0xFA5B: small and capital Roman numerals and symbols, in order.
constexpr BytePair kSymbolTwins[] = {
    {0xEE, 0xEF}, {0xEE, 0xF0}, {0xEE, 0xF1}, {0xEE, 0xF2}, {0xEE, 0xF3},  // ⅰ..ⅴ
    {0xEE, 0xF4}, {0xEE, 0xF5}, {0xEE, 0xF6}, {0xEE, 0xF7}, {0xEE, 0xF8},  // ⅵ..ⅹ
    {0x87, 0x54}, {0x87, 0x55}, {0x87, 0x56}, {0x87, 0x57}, {0x87, 0x58},  // Ⅰ..Ⅴ
    {0x87, 0x59}, {0x87, 0x5A}, {0x87, 0x5B}, {0x87, 0x5C}, {0x87, 0x5D},  // Ⅵ..Ⅹ
    {0x81, 0xCA},                                                          // ￢
    {0xEE, 0xFA}, {0xEE, 0xFB}, {0xEE, 0xFC},                              // ￤ ＇ ＂
    {0x87, 0x8A}, {0x87, 0x82}, {0x87, 0x84},                              // ㈱ № ℡
    {0x81, 0xE6},                                                          // ∵
};
constexpr int kSymbolCount = static_cast<int>(std::size(kSymbolTwins));
// The 360 kanji that follow (0xFA5C..0xFC4B) are the NEC-selected rows
// 0xED40..0xEEEC in the same order.
constexpr int kKanjiCount = 360;
constexpr unsigned char kNecSelectedFirstLead = 0xED;

}  // namespace

std::optional<BytePair> IbmExtensionTwin(unsigned char lead, unsigned char trail) {
  const int column = TrailIndex(trail);
  if (lead < kIbmExtensionFirstLead || lead > kIbmExtensionLastLead || column < 0) {
    return std::nullopt;
  }
  const int index = (lead - kIbmExtensionFirstLead) * kTrailsPerLead + column;
  if (index < kSymbolCount) return kSymbolTwins[index];
  const int kanji = index - kSymbolCount;
  if (kanji >= kKanjiCount) return std::nullopt;
  return BytePair{static_cast<unsigned char>(kNecSelectedFirstLead + kanji / kTrailsPerLead),
                  TrailAt(kanji % kTrailsPerLead)};
}

}  // namespace velnora
