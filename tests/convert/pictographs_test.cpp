#include "convert/pictographs.h"

#include <gtest/gtest.h>

#include "convert/device_chars.h"
#include "convert_test_util.h"

namespace velnora {
namespace {

using test::InPlace;

std::string Pictographs(std::string_view text) {
  return InPlace(text, [](std::span<char> t) { ReplacePictographs(t); });
}

struct Case {
  const char* name;
  std::string input;
  std::string expected;
};

TEST(ReplacePictographs, RangesTableAndPassThrough) {
  const Case cases[] = {
      {"emoticon U+1F600 boxed", "a\xF0\x9F\x98\x80" "b", "a[ ]b"},
      {"U+1F201 boxed", "\xF0\x9F\x88\x81", "[ ]"},
      {"U+2600 range boxed", "\xE2\x98\x80", "[ ]"},
      {"U+26FF range boxed", "\xE2\x9B\xBF", "[ ]"},
      {"U+1F197 OK", "\xF0\x9F\x86\x97", "[OK]"},
      {"U+2122 (t)", "\xE2\x84\xA2", "(t)"},
      {"U+FEFF deleted", "x\xEF\xBB\xBFy", "xy"},
      {"U+00A9 keeps two bytes", "\xC2\xA9", "(c"},
      {"U+00A0 one space", "a\xC2\xA0" "b", "a b"},
      {"U+2022 halfwidth dot", "\xE2\x80\xA2", "\xEF\xBD\xA5"},
      {"U+301C fullwidth tilde", "\xE3\x80\x9C", "\xEF\xBD\x9E"},
      {"regional indicator J", "\xF0\x9F\x87\xAF", "J"},
      {"regional indicator A not listed", "\xF0\x9F\x87\xA6", "\xF0\x9F\x87\xA6"},
      {"U+1F004 boxed by table", "\xF0\x9F\x80\x84", "[ ]"},
      {"hiragana untouched", "\xE3\x81\x82", "\xE3\x81\x82"},
      {"cut sequence loses its first byte", "ab\xE3\x81", "ab\x81"},
      {"stray byte copied", "\x80\xFF", "\x80\xFF"},
      {"overlong form matches no row", "\xE0\x81\x81", "\xE0\x81\x81"},
  };
  for (const auto& c : cases) EXPECT_EQ(Pictographs(c.input), c.expected) << c.name;
}

TEST(ReplacePictographs, NeverGrowsOrReadsPastUnterminatedBuffer) {
  std::string text = "\xC2\xA9\xC2\xA9\xF0\x9F";
  std::vector<char> buffer(text.begin(), text.end());  // no terminator
  std::size_t n = ReplacePictographs(std::span<char>(buffer));
  EXPECT_EQ(std::string(buffer.data(), n), "(c(c\x9F");
}

TEST(EncodeUtf8, LengthsByRange) {
  const std::pair<char32_t, std::string> cases[] = {
      {0x41, "A"}, {0x7F, "\x7F"}, {0x80, "\xC2\x80"}, {0x7FF, "\xDF\xBF"}, {0x800, "\xE0\xA0\x80"},
      {0xFFFF, "\xEF\xBF\xBF"}, {0x10000, "\xF0\x90\x80\x80"}, {0x10FFFF, "\xF4\x8F\xBF\xBF"},
      {0x110000, "\xEF\xBF\xBD"}, {0xFFFFFFFF, "\xEF\xBF\xBD"},
  };
  for (const auto& [cp, expected] : cases) {
    char out[4];
    std::size_t n = EncodeUtf8(cp, std::span<char, 4>(out));
    EXPECT_EQ(std::string(out, n), expected) << std::hex << static_cast<unsigned>(cp);
  }
}

TEST(ReplaceDeviceChar, TableRows) {
  const Case cases[] = {
      {"circled one", "\x87\x40", "1)"},
      {"circled ten", "\x87\x49", "10"},
      {"roman one to fullwidth digit", "\x87\x54", "\x82\x50"},
      {"kabushiki", "\x87\x8A", "\x8A\x94"},
      {"double prime open", "\x87\x80", " \""},
      {"kg first row", "\x87\x73", "kg"},
      {"standard nearly-equal", "\x81\xE0", "\x96\xF1"},
      {"standard union", "\x81\xBE", "\x82\x74"},
      {"ordinary kanji unchanged", "\x88\x9F", "\x88\x9F"},
      {"IBM extension unchanged", "\xFA\x40", "\xFA\x40"},
  };
  for (const auto& c : cases) {
    std::string pair = c.input;
    bool replaced = ReplaceDeviceChar(std::span<char, 2>(pair.data(), 2));
    EXPECT_EQ(pair, c.expected) << c.name;
    EXPECT_EQ(replaced, c.input != c.expected) << c.name;
  }
}

}  // namespace
}  // namespace velnora
