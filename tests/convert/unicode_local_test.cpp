#include "convert/unicode_local.h"

#include <gtest/gtest.h>

#include "convert_test_util.h"

namespace velnora {
namespace {

struct Result {
  std::string text;
  CharsetCode code;
};

Result ToLocal(std::string_view text, CharsetCode code, std::size_t extra = 0) {
  std::vector<char> buffer(text.begin(), text.end());
  buffer.resize(buffer.size() + 1 + extra, '\0');
  CharsetCode r = ConvertUnicodeToLocal(std::span<char>(buffer), code);
  return {std::string(TextOf(buffer)), r};
}

TEST(ConvertUnicodeToLocal, ConvertsUnicodeCodesOnly) {
  const struct {
    const char* name;
    std::string input;
    CharsetCode code;
    std::string text;
    CharsetCode result;
  } cases[] = {
      {"utf-8 hiragana", "\xE3\x81\x82", 13, "\x82\xA0", 1},
      {"utf-7 hiragana", "+MEI-", 12, "\x82\xA0", 1},
      {"other code untouched", "\xE3\x81\x82", 9, "\xE3\x81\x82", 9},
      {"pictograph replaced first", "\xE2\x84\xA2!", 13, "(t)!", 1},
      {"vendor character kept", "\xE2\x91\xA0", 13, "\x87\x40", 1},
      {"unmappable becomes default character", "a\xF0\x9F\x98\x80" "b", 13, "a[ ]b", 1},
      {"unmappable outside the table", "\xC4\x80", 13, "?", 1},
  };
  for (const auto& c : cases) {
    Result r = ToLocal(c.input, c.code);
    EXPECT_EQ(r.text, c.text) << c.name;
    EXPECT_EQ(r.code, c.result) << c.name;
  }
}

TEST(ConvertUnicodeToLocal, NeverLongerThanTheInput) {
  // Four UTF-7 bytes hold two characters whose Shift_JIS form is four bytes
  // too; a one-byte shorter buffer must still hold the result.
  for (std::string_view text : {"+MEIwRA-", "abc", "\xC3\xA9\xC3\xA9\xC3\xA9"}) {
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    ConvertUnicodeToLocal(std::span<char>(buffer), text[0] == '+' ? 12 : 13);
    EXPECT_LE(TextLength(buffer), text.size()) << text;
  }
}

TEST(ConvertLocalToUtf8, ConvertsAndCutsAtCharacterBoundary) {
  std::string text = "\x82\xA0\x82\xA2";  // two hiragana
  std::vector<char> buffer(32, '\0');
  std::copy(text.begin(), text.end(), buffer.begin());
  EXPECT_TRUE(ConvertLocalToUtf8(std::span<char>(buffer), 1, 13));
  EXPECT_EQ(std::string(TextOf(buffer)), "\xE3\x81\x82\xE3\x81\x84");

  // Five bytes of room: one whole character, not one and two thirds.
  std::vector<char> small = {'\x82', '\xA0', '\x82', '\xA2', '\0', '\0'};
  EXPECT_TRUE(ConvertLocalToUtf8(std::span<char>(small), 1, 13));
  EXPECT_EQ(std::string(TextOf(small)), "\xE3\x81\x82");

  std::vector<char> jis(32, '\0');
  std::copy(text.begin(), text.end(), jis.begin());
  EXPECT_TRUE(ConvertLocalToUtf8(std::span<char>(jis), 1, 2));
  EXPECT_EQ(std::string(TextOf(jis)), "\x1B$B$\"$$\x1B(B");
}

}  // namespace
}  // namespace velnora
