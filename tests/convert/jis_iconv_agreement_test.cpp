// The arithmetic conversion against the system's ISO-2022-JP and CP932
// converters, cell by cell over the JIS X 0208 area.
#include <gtest/gtest.h>

#include <map>
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

// The IBM extensions (lead bytes 0xFA to 0xFC) go out as the JIS code of
// their twin: the first code in the rows the arithmetic carries that the
// system's CP932 converter decodes to the same character. The character
// after one is kept, and converting back gives that twin.
TEST(JisIconvAgreement, IbmExtensionsGoOutAsTheirTwin) {
  std::map<std::u16string, std::string> twinOf;
  for (int lead = 0x81; lead <= 0xEF; ++lead) {
    if (lead > 0x9F && lead < 0xE0) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      const std::string code = SjisOf({static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)});
      auto wide = platform::MultiByteToWideChar(kCodePageShiftJis, code);
      if (wide && wide->size() == 1 && (*wide)[0] != u'\uFFFD') twinOf.emplace(*wide, code);
    }
  }
  int extensions = 0;
  for (int lead = 0xFA; lead <= 0xFC; ++lead) {
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      const std::string code = SjisOf({static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)});
      auto wide = platform::MultiByteToWideChar(kCodePageShiftJis, code);
      ASSERT_TRUE(wide.has_value());
      if (wide->size() != 1 || (*wide)[0] == u'\uFFFD') continue;
      ++extensions;
      SCOPED_TRACE(::testing::Message() << std::hex << lead << ' ' << trail);
      const auto twin = twinOf.find(*wide);
      ASSERT_NE(twin, twinOf.end());
      std::vector<char> jis(32);
      SjisToJis(code + "A", std::span<char>(jis), ConvertOptions{});
      const std::string out(jis.data());
      ASSERT_EQ(out.size(), 3u + 2u + 3u + 1u);
      EXPECT_EQ(out.substr(0, 3), "\x1B$B");
      for (unsigned char b : out.substr(3, 2)) EXPECT_TRUE(b >= 0x21 && b <= 0x7E);
      EXPECT_EQ(out.substr(5), "\x1B(BA");
      std::vector<char> back(32);
      JisToSjis(out, std::span<char>(back));
      EXPECT_EQ(std::string(back.data()), twin->second + "A");
    }
  }
  EXPECT_EQ(extensions, 388);

  // "＂見積＂の件": the quotation marks are JIS 0x7C7E, the kanji as the
  // system's ISO-2022-JP converter writes them.
  auto plain = platform::ConvertCodePage(kCodePageShiftJis, kCodePageIso2022Jp,
                                         "\x8C\xA9\x90\xCF\x82\xCC\x8C\x8F");  // 見積の件
  ASSERT_TRUE(plain.has_value());
  ASSERT_EQ(plain->size(), 3u + 8u + 3u);
  const std::string kanji = plain->substr(3, 8);
  std::vector<char> jis(64);
  SjisToJis("\xFA\x57\x8C\xA9\x90\xCF\xFA\x57\x82\xCC\x8C\x8F", std::span<char>(jis), ConvertOptions{});
  EXPECT_EQ(std::string(jis.data()),
            "\x1B$B\x7C\x7E" + kanji.substr(0, 4) + "\x7C\x7E" + kanji.substr(4) + "\x1B(B");
}

}  // namespace
}  // namespace velnora
