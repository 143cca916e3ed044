// Feature-phone shaping: each rule with literal input and output bytes.
#include "engine/compose/phone_shaping.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "config/account_settings.h"
#include "support/test_text.h"

namespace velnora::testing {
namespace {

constexpr CharsetCode kAscii = 60, kLatin1 = 14, kSjis = 1, kJis = 2, kUtf8 = 13, kNone = 100;

struct ShapeCase {
  const char* name;
  std::function<void(AccountSettings&)> set;
  CharsetCode code;
  std::string in, out;
};

void ExpectShaped(const ShapeCase& c) {
  auto account = std::make_unique<AccountSettings>();
  account->phoneMode = 1;
  SetText(account->phoneCitationPrefixes, "> |");
  if (c.set) c.set(*account);
  EXPECT_EQ(ShapePhoneBody(c.in, c.code, 1, *account).text, c.out) << c.name;
}

const std::string kA = "\x82\xa0", kI = "\x82\xa2", kStar = "\x81\x9a";  // あ い ★

TEST(PhoneShapingTest, CharsetPreparationAndLines) {
  const ShapeCase cases[] = {
      {"latin reduced to ascii", nullptr, kLatin1, "caf\xE9", "cafe\r\n"},
      {"latin kept with 8-bit", [](auto& a) { a.phoneAllow8bit = 1; }, kLatin1, "caf\xE9", "caf\xE9\r\n"},
      {"iso-2022-jp shaped as shift_jis", nullptr, kJis, "\x1b$B$\"\x1b(B", kA + "\r\n"},
      {"undeclared jis detected", nullptr, kNone, "\x1b$B$\"\x1b(Bx", kA + "x\r\n"},
      {"every line end becomes CR LF", nullptr, kAscii, "a\nb\rc\r\nd", "a\r\nb\r\nc\r\nd\r\n"},
      {"overlong line continues", nullptr, kAscii, std::string(4093, 'a'),
       std::string(4091, 'a') + "\r\naa\r\n"},
      {"overlong line breaks between characters", nullptr, kSjis, std::string(4090, 'a') + kA,
       std::string(4090, 'a') + "\r\n" + kA + "\r\n"},
  };
  for (const ShapeCase& c : cases) ExpectShaped(c);
  auto account = std::make_unique<AccountSettings>();
  const ShapedBody latin = ShapePhoneBody("x", kLatin1, 99, *account);
  EXPECT_EQ(latin.code, kAscii);
  EXPECT_EQ(latin.transfer, 1);
  EXPECT_EQ(ShapePhoneBody("x", kSjis, 99, *account).code, kJis) << "Japanese mail goes out as ISO-2022-JP";
}

TEST(PhoneShapingTest, LineRemovals) {
  const std::string quoted = "> top\r\nbody\r\n> q1\r\n> q2\r\n| q3\r\nend\r\n";
  const std::string original = "hi\r\n-----Original Message-----\r\nFrom: x\r\nold\r\n";
  const std::string signed_ = "text\r\nBest Regards, Al\r\nmore\r\n--\r\nsig\r\n";
  const auto cutWords = [](int lines) {
    return [lines](AccountSettings& a) {
      a.phoneCutAtWord = 1;
      SetText(a.phoneCutWord, "\"best regards\" --");
      a.phoneCutWordLines = static_cast<int16_t>(lines);
    };
  };
  const ShapeCase cases[] = {
      {"citations after the first line", [](auto& a) { a.phoneRemoveCitations = 1; }, kAscii, quoted,
       "> top\r\nbody\r\nend\r\n"},
      {"first citation kept", [](auto& a) { a.phoneRemoveCitations = a.phoneKeepFirstCitation = 1; },
       kAscii, quoted, "> top\r\nbody\r\n> q1\r\nend\r\n"},
      {"original message cut", [](auto& a) { a.phoneCutOriginalMessage = 1; }, kAscii, original,
       "hi\r\n-ORG_MSG_RMVD-\r\n"},
      {"original message line and one more",
       [](auto& a) { a.phoneCutOriginalMessage = a.phoneCutOriginalLines = 1; }, kAscii, original,
       "hi\r\n-ORG_MSG-\r\nold\r\n"},
      {"cut at the first word of the list", cutWords(0), kAscii, signed_, "text\r\n"},
      {"text from the word on", cutWords(-1), kAscii, signed_, "Best Regards, Al\r\nmore\r\n--\r\nsig\r\n"},
      {"lines with a word and one more", cutWords(1), kAscii, signed_, "text\r\n"},
      {"blank lines and leading spaces", [](auto& a) { a.phoneRemoveBlankLines = 1; }, kAscii,
       "a\r\n\r\n   \r\n  b\r\n", "a\r\nb\r\n"},
      {"japanese keeps leading spaces", [](auto& a) { a.phoneRemoveBlankLines = 1; }, kSjis,
       "a\r\n\r\n  b\r\n", "a\r\n  b\r\n"},
  };
  for (const ShapeCase& c : cases) ExpectShaped(c);
}

TEST(PhoneShapingTest, CharacterRemovals) {
  const auto repeats = [](AccountSettings& a) { a.phoneRemoveRepeats = 1; };
  const ShapeCase cases[] = {
      {"spaces", [](auto& a) { a.phoneRemoveSpaces = 1; }, kAscii, "  a  b \r\n c\r\n", "a b \r\nc\r\n"},
      {"spaces stay in utf-8", [](auto& a) { a.phoneRemoveSpaces = 1; }, kUtf8, " a  b", " a  b\r\n"},
      {"tabs", [](auto& a) { a.phoneRemoveTabs = 1; }, kAscii, "a\tb\t", "ab\r\n"},
      {"ideographic spaces", [](auto& a) { a.phoneRemoveWideSpaces = 1; }, kSjis,
       kA + "\x81\x40" + kA, kA + kA + "\r\n"},
      {"a trail byte 0x81 before @ is no space", [](auto& a) { a.phoneRemoveWideSpaces = 1; }, kSjis,
       "\x81\x81\x40", "\x81\x81\x40\r\n"},
      {"seven marks become four", repeats, kAscii, "wow!!!!!!!", "wow!!!!\r\n"},
      {"four marks stay", repeats, kAscii, "!!!!", "!!!!\r\n"},
      {"a rule line shrinks", repeats, kAscii, "==========\r\n", "====\r\n"},
      {"words and numbers stay", repeats, kAscii, "1000000 coconut 2020 aaaaaaa",
       "1000000 coconut 2020 aaaaaaa\r\n"},
      {"seven double-byte symbols become three", repeats, kSjis,
       kStar + kStar + kStar + kStar + kStar + kStar + kStar, kStar + kStar + kStar + "\r\n"},
      {"repeated kana stay", repeats, kSjis, kA + kA + kA + kA + kA, kA + kA + kA + kA + kA + "\r\n"},
  };
  for (const ShapeCase& c : cases) ExpectShaped(c);
}

TEST(PhoneShapingTest, CompactionAndLinefeeds) {
  const auto compact = [](bool linefeed) {
    return [linefeed](AccountSettings& a) {
      a.phoneCompactWords = a.phoneSplit = 1;
      a.phoneConvertLinefeed = linefeed;
    };
  };
  const ShapeCase cases[] = {
      {"words compacted", compact(false), kAscii, "hello world\r\nfoo-bar 3rd", "HelloWorld\r\nFoo-Bar3Rd\r\n"},
      {"and lines joined", compact(true), kAscii, "hello world\r\nfoo", "HelloWorldFoo"},
      {"letter after a double-byte character", compact(true), kSjis, kA + "abc DEF", kA + "AbcDef"},
      {"linefeeds removed", [](auto& a) { a.phoneConvertLinefeed = 1; }, kAscii, "ab\r\ncd\r\n", "abcd"},
      {"break every 512 bytes, between characters", [](auto& a) { a.phoneConvertLinefeed = 1; }, kSjis,
       std::string(511, 'a') + kI + "b", std::string(511, 'a') + "\r\n" + kI + "b"},
      {"compaction breaks when not divided", [](auto& a) { a.phoneCompactWords = 1; }, kAscii,
       std::string(513, 'a'), "A" + std::string(511, 'a') + "\r\na\r\n"},
  };
  for (const ShapeCase& c : cases) ExpectShaped(c);
}

}  // namespace
}  // namespace velnora::testing
