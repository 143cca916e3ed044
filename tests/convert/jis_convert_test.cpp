#include "convert/jis_convert.h"

#include <gtest/gtest.h>

#include "convert/jis_arithmetic.h"
#include "convert_test_util.h"

namespace velnora {
namespace {

using test::Into;

const std::string kEscKanji = "\x1B$B";
const std::string kEscAscii = "\x1B(B";
const std::string kEscRoman = "\x1B(J";
const std::string kEscKana = "\x1B(I";

std::string ToJis(std::string_view sjis, bool kana, std::size_t size = 256) {
  return Into(size, [&](std::span<char> d) { SjisToJis(sjis, d, ConvertOptions{kana}); });
}

std::string ToSjis(std::string_view jis, std::size_t size = 256) {
  return Into(size, [&](std::span<char> d) { JisToSjis(jis, d); });
}

std::string ToSjisUnfolded(std::string_view jis, std::size_t size = 256) {
  return Into(size, [&](std::span<char> d) { JisToSjisUnfolded(jis, d); });
}

struct Case {
  const char* name;
  std::string input;
  std::string expected;
};

TEST(SjisToJis, EscapesWithoutKanaOption) {
  const Case cases[] = {
      {"kanji A kanji", "\x88\x9F" "A\x88\x9F", kEscKanji + "0!" + kEscAscii + "A" + kEscKanji + "0!" + kEscAscii},
      {"half-width kana stays 8-bit", "\xB1" "A", "\xB1" "A"},
      {"vendor circled one by arithmetic", "\x87\x40", kEscKanji + "-!" + kEscAscii},
      {"user-defined area copied", "\xF0\x40", "\xF0\x40"},
      {"lone lead byte at end copied", "a\x88", "a\x88"},
      {"ascii untouched", "plain text\r\n", "plain text\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(ToJis(c.input, false), c.expected) << c.name;
}

TEST(SjisToJis, EscapesWithKanaOption) {
  const Case cases[] = {
      {"kana then A", "\xB1" "A", kEscKana + "1" + kEscRoman + "A"},
      {"kanji then kana then text", "\x88\x9F\xDF" "x", kEscKanji + "0!" + kEscKana + "_" + kEscRoman + "x"},
      {"text ending in kana closes", "\xA1", kEscKana + "!" + kEscRoman},
  };
  for (const auto& c : cases) EXPECT_EQ(ToJis(c.input, true), c.expected) << c.name;
}

TEST(SjisToJis, CutTextStaysBelowSizeAndEndsInAscii) {
  std::string sjis;
  for (int i = 0; i < 50; ++i) sjis += "\x88\x9F";
  for (std::size_t size : {1u, 2u, 5u, 8u, 9u, 10u, 11u, 20u, 57u}) {
    std::vector<char> dest(size, '\x7F');
    std::size_t n = SjisToJis(sjis, std::span<char>(dest), ConvertOptions{});
    ASSERT_LE(n + 2, std::max<std::size_t>(size, 2)) << size;
    EXPECT_EQ(dest[n], '\0') << size;
    std::string out(dest.data(), n);
    if (!out.empty()) {
      EXPECT_TRUE(out.ends_with(kEscAscii)) << size;
      EXPECT_EQ((out.size() - 6) % 2, 0u) << "no half pair at size " << size;
    }
  }
}

TEST(JisToSjis, ModesAndLineEnds) {
  const Case cases[] = {
      {"kanji pair", kEscKanji + "0!" + kEscAscii + "A", "\x88\x9F" "A"},
      {"line end inside kanji leaves kanji mode", kEscKanji + "0!\r\n0!", "\x88\x9F\r\n0!"},
      {"katakana escape", kEscKana + "1" + kEscAscii + "x", "\xB1x"},
      {"line end leaves katakana mode", kEscKana + "1\r\n1", "\xB1\r\n1"},
      {"any ( escape returns to ascii", kEscKanji + "0!\x1B(Zab", "\x88\x9F" "ab"},
      {"ESC $ with any final", "\x1B$@0!", "\x88\x9F"},
      {"unknown escape means ascii", "\x1B" "abcd", "cd"},
      {"lone byte at end of kanji text", kEscKanji + "0!0", "\x88\x9F" "0"},
      {"escape cut at end", "ab\x1B$", "ab"},
  };
  for (const auto& c : cases) EXPECT_EQ(ToSjis(c.input), c.expected) << c.name;
}

TEST(JisToSjis, ReturnsLengthPlusOneAndNeverExceedsDestination) {
  std::vector<char> dest(4, '\x7F');
  std::string jis = kEscKanji + "0!0!0!" + kEscAscii;
  std::size_t r = JisToSjis(jis, std::span<char>(dest));
  EXPECT_EQ(r, 3u);  // one pair fits in 3 bytes of room
  EXPECT_EQ(std::string(dest.data()), "\x88\x9F");
  std::vector<char> full(jis.size() + 1);
  EXPECT_EQ(JisToSjis(jis, std::span<char>(full)), 7u);
}

TEST(JisToSjisUnfolded, LineEndsEscapesAndBrokenPairs) {
  const Case cases[] = {
      {"bare LF becomes CRLF", "a\nb", "a\r\nb"},
      {"CRLF kept", "a\r\nb", "a\r\nb"},
      {"LF first", "\nb", "\r\nb"},
      {"line end keeps kanji mode", kEscKanji + "0!\r\n0!" + kEscAscii, "\x88\x9F\r\n\x88\x9F"},
      {"roman escape returns", kEscKanji + "0!" + kEscRoman + "x", "\x88\x9F" "x"},
      {"unregistered escape copied", "\x1B$Ax", "\x1B$Ax"},
      {"broken pair ends text", kEscKanji + "0\x01" "abc", ""},
      {"DEL not a pair start", kEscKanji + "\x7F" "0!", "\x7F\x88\x9F"},
      {"katakana shifted", kEscKana + "1\r\n", "\xB1\r\n"},
      {"pair cut by end of text", kEscKanji + "0!0", "\x88\x9F"},
  };
  for (const auto& c : cases) EXPECT_EQ(ToSjisUnfolded(c.input), c.expected) << c.name;
}

TEST(JisToSjisUnfolded, BoundedByDestination) {
  std::string lfs(100, '\n');
  for (std::size_t size : {1u, 2u, 3u, 50u}) {
    std::vector<char> dest(size);
    std::size_t n = JisToSjisUnfolded(lfs, std::span<char>(dest));
    EXPECT_LT(n, size);
    EXPECT_EQ(n % 2, 0u) << "CR LF kept whole";
  }
}

// Every JIS X 0208 cell (and the rest of the 94 x 94 area) survives the
// trip Shift_JIS -> ISO-2022-JP -> Shift_JIS.
TEST(JisRoundTrip, EveryCellOfTheJisArea) {
  int checked = 0;
  for (int j1 = 0x21; j1 <= 0x7E; ++j1) {
    for (int j2 = 0x21; j2 <= 0x7E; ++j2) {
      BytePair s = JisPairToSjis(static_cast<unsigned char>(j1), static_cast<unsigned char>(j2));
      std::string sjis{static_cast<char>(s.first), static_cast<char>(s.second)};
      ASSERT_TRUE(s.first >= 0x81 && s.first <= 0xEF);
      std::string jis = ToJis(sjis, false);
      const std::string pair{static_cast<char>(j1), static_cast<char>(j2)};
      ASSERT_EQ(jis, kEscKanji + pair + kEscAscii)
          << std::hex << j1 << " " << j2;
      ASSERT_EQ(ToSjis(jis), sjis) << std::hex << j1 << " " << j2;
      ASSERT_EQ(ToSjisUnfolded(jis), sjis) << std::hex << j1 << " " << j2;
      ++checked;
    }
  }
  EXPECT_EQ(checked, 94 * 94);
}

}  // namespace
}  // namespace velnora
