#include "platform/codepage_win.h"

#include <gtest/gtest.h>

namespace velnora::platform {
namespace {

TEST(CodepageWin, OemCodePageIsJapanese) { EXPECT_EQ(GetOEMCP(), 932u); }

struct WideCase {
  const char* name;
  unsigned codePage;
  std::string bytes;
  std::u16string wide;
};

TEST(CodepageWin, DecodesEachSupportedCodePage) {
  const WideCase cases[] = {
      {"utf8", kCodePageUtf8, "a\xE3\x81\x82", u"a\u3042"},
      {"utf8 emoji as surrogate pair", kCodePageUtf8, "\xF0\x9F\x98\x80", u"\U0001F600"},
      {"utf7", kCodePageUtf7, "a+MEI-", u"a\u3042"},
      {"cp932 with NEC circled one", kCodePageShiftJis, "\x82\xA0\x87\x40", u"\u3042\u2460"},
      {"iso-2022-jp", kCodePageIso2022Jp, "\x1B$B$\"\x1B(Bx", u"\u3042x"},
  };
  for (const auto& c : cases) {
    auto wide = MultiByteToWideChar(c.codePage, c.bytes);
    ASSERT_TRUE(wide.has_value()) << c.name;
    EXPECT_EQ(*wide, c.wide) << c.name;
  }
}

TEST(CodepageWin, MalformedBytesBecomeReplacementCharacter) {
  auto wide = MultiByteToWideChar(kCodePageUtf8, "a\xC3(b\xE3\x81");
  ASSERT_TRUE(wide.has_value());
  EXPECT_EQ(wide->front(), u'a');
  EXPECT_NE(wide->find(u'\uFFFD'), std::u16string::npos);
  EXPECT_NE(wide->find(u"(b"), std::u16string::npos);
}

TEST(CodepageWin, EncodesAndSubstitutesDefaultCharacter) {
  EXPECT_EQ(WideCharToMultiByte(kCodePageShiftJis, u"\u3042A"), std::string("\x82\xA0" "A"));
  EXPECT_EQ(WideCharToMultiByte(kCodePageUtf8, u"\u3042"), std::string("\xE3\x81\x82"));
  // An emoji has no CP932 form: the default character stands in.
  auto local = WideCharToMultiByte(kCodePageShiftJis, u"x\U0001F600y");
  ASSERT_TRUE(local.has_value());
  EXPECT_EQ(local->front(), 'x');
  EXPECT_EQ(local->back(), 'y');
  EXPECT_NE(local->find('?'), std::string::npos);
  // ISO-2022-JP output returns to ASCII before the substitute and at the end.
  auto jis = WideCharToMultiByte(kCodePageIso2022Jp, u"\u3042\U0001F600");
  ASSERT_TRUE(jis.has_value());
  EXPECT_EQ(*jis, std::string("\x1B$B$\"\x1B(B?"));
}

TEST(CodepageWin, UnknownCodePageIsRefused) {
  EXPECT_FALSE(MultiByteToWideChar(1252, "a").has_value());
  EXPECT_FALSE(WideCharToMultiByte(1252, u"a").has_value());
}

}  // namespace
}  // namespace velnora::platform

namespace velnora::platform {
namespace {

TEST(CodepageWin, DirectConversionBetweenCodePages) {
  EXPECT_EQ(ConvertCodePage(kCodePageShiftJis, kCodePageIso2022Jp, "\x82\xA0" "a"),
            std::string("\x1B$B$\"\x1B(Ba"));
  EXPECT_EQ(ConvertCodePage(kCodePageIso2022Jp, kCodePageShiftJis, "\x1B$B$\"\x1B(Ba"), std::string("\x82\xA0" "a"));
  EXPECT_FALSE(ConvertCodePage(kCodePageShiftJis, 437, "a").has_value());
}

}  // namespace
}  // namespace velnora::platform
