#include "engine/byte_strings.h"

#include <gtest/gtest.h>

namespace velnora {
namespace {

TEST(ByteStringsTest, PrefixAndSuffixTests) {
  EXPECT_TRUE(StartsWithNoCase("SUBJECT: x", "subject:"));
  EXPECT_TRUE(StartsWithNoCase("Subject:", "subject:"));
  EXPECT_FALSE(StartsWithNoCase("Subject", "subject:"));  // shorter than the prefix
  EXPECT_FALSE(StartsWithNoCase("X-Subject: x", "subject:"));
  EXPECT_FALSE(StartsWithNoCase("\xC4" "a", "\xE4" "a"));  // only A-Z are folded

  EXPECT_TRUE(StartsWith("Re: x", "Re:"));
  EXPECT_FALSE(StartsWith("re: x", "Re:"));
  EXPECT_TRUE(EndsWith("file.vnr", ".vnr"));
  EXPECT_FALSE(EndsWith("file.VNR", ".vnr"));
  EXPECT_FALSE(EndsWith("nr", ".vnr"));
  EXPECT_TRUE(EndsWithNoCase("file.VNR", ".vnr"));
  EXPECT_TRUE(EndsWithNoCase("file.vnr", ".VnR"));
  EXPECT_FALSE(EndsWithNoCase("vnr", "x.vnr"));
}

TEST(ByteStringsTest, FindAndCount) {
  EXPECT_EQ(FindNoCase("Hello World", "WORLD"), 6u);
  EXPECT_EQ(FindNoCase("Hello", "hello!"), kNotFound);
  EXPECT_EQ(FindNoCase("abc", "d"), kNotFound);
  EXPECT_EQ(FindNoCase("", "a"), kNotFound);
  EXPECT_EQ(CountNoCase("aAa", "aa"), 2u);  // a match restarts one byte further
  EXPECT_EQ(CountNoCase("Spam spam SPAM", "spam"), 3u);
  EXPECT_EQ(CountNoCase("abc", ""), 0u);
  EXPECT_EQ(CountNoCase("ab", "abc"), 0u);
}

TEST(ByteStringsTest, CompactTestsIgnoreBlanksAndQuotes) {
  EXPECT_TRUE(StartsWithNoCaseCompact(" \"Free\r\n\tMoney\"", "freemoney"));
  EXPECT_FALSE(StartsWithNoCaseCompact("Free-Money", "freemoney"));
  // The position is that of the matching byte in the original text.
  EXPECT_EQ(FindNoCaseCompact("a b  \"C\"d", "cd"), 6u);
  EXPECT_EQ(FindNoCaseCompact("x y", "z"), kNotFound);
}

TEST(ByteStringsTest, CompactCopyIsCutAt254Bytes) {
  std::string text(253, 'a');
  text += " bc";
  EXPECT_EQ(FindNoCaseCompact(text, "ab"), 252u);  // 'b' is the 254th kept byte
  EXPECT_EQ(FindNoCaseCompact(text, "bc"), kNotFound);
  EXPECT_EQ(FindNoCase(text, "bc"), 254u);
}

}  // namespace
}  // namespace velnora
