#include "convert/header_text.h"

#include <gtest/gtest.h>

#include "convert/base64.h"
#include "convert_test_util.h"

namespace velnora {
namespace {

struct Decoded {
  std::string text;
  CharsetCode code;
};

Decoded Decode(std::string_view value, bool convertUnicode, std::size_t size = 1024) {
  std::vector<char> dest(size, '\x7F');
  CharsetCode code = DecodeHeaderText(value, std::span<char>(dest), convertUnicode);
  return {std::string(TextOf(dest)), code};
}

std::string B64(std::string_view bytes) {
  std::vector<char> out(bytes.size() * 2 + 8);
  Base64EncodeBytes(std::span<const char>(bytes.data(), bytes.size()), std::span<char>(out));
  return std::string(out.data());
}

const std::string kJisHiragana5 = "\x1B$B$\"$$$&$($*\x1B(B";  // a i u e o
const std::string kSjisHiragana5 = "\x82\xA0\x82\xA2\x82\xA4\x82\xA6\x82\xA8";

// A header value, whether Unicode is converted, and the text and charset
// code it decodes to.
struct DecodeCase {
  const char* name;
  std::string value;
  bool convertUnicode;
  std::string text;
  CharsetCode code;
};

void ExpectDecoded(std::span<const DecodeCase> cases) {
  for (const auto& c : cases) {
    Decoded d = Decode(c.value, c.convertUnicode);
    EXPECT_EQ(d.text, c.text) << c.name;
    EXPECT_EQ(d.code, c.code) << c.name;
  }
}

TEST(DecodeHeaderText, EncodedWordsByCharset) {
  const DecodeCase cases[] = {
      {"iso-2022-jp B word", "=?ISO-2022-JP?B?" + B64(kJisHiragana5) + "?=", false, kSjisHiragana5, 1},
      {"iso-2022-jp Q word", "=?iso-2022-jp?q?=1B$B$\"=1B(B?=", false, "\x82\xA0", 1},
      {"utf-8 Q converted", "=?UTF-8?Q?=E3=81=82?=", true, "\x82\xA0", 1},
      {"utf-8 Q kept", "=?UTF-8?Q?=E3=81=82?=", false, "\xE3\x81\x82", 13},
      {"utf-8 B pictograph", "=?utf-8?b?" + B64("\xE2\x84\xA2") + "?=", true, "(t)", 1},
      {"iso-8859-10 not -1", "=?ISO-8859-10?Q?a_b?=", false, "a b", 23},
      {"iso-8859-1", "=?iso-8859-1?q?caf=E9?=", false, "caf\xE9", 14},
      {"adjacent words joined", "=?utf-8?q?a?=\r\n =?utf-8?q?b?=", false, "ab", 13},
      {"text between words kept", "x  =?utf-8?q?a?=  and\t\tthen =?utf-8?q?b?= y", false, "x a and then b y", 13},
      {"unknown label copied", "=?latin1?q?x?= and =?utf-8?q?y?=", false, "=?latin1?q?x?= and y", 13},
      {"unterminated B word takes the rest", "=?utf-8?B?" + B64("abc"), false, "abc", 13},
      {"lower-case kind letter b", "=?utf-8?b?" + B64("ok") + "?=", false, "ok", 13},
      {"padding added to B text", "=?utf-8?B?YWI?=", false, "ab", 13},
      {"Q underscore is a space", "=?utf-8?Q?a_b=5Fc?=", false, "a b_c", 13},
      {"gb18030 label is code 6", "=?gb18030?B?" + B64("x") + "?=", false, "x", 6},
      {"euc-jp kept as bytes", "=?EUC-JP?B?" + B64("\xA4\xA2") + "?=", false, "\xA4\xA2", 41},
  };
  ExpectDecoded(cases);
}

TEST(DecodeHeaderText, MixedValues) {
  const DecodeCase cases[] = {
      {"jis B and utf-8 converted", "=?ISO-2022-JP?B?" + B64(kJisHiragana5) + "?= =?UTF-8?Q?=E3=81=82?=", true,
       kSjisHiragana5 + "\x82\xA0", 1},
      {"jis Q converted at once", "=?iso-2022-jp?Q?=1B$B$\"=1B(B?= =?iso-8859-1?Q?x?=", false, "\x82\xA0x", 1},
      {"smallest code wins", "=?iso-8859-1?Q?a?= =?utf-8?Q?b?=", false, "ab", 13},
      {"rows not codes decide", "=?shift_jis?B?" + B64("\x82\xA0") + "?= =?x-sjis?B?" + B64("\x82\xA2") + "?=",
       false, "\x82\xA0\x82\xA2", 1},
      {"utf-8 unconverted in mixed", "=?utf-8?Q?=E3=81=82?= =?iso-8859-2?Q?x?=", false, "\xE3\x81\x82x", 13},
  };
  ExpectDecoded(cases);
}

TEST(DecodeHeaderText, PlainValues) {
  Decoded plain = Decode("no  words\there\r\n  folded   =?", false);
  EXPECT_EQ(plain.text, "no words\there\r\n folded =?");
  EXPECT_EQ(plain.code, 60);
  Decoded jis = Decode("Subject " + kJisHiragana5, false);
  EXPECT_EQ(jis.text, "Subject " + kSjisHiragana5);
  EXPECT_EQ(jis.code, 1);
  Decoded empty = Decode("", true);
  EXPECT_EQ(empty.text, "");
  EXPECT_EQ(empty.code, 60);
}

TEST(DecodeHeaderText, BoundedByDestinationAndWordLimit) {
  Decoded cut = Decode("=?utf-8?q?abcdefgh?=", false, 4);
  EXPECT_EQ(cut.text, "abc");
  // A cut never leaves half a character behind.
  Decoded kanji = Decode("=?ISO-2022-JP?B?" + B64(kJisHiragana5) + "?=", false, 6);
  EXPECT_EQ(kanji.text, "\x82\xA0\x82\xA2");
  Decoded utf8 = Decode("=?utf-8?q?=E3=81=82=E3=81=84?=", false, 6);
  EXPECT_EQ(utf8.text, "\xE3\x81\x82");
  // At most 65,535 characters of one word's text are decoded.
  std::string text(70000, 'x');
  std::vector<char> dest(80000);
  EXPECT_EQ(DecodeHeaderText("=?utf-8?q?" + text + "?=tail", std::span<char>(dest), false), 13);
  EXPECT_EQ(std::string(dest.data()), std::string(65535, 'x') + "tail");
}

TEST(EncodeHeaderWord, ByCharsetCode) {
  const struct {
    const char* name;
    std::string text;
    CharsetCode code;
    bool kana;
    std::string word;
  } cases[] = {
      {"iso-8859-1 Q", "a=b \xE9", 14, false, "=?ISO-8859-1?Q?a=3Db =E9?="},
      {"iso-8859-16 Q", "x", 29, false, "=?ISO-8859-16?Q?x?="},
      {"shift_jis as iso-2022-jp", kSjisHiragana5, 1, false, "=?ISO-2022-JP?B?" + B64(kJisHiragana5) + "?="},
      {"kana escapes by option", "\xB1", 1, true, "=?ISO-2022-JP?B?" + B64("\x1B(I1\x1B(J") + "?="},
      {"kana 8-bit without option", "\xB1", 1, false, "=?ISO-2022-JP?B?" + B64("\xB1") + "?="},
      {"utf-8", "\xE3\x81\x82", 13, false, "=?UTF-8?B?44GC?="},
      {"euc-jp", "\xA4\xA2", 41, false, "=?EUC-JP?B?pKI=?="},
      {"shift_jis for base64", "\x82\xA0", 71, false, "=?SHIFT_JIS?B?gqA=?="},
      {"other code unchanged", "plain", 60, false, "plain"},
  };
  for (const auto& c : cases) {
    std::string word = test::Into(512, [&](std::span<char> d) { EncodeHeaderWord(c.text, d, c.code, ConvertOptions{c.kana}); });
    EXPECT_EQ(word, c.word) << c.name;
  }
}

TEST(EncodeHeaderWord, WordThatDoesNotFitIsStillClosed) {
  std::string text(100, 'a');
  std::string word = test::Into(30, [&](std::span<char> d) { EncodeHeaderWord(text, d, 13, ConvertOptions{}); });
  EXPECT_EQ(word, "=?UTF-8?B?YWFhYWFhYWFhYWFh?=");  // 28 of 30 bytes, whole groups
  std::string q = test::Into(24, [&](std::span<char> d) { EncodeHeaderWord("\xE9\xE9\xE9\xE9", d, 14, ConvertOptions{}); });
  EXPECT_EQ(q, "=?ISO-8859-1?Q?=E9=E9?=");
  EXPECT_EQ(test::Into(10, [&](std::span<char> d) { EncodeHeaderWord("x", d, 13, ConvertOptions{}); }), "");
}

}  // namespace
}  // namespace velnora

namespace velnora {
namespace {

// The worst case of escapes (every byte changes the mode) still converts
// whole, and a text too long for the 64 KiB work area is cut cleanly.
TEST(EncodeHeaderWord, WorstCaseEscapesFitTheWorkArea) {
  std::string text;
  for (int i = 0; i < 500; ++i) text += "\xB1" "a";
  std::vector<char> word(1 << 20);
  std::size_t n = EncodeHeaderWord(text, std::span<char>(word), 1, ConvertOptions{true});
  std::string b64(word.data() + 16, n - 18);
  std::string jis = test::InPlace(b64, [](std::span<char> t) { Base64DecodeText(t); });
  std::string expected;
  for (int i = 0; i < 500; ++i) expected += "\x1B(I1\x1B(Ja";
  EXPECT_EQ(jis, expected);

  std::string longText(40000, '\xB1');
  longText[0] = 'a';
  for (std::size_t i = 1; i < longText.size(); i += 2) longText[i] = 'a';
  n = EncodeHeaderWord(longText, std::span<char>(word), 1, ConvertOptions{true});
  b64.assign(word.data() + 16, n - 18);
  jis = test::InPlace(b64, [](std::span<char> t) { Base64DecodeText(t); });
  // The Base64 of the text fills at most the 64 KiB area, and the cut text
  // still ends in single-byte mode.
  EXPECT_LE(b64.size(), kHeaderWorkArea - 1);
  EXPECT_GT(b64.size(), kHeaderWorkArea - 16);
  EXPECT_TRUE(jis.ends_with("\x1B(Ja") || jis.ends_with("\x1B(J")) << jis.substr(jis.size() - 8);
}

}  // namespace
}  // namespace velnora
