#include "platform/codepage.h"

#include <gtest/gtest.h>

namespace velnora::platform {
namespace {

TEST(Codepage, LiteralBecomesShiftJis) {
  // 情報 in CP932
  EXPECT_EQ(SJIS(u8"情報"), std::string("\x8F\xEE\x95\xF1"));
  EXPECT_EQ(SJIS(u8"ASCII"), "ASCII");
}

TEST(Codepage, RoundTripThroughUtf8KeepsVendorCharacters) {
  // NEC row 13 circled one (0x8740) and IBM extension 0xFA40 are CP932 only.
  const std::string cp932 = "\x87\x40\xFA\x40\x82\xA0";
  std::string back;
  ASSERT_TRUE(Utf8ToCp932(Cp932ToUtf8(cp932), back));
  EXPECT_EQ(back, cp932);
}

TEST(Codepage, InvalidBytesBecomeReplacementAndUnconvertibleFails) {
  EXPECT_EQ(Cp932ToUtf8("a\x81"), "a\xEF\xBF\xBD");
  std::string out;
  EXPECT_FALSE(Utf8ToCp932("\xF0\x9F\x98\x80", out));  // emoji has no CP932 form
}

}  // namespace
}  // namespace velnora::platform
