#include "engine/message/byte_strings.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "convert/ascii_case.h"
#include "platform/codepage_win.h"

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

// A CP932 character, or nothing when the system's converter does not know
// the two bytes as one character.
std::optional<std::string> Cp932Character(int lead, int trail) {
  const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
  const auto wide = platform::MultiByteToWideChar(platform::kCodePageShiftJis, bytes);
  if (!wide || wide->size() != 1 || (*wide)[0] == u'\uFFFD') return std::nullopt;
  return bytes;
}

// Every double-byte character whose trail byte is an upper-case letter has a
// twin whose trail byte is the same letter in lower case ("ア" 0x83 0x41 and
// "ヂ" 0x83 0x61): no case-insensitive test may take one for the other.
TEST(ByteStringsTest, TrailBytesAreNeverFolded) {
  int pairs = 0;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    for (int trail = 'A'; trail <= 'Z'; ++trail) {
      const auto upper = Cp932Character(lead, trail);
      const auto lower = Cp932Character(lead, trail + ('a' - 'A'));
      if (!upper || !lower) continue;
      ++pairs;
      SCOPED_TRACE(::testing::Message() << std::hex << lead << ' ' << trail);
      EXPECT_EQ(FindNoCase(*lower, *upper), kNotFound);
      EXPECT_EQ(FindNoCase("x" + *upper, *lower), kNotFound);
      EXPECT_EQ(CountNoCase(*lower + *upper, *upper), 1u);
      EXPECT_FALSE(StartsWithNoCase(*upper + "x", *lower));
      EXPECT_FALSE(EndsWithNoCase("x" + *lower, *upper));
      EXPECT_EQ(FindNoCaseCompact(" " + *lower, *upper), kNotFound);
      EXPECT_EQ(FindLower(*upper, *lower), std::string_view::npos);
      EXPECT_FALSE(StartsWithLower(*upper, *lower));
      // ASCII after the character is still folded.
      EXPECT_EQ(FindNoCase(*upper + "SUBJECT", "subject"), 2u);
    }
  }
  EXPECT_GE(pairs, 1022);
}

}  // namespace
}  // namespace velnora
