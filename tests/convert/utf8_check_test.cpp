#include "convert/utf8_check.h"

#include <gtest/gtest.h>

#include "convert_test_util.h"

namespace velnora {
namespace {

TEST(BlankInvalidUtf8, BlanksMalformedSequences) {
  const struct {
    const char* name;
    std::string input;
    std::string output;
    bool reported;
  } cases[] = {
      {"two-byte lead with bad second", "\xC3\x28", "  ", true},
      {"lone continuation byte", "\xA9", " ", false},
      {"valid text untouched", "a\xC3\xA9\xE3\x81\x82\xF0\x9F\x98\x80", "a\xC3\xA9\xE3\x81\x82\xF0\x9F\x98\x80", false},
      {"three-byte, bad second", "\xE3" "ab", "  b", true},
      {"three-byte, bad third", "\xE3\x81" "ab", "   b", true},
      {"four-byte, bad second", "\xF0" "abc", "  bc", true},
      {"four-byte, bad third", "\xF0\x9F" "ab", "   b", true},
      {"four-byte, bad fourth", "\xF0\x9F\x98" "a", "    ", true},
      {"C0 and F8 stray", "\xC0\xF8" "a", "  a", false},
      {"lead at end blanks only itself", "ab\xE3", "ab ", true},
      {"four-byte cut at end", "a\xF0\x9F\x98", "a   ", true},
  };
  for (const auto& c : cases) {
    bool reported = false;
    std::string out = test::InPlace(c.input, [&](std::span<char> t) { reported = BlankInvalidUtf8(t); });
    EXPECT_EQ(out, c.output) << c.name;
    EXPECT_EQ(reported, c.reported) << c.name;
  }
}

TEST(BlankInvalidUtf8, StopsAtBufferEndWithoutTerminator) {
  std::vector<char> buffer = {'a', '\xF0', '\x9F'};
  EXPECT_TRUE(BlankInvalidUtf8(std::span<char>(buffer)));
  EXPECT_EQ(std::string(buffer.data(), 3), "a  ");
}

TEST(LimitUtf8Length, CountsDoubleWidthAndCutsAfterCharacter) {
  const struct {
    const char* name;
    std::string input;
    std::size_t limit;
    std::string output;
    std::size_t count;
  } cases[] = {
      {"three hiragana, limit 4", "\xE3\x81\x82\xE3\x81\x84\xE3\x81\x86", 4, "\xE3\x81\x82\xE3\x81\x84", 4},
      {"limit inside a character keeps it", "a\xE3\x81\x82" "b", 2, "a\xE3\x81\x82", 3},
      {"short text untouched", "abc", 10, "abc", 3},
      {"ascii cut", "abcdef", 3, "abc", 3},
      {"emoji counts two", "\xF0\x9F\x98\x80" "x", 2, "\xF0\x9F\x98\x80", 2},
      {"malformed blanked then counted", "\xC3\x28xyz", 3, "  x", 3},
      {"limit zero empties", "abc", 0, "", 0},
  };
  for (const auto& c : cases) {
    std::size_t count = 0;
    std::string out = test::InPlace(c.input, [&](std::span<char> t) { count = LimitUtf8Length(t, c.limit); });
    EXPECT_EQ(out, c.output) << c.name;
    EXPECT_EQ(count, c.count) << c.name;
  }
}

}  // namespace
}  // namespace velnora
