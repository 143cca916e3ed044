#include <gtest/gtest.h>

#include "convert/charset_code.h"
#include "convert/charset_detect.h"
#include "convert/charset_labels.h"
#include "convert_test_util.h"

namespace velnora {
namespace {

TEST(CharsetCode, LeadBytesBySet) {
  struct Case {
    int byte;
    CharsetCode code;
    bool lead;
  };
  const Case cases[] = {
      {0x81, 1, true},   {0x9F, 1, true},   {0xA0, 1, false}, {0xE0, 1, true},  {0xEF, 1, true},
      {0xF0, 1, false},  {0xFC, 1, false},  {0x80, 1, false}, {0xB1, 1, false}, {0x81, 13, true},
      {0xA1, 5, true},   {0xFE, 6, true},   {0x81, 44, false}, {0xFF, 45, false}, {0xA1, 7, false},
      {0x81, 7, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsLeadByte(static_cast<unsigned char>(c.byte), c.code), c.lead) << c.byte << " in " << c.code;
  }
}

TEST(CharsetCode, DerivedProperties) {
  for (CharsetCode c : {5, 6, 7, 8, 10, 11, 41, 42, 43, 44, 45, 48}) EXPECT_TRUE(IsOtherCjkCharset(c)) << c;
  for (CharsetCode c : {1, 2, 9, 12, 13, 14, 46, 60, 99}) EXPECT_FALSE(IsOtherCjkCharset(c)) << c;
  EXPECT_EQ(CodePageOf(2), 50220u);
  EXPECT_EQ(CodePageOf(13), 65001u);
  EXPECT_EQ(CodePageOf(12), 932u);
  EXPECT_EQ(CodePageOf(1), 932u);
  const std::pair<unsigned, CharsetCode> pages[] = {{437, 14}, {865, 14}, {720, 19}, {869, 20}, {775, 17},
                                                    {866, 46}, {857, 22}, {862, 21}, {874, 59}, {936, 6},
                                                    {1361, 8}, {950, 5}, {932, 1}, {1252, 1}};
  for (const auto& [page, code] : pages) EXPECT_EQ(CharsetOfCodePage(page), code) << page;
  EXPECT_EQ(CharsetOfSystemCodePage(), 1);
  const std::pair<int, int> lengths[] = {{0x00, 1}, {0x7F, 1}, {0x80, 0}, {0xC1, 0}, {0xC2, 2},
                                         {0xDF, 2}, {0xE0, 3}, {0xEF, 3}, {0xF0, 4}, {0xF7, 4}, {0xF8, 0}};
  for (const auto& [b, n] : lengths) EXPECT_EQ(Utf8SequenceLength(static_cast<unsigned char>(b)), n) << b;
}

TEST(CharsetFromContentType, LabelsAndFallbacks) {
  const std::pair<std::string, CharsetCode> cases[] = {
      {"text/plain; charset=ISO-8859-15", 28},
      {"text/plain; charset=iso-8859-1", 14},
      {"text/plain; CHARSET=Shift_JIS", 1},
      {"text/plain; charset=x-sjis", 1},
      {"text/plain; charset=windows-1252", 9},
      {"text/plain; charset=windows-1250", 51},
      {"text/plain; charset=windows-1258", 58},
      {"text/plain; charset=gb18030", 44},
      {"text/plain; charset=koi8-u", 47},
      {"text/plain; charset=utf-8", 13},
      {"text/plain; charset=UTF-7", 12},
      {"text/plain; charset=\"utf-8\"", 100},
      {"text/plain; charset=\"utf-8\" \x1B$B$\"\x1B(B", 2},
      {"text/plain; charset=\"utf-8\" \x82\xA0", 1},
      {"charset=us-ascii", 100},
      {"text/plain; format=flowed; charset=utf-8; x=charset=iso-2022-jp", 2},  // label order wins
  };
  for (const auto& [text, code] : cases) EXPECT_EQ(CharsetFromContentType(text), code) << text;
  EXPECT_EQ(CharsetFromContentType(std::nullopt), 99);
}

TEST(CharsetFromLabel, BareLabels) {
  const std::pair<std::string, CharsetCode> cases[] = {
      {"hz-gb-2312", 7}, {"GB2312", 6},          {"us-ascii", 60}, {"iso-8859-16", 29}, {"iso-2022-cn", 48},
      {"x-sjis", 1},     {"text/plain; charset=\"UTF-8\"", 13}, {"windows-874", 59}, {"latin1", 99},
  };
  for (const auto& [text, code] : cases) EXPECT_EQ(CharsetFromLabel(text), code) << text;
  EXPECT_EQ(CharsetFromLabel(std::nullopt), 99);
}

TEST(CharsetDetect, BytesOfJapaneseText) {
  EXPECT_TRUE(LooksLikeSjis("abc\x82\xA0"));
  EXPECT_FALSE(LooksLikeSjis("abc\x82\x20\x82\xA0"));
  EXPECT_FALSE(LooksLikeSjis("plain"));
  EXPECT_FALSE(LooksLikeSjis("\xB1\xB2"));  // half-width kana alone hold no pair
  EXPECT_FALSE(LooksLikeSjis("abc\x82"));   // a lead byte at the very end is ignored
  EXPECT_TRUE(LooksLikeSjis("\x82\xA0\x82"));
  EXPECT_TRUE(HasJisEscape("a\x1B(Bb"));
  EXPECT_FALSE(HasJisEscape("a\x1B"));
  EXPECT_FALSE(HasJisEscape("a\x1B" "A"));
  EXPECT_EQ(GuessJapaneseCharset("\x1B$B$\"\x1B(B"), 2);
  EXPECT_EQ(GuessJapaneseCharset("\x82\xA0"), 1);
  EXPECT_EQ(GuessJapaneseCharset("abc"), 99);
  EXPECT_EQ(GuessJapaneseCharset(std::nullopt), 99);
}

TEST(CharsetLabelOf, OutputLabels) {
  const std::pair<CharsetCode, std::string> cases[] = {
      {1, "shift_jis"}, {2, "iso-2022-jp"}, {9, "windows-1252"}, {14, "iso-8859-1"}, {29, "iso-8859-16"},
      {44, "gb18030"},  {48, "iso-2022-cn"}, {51, "windows-1250"}, {53, "windows-1253"}, {58, "windows-1258"},
      {59, "windows-874"}, {60, "us-ascii"}, {13, "utf-8"},
  };
  for (const auto& [code, label] : cases) EXPECT_EQ(CharsetLabelOf(code), label) << code;
  for (CharsetCode code : {0, 3, 71, 99, 100}) EXPECT_EQ(CharsetLabelOf(code), "") << code;
}

TEST(EncodedWordLabels, TableAndMatching) {
  EXPECT_EQ(EncodedWordLabels().size(), 51u);
  EXPECT_EQ(MatchEncodedWordLabel("ISO-8859-10?Q?x"), 25);  // row of iso-8859-10, not iso-8859-1
  EXPECT_EQ(EncodedWordLabels()[25].code, 23);
  EXPECT_EQ(EncodedWordLabels()[MatchEncodedWordLabel("gb18030?B?")].code, 6);
  EXPECT_EQ(MatchEncodedWordLabel("utf-8"), -1);  // no "?" after the label
  EXPECT_EQ(MatchEncodedWordLabel("latin1?Q?"), -1);
  EXPECT_NE(MatchEncodedWordLabel("shift_jis?B?"), MatchEncodedWordLabel("x-sjis?B?"));
}

}  // namespace
}  // namespace velnora
