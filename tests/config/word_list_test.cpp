// Word lists as the settings pages store and count them (code page 932).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "config/word_list.h"
#include "platform/codepage.h"

namespace velnora {
namespace {

struct NormalizeCase {
  const char* what;
  std::string in;
  std::size_t capacity;
  std::string out;
};

class NormalizeWordListTest : public ::testing::TestWithParam<NormalizeCase> {};

TEST_P(NormalizeWordListTest, RewritesSeparators) {
  const NormalizeCase& c = GetParam();
  EXPECT_EQ(NormalizeWordList(c.in, c.capacity), c.out) << c.what;

  // The in-place form on a buffer of that capacity gives the same text.
  std::string buffer(c.capacity, '\x7f');
  const std::size_t n = std::min(c.in.size(), c.capacity - 1);
  std::memcpy(buffer.data(), c.in.data(), n);
  buffer[n] = '\0';
  NormalizeWordList(buffer.data(), buffer.size());
  EXPECT_EQ(std::string(buffer.c_str()), NormalizeWordList(c.in.substr(0, n), c.capacity)) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NormalizeWordListTest,
    ::testing::Values(
        NormalizeCase{"CR LF is one space", "a@x\r\nb@y", 64, "a@x b@y"},
        NormalizeCase{"lone CR and lone LF", "a\rb\nc", 64, "a b c"},
        NormalizeCase{"commas", "a,b,,c", 64, "a b  c"},
        NormalizeCase{"full-width space", "a\x81\x40" "b", 64, "a b"},
        NormalizeCase{"comma and full-width space inside quotes stay", "\"a,\x81\x40 b\"", 64,
                      "\"a,\x81\x40 b\""},
        NormalizeCase{"line break closes an open quote", "\"a b\r\nc", 64, "\"a b\" c"},
        NormalizeCase{"lone LF inside quotes also closes", "\"x\ny", 64, "\"x\" y"},
        // 0x95 0x5C is one character whose second byte is a backslash; 0x83 0x2C
        // does not exist but 0x81 0x43 (full-width comma) must not become a space.
        NormalizeCase{"double-byte characters copied whole", "\x95\x5C,\x81\x43", 64, "\x95\x5C \x81\x43"},
        NormalizeCase{"second byte 0x40 after another lead byte is not a space", "\x82\x40", 64, "\x82\x40"},
        NormalizeCase{"cut at capacity - 1", "abcdef", 4, "abc"},
        NormalizeCase{"never half a character at the cut", "ab\x95\x5C", 4, "ab"},
        NormalizeCase{"empty", "", 8, ""}));

struct CountCase {
  std::string text;
  int words;
  int quotes;
};

class CountTest : public ::testing::TestWithParam<CountCase> {};

TEST_P(CountTest, CountsEntriesAndQuotes) {
  EXPECT_EQ(CountWords(GetParam().text), GetParam().words) << GetParam().text;
  EXPECT_EQ(CountQuotes(GetParam().text), GetParam().quotes) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Cases, CountTest,
                         ::testing::Values(CountCase{"", 0, 0}, CountCase{"a", 1, 0},
                                           CountCase{"  a   b  ", 2, 0},
                                           CountCase{"\"a b\" c", 2, 2},
                                           CountCase{"\"a b c", 1, 1},
                                           CountCase{"x \"\" y", 2, 2},
                                           CountCase{"\x95\x5C \x83\x5C", 2, 0}));

TEST(WordList, JapaneseListNormalisesLikeItsShiftJisForm) {
  const std::string in = SJIS(u8"迷惑　広告,\"特売 品\"");
  EXPECT_EQ(NormalizeWordList(in, 4096), SJIS(u8"迷惑 広告 \"特売 品\""));
  EXPECT_EQ(CountWords(NormalizeWordList(in, 4096)), 3);
}

}  // namespace
}  // namespace velnora
