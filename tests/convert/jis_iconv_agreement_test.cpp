// The arithmetic conversion against the system's ISO-2022-JP and CP932
// converters, cell by cell over the JIS X 0208 area.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "convert/jis_arithmetic.h"
#include "convert/jis_convert.h"
#include "platform/codepage_win.h"

namespace velnora {
namespace {

using platform::kCodePageIso2022Jp;
using platform::kCodePageShiftJis;

std::string JisCell(int j1, int j2) {
  return std::string("\x1B$B") + static_cast<char>(j1) + static_cast<char>(j2) + "\x1B(B";
}

std::string SjisOf(BytePair p) { return {static_cast<char>(p.first), static_cast<char>(p.second)}; }

// Cells where CP932 decodes the Shift_JIS code to a different Unicode
// character than the JIS table uses (the JIS and Microsoft tables
// disagree), which plain ISO-2022-JP cannot encode. The arithmetic keeps
// the code, which is what a Japanese mail reader expects.
const std::set<int> kUnicodeTableDifferences = {
    0x2141,  // WAVE DASH U+301C vs FULLWIDTH TILDE U+FF5E
    0x2142,  // DOUBLE VERTICAL LINE U+2016 vs PARALLEL TO U+2225
    0x215D,  // MINUS SIGN U+2212 vs FULLWIDTH HYPHEN-MINUS U+FF0D
    0x2171,  // CENT SIGN U+00A2 vs FULLWIDTH CENT SIGN U+FFE0
    0x2172,  // POUND SIGN U+00A3 vs FULLWIDTH POUND SIGN U+FFE1
    0x224C,  // NOT SIGN U+00AC vs FULLWIDTH NOT SIGN U+FFE2
};

TEST(JisIconvAgreement, JisToSjisAgreesOnEveryStandardCharacter) {
  int standard = 0;
  std::set<int> differing;
  for (int j1 = 0x21; j1 <= 0x7E; ++j1) {
    for (int j2 = 0x21; j2 <= 0x7E; ++j2) {
      auto wide = platform::MultiByteToWideChar(kCodePageIso2022Jp, JisCell(j1, j2));
      ASSERT_TRUE(wide.has_value());
      if (wide->size() != 1 || (*wide)[0] == u'\uFFFD') continue;  // not a JIS X 0208 character
      ++standard;
      auto viaIconv = platform::WideCharToMultiByte(kCodePageShiftJis, *wide);
      ASSERT_TRUE(viaIconv.has_value());
      std::string arithmetic = SjisOf(JisPairToSjis(static_cast<unsigned char>(j1), static_cast<unsigned char>(j2)));
      std::vector<char> dest(8);
      JisToSjis(JisCell(j1, j2), std::span<char>(dest));
      EXPECT_EQ(std::string(dest.data()), arithmetic);
      if (*viaIconv != arithmetic) differing.insert(j1 << 8 | j2);
    }
  }
  EXPECT_EQ(standard, 6879);  // the JIS X 0208:1990 repertoire
  // The system's CP932 encoder accepts both Unicode forms of these cells.
  EXPECT_TRUE(differing.empty());
}

TEST(JisIconvAgreement, SjisToJisAgreesOnEveryStandardCharacter) {
  std::set<int> differing;
  int standard = 0;
  for (int j1 = 0x21; j1 <= 0x7E; ++j1) {
    for (int j2 = 0x21; j2 <= 0x7E; ++j2) {
      auto wide = platform::MultiByteToWideChar(kCodePageIso2022Jp, JisCell(j1, j2));
      if (!wide || wide->size() != 1 || (*wide)[0] == u'\uFFFD') continue;
      ++standard;
      std::string sjis = SjisOf(JisPairToSjis(static_cast<unsigned char>(j1), static_cast<unsigned char>(j2)));
      auto unicode = platform::MultiByteToWideChar(kCodePageShiftJis, sjis);
      ASSERT_TRUE(unicode.has_value());
      auto viaIconv = platform::WideCharToMultiByte(kCodePageIso2022Jp, *unicode);
      ASSERT_TRUE(viaIconv.has_value());
      std::vector<char> dest(16);
      SjisToJis(sjis, std::span<char>(dest), ConvertOptions{});
      EXPECT_EQ(std::string(dest.data()), JisCell(j1, j2));
      if (*viaIconv != JisCell(j1, j2)) differing.insert(j1 << 8 | j2);
    }
  }
  EXPECT_EQ(standard, 6879);
  EXPECT_EQ(differing, kUnicodeTableDifferences);
}

// NEC row 13 and the NEC-selected IBM rows are CP932 extensions that plain
// ISO-2022-JP cannot carry; the arithmetic still gives them JIS codes (rows
// 13 and 89 to 92), as mail programs on Windows expect.
TEST(JisIconvAgreement, VendorExtensionsDifferOnPurpose) {
  const std::pair<std::string, std::string> cases[] = {
      {"\x87\x40", JisCell(0x2D, 0x21)},  // circled one
      {"\x87\x82", JisCell(0x2D, 0x62)},  // numero sign
      {"\xED\x40", JisCell(0x79, 0x21)},  // NEC-selected IBM extension
  };
  for (const auto& [sjis, jis] : cases) {
    auto unicode = platform::MultiByteToWideChar(kCodePageShiftJis, sjis);
    ASSERT_TRUE(unicode.has_value());
    auto viaIconv = platform::WideCharToMultiByte(kCodePageIso2022Jp, *unicode);
    EXPECT_NE(viaIconv, jis);
    std::vector<char> dest(16);
    SjisToJis(sjis, std::span<char>(dest), ConvertOptions{});
    EXPECT_EQ(std::string(dest.data()), jis);
  }
}

}  // namespace
}  // namespace velnora
