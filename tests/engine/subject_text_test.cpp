// Reply and forward marks, ASCII reduction and character-safe cuts.
#include "engine/compose/subject_text.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"

namespace velnora {
namespace {

TEST(SubjectTextTest, ReplyAndForwardPrefixesBecomeMarks) {
  const std::pair<std::string, std::string> cases[] = {
      {"Re: hello", "<hello"},
      {"RE:re: Re:hello", "<<<hello"},
      {"Re: Fw: x", "<>x"},
      {"FWD: fw:Re: x", ">><x"},
      {"Fwd:", ">"},
      {"Reply: x", "Reply: x"},
      {"hello Re: x", "hello Re: x"},
      {"", ""},
  };
  for (const auto& [in, out] : cases) {
    std::string text = in;
    MarkReplyForward(text);
    EXPECT_EQ(text, out) << in;
  }
  std::string many;
  for (int i = 0; i < 70; ++i) many += "Re: ";
  many += "x";
  MarkReplyForward(many);
  EXPECT_EQ(many, std::string(64, '<') + "x") << "the prefixes after the 64th leave no mark";

  std::string numbered = "012)Re: x";
  MarkReplyForwardAfter(numbered, "012)");
  EXPECT_EQ(numbered, "012)<x");
}

TEST(SubjectTextTest, EightBitLatinBecomesAscii) {
  std::string text = "caf\xE9 \xC0\xDF\xFF\xA6\x80\x7F";
  TransliterateToAscii(text);
  EXPECT_EQ(text, "cafe ABy|C\x7F");
  std::string all;
  for (int b = 0x80; b <= 0xFF; ++b) all.push_back(static_cast<char>(b));
  TransliterateToAscii(all);
  EXPECT_EQ(all.size(), 128u);
  for (char c : all) EXPECT_LT(static_cast<unsigned char>(c), 0x80);
}

TEST(SubjectTextTest, CutsKeepDoubleByteCharactersWhole) {
  // 髙 (FB FC) is an IBM extension character of family names.
  const std::string name = SJIS(u8"髙橋") + "abc";
  std::string text = name;
  CutAtCharacterBoundary(text, 1, 3);
  EXPECT_EQ(text, SJIS(u8"髙"));
  text = name;
  CutAfterCharacterAt(text, 1, 0);
  EXPECT_EQ(text, SJIS(u8"髙"));
  text = name;
  CutAfterCharacterAt(text, 1, 1);
  EXPECT_EQ(text, SJIS(u8"髙橋")) << "position 1 lies inside 髙: the walk reaches 橋";
  text = name;
  CutAfterCharacterAt(text, 1, 4);
  EXPECT_EQ(text, SJIS(u8"髙橋") + "a");
  text = "abc\xE9\xE9";  // Latin-1: every byte is a character
  CutAtCharacterBoundary(text, 14, 4);
  EXPECT_EQ(text, "abc\xE9");
  text = "a\xB0\xA1\xB0\xA2";  // EUC-KR
  CutAtCharacterBoundary(text, 11, 4);
  EXPECT_EQ(text, "a\xB0\xA1");
  text = std::string("ab\x88", 3);  // a lead byte at the very end
  CutAfterCharacterAt(text, 1, 2);
  EXPECT_EQ(text, std::string("ab\x88", 3));
}

}  // namespace
}  // namespace velnora
