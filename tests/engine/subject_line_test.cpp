// The Subject: line: prefix, sender suffix, re-encoding and length limits
// with Japanese subjects.
#include "engine/compose/subject_line.h"

#include <gtest/gtest.h>

#include <memory>

#include "compose_fixture.h"
#include "engine/compose/compose_header_text.h"
#include "platform/codepage.h"

namespace velnora::testing {
namespace {

// 日本語の件名です (16 bytes in Shift_JIS) as an ISO-2022-JP encoded-word.
constexpr std::string_view kJapanese = "=?ISO-2022-JP?B?GyRCRnxLXDhsJE43b0w+JEckORsoQg==?=";

class SubjectLineTest : public ComposeTest {
 protected:
  std::string Build(std::string_view subjectLine, std::string_view suffix = "", int part = 0) {
    std::string text;
    if (!subjectLine.empty()) text += std::string(subjectLine) + "\r\n";
    Load(text + "From: a@b.example\r\n\r\nbody");
    return BuildSubjectLine(message, *account, *common, options, part, suffix);
  }
  // The decoded Shift_JIS text of an encoded subject line.
  static std::string Decoded(const std::string& line) {
    return DecodeHeaderValue(SubjectValue(line), false).text;
  }
};

TEST_F(SubjectLineTest, PrefixSuffixAndMissingSubject) {
  struct Case {
    std::string_view prefix;
    int16_t prefixOn, removeOriginal, drop;
    std::string_view subject, suffix, expected;
  };
  const Case cases[] = {
      {"", 0, 0, 0, "Subject: Re: hello", "", "Subject: Re: hello\r\n"},
      {"[fw]", 1, 0, 0, "Subject: hello", "", "Subject: [fw]hello\r\n"},
      {"[fw]", 0, 0, 0, "Subject: hello", "", "Subject: hello\r\n"},
      {"[fw]", 1, 0, 0, "Subject: hello", " (From: a@b)", "Subject: [fw]hello (From: a@b)\r\n"},
      {"[fw]", 1, 1, 0, "Subject: hello", " (From: a@b)", "Subject: [fw] (From: a@b)\r\n"},
      {"", 1, 1, 0, "Subject: hello", "", "Subject: \r\n"},
      {"[fw]", 1, 0, 0, "", "", "Subject: [fw](no subject) \r\n"},
      {"[fw]", 1, 0, 0, "", " (From: a@b)", "Subject: [fw](no subject)  (From: a@b)\r\n"},
      {"", 0, 0, 1, "Subject: hello", "", ""},
      {"", 0, 0, 0, "SUBJECT:tight", "", "Subject: tight\r\n"},
      {"", 0, 0, 0, "Subject: folded\r\n line", "", "Subject: folded\r\n line\r\n"},
      {"", 0, 0, 0, std::string_view("Subject: ") , "", "Subject: \r\n"},
  };
  for (const Case& c : cases) {
    SetText(account->subjectPrefix, c.prefix);
    account->subjectPrefixOn = c.prefixOn;
    account->removeOriginalSubject = c.removeOriginal;
    account->dropSubjectHeader = c.drop;
    EXPECT_EQ(Build(c.subject, c.suffix), c.expected) << c.subject;
  }
}

TEST_F(SubjectLineTest, EncodedSubjectIsKeptAsReceivedByDefault) {
  EXPECT_EQ(Build("Subject: " + std::string(kJapanese)), "Subject: " + std::string(kJapanese) + "\r\n");
}

TEST_F(SubjectLineTest, JapaneseSubjectIsNeverCutInsideACharacter) {
  account->limitSubjectOn = 1;
  account->limitSubjectBytes = 10;
  const std::string line = Build("Subject: " + std::string(kJapanese));
  EXPECT_EQ(Decoded(line), SJIS(u8"日本語の件"));
  EXPECT_EQ(line.substr(0, 25), "Subject: =?ISO-2022-JP?B?");

  // One ASCII byte in front moves every character to an odd position.
  SetText(account->subjectPrefix, "A");
  account->subjectPrefixOn = 1;
  EXPECT_EQ(Decoded(Build("Subject: " + std::string(kJapanese))), "A" + SJIS(u8"日本語の件"));

  for (int limit = 0; limit <= 18; ++limit) {
    account->limitSubjectBytes = static_cast<int16_t>(limit);
    const std::string decoded = Decoded(Build("Subject: " + std::string(kJapanese)));
    ASSERT_FALSE(decoded.empty()) << limit;
    // "A" then whole two-byte characters: an even remainder.
    EXPECT_EQ((decoded.size() - 1) % 2, 0u) << limit;
    EXPECT_LE(decoded.size(), static_cast<std::size_t>(std::max(limit, 1) + 1)) << limit;
  }
}

TEST_F(SubjectLineTest, HalfwidthKanaFollowTheAccountsEncodingChoice) {
  account->limitSubjectOn = 1;
  account->limitSubjectBytes = 20;
  // ｱｲｳ as JIS X 0201 katakana.
  const std::string subject = "Subject: =?ISO-2022-JP?B?GyhJMTIzGyhC?=";
  options.encodeHalfwidthKana = true;
  // "GyhJMTIz" is ESC ( I "123": the kana leave as JIS X 0201 katakana.
  EXPECT_EQ(Build(subject).substr(0, 33), "Subject: =?ISO-2022-JP?B?GyhJMTIz");
  options.encodeHalfwidthKana = false;
  EXPECT_EQ(Build(subject).find("GyhJ"), std::string::npos);
  EXPECT_EQ(Decoded(Build(subject)), "\xB1\xB2\xB3");
}

TEST_F(SubjectLineTest, UndeclaredShiftJisSubjectIsCutAtACharacter) {
  account->limitSubjectOn = 1;
  account->limitSubjectBytes = 4;
  // "A" + 日本語: a cut at 5 bytes would split 本.
  EXPECT_EQ(Build("Subject: A" + SJIS(u8"日本語")), "Subject: A" + SJIS(u8"日本") + "\r\n");
}

TEST_F(SubjectLineTest, LatinAndUtf8SubjectsAreLimited) {
  account->limitSubjectOn = 1;
  account->limitSubjectBytes = 5;
  EXPECT_EQ(Build("Subject: abcdefghij"), "Subject: abcdef\r\n") << "one byte more than the limit";
  EXPECT_EQ(Build("Subject: abc"), "Subject: abc\r\n");
  // 件名テスト in UTF-8; each character counts two, so two characters fit 5.
  const std::string line = Build("Subject: =?UTF-8?B?5Lu25ZCN44OG44K544OI?=");
  EXPECT_EQ(DecodeHeaderValue(SubjectValue(line), false).text, "\xE4\xBB\xB6\xE5\x90\x8D\xE3\x83\x86");
}

TEST_F(SubjectLineTest, FoldedPlainSubjectIsUnfoldedBeforeItIsCut) {
  account->limitSubjectOn = 1;
  account->limitSubjectBytes = 5;
  // Cut at 6 bytes of the folded text would leave "hello\r" before CR LF,
  // which the wire turns into an empty line that ends the header.
  EXPECT_EQ(Build("Subject: hello\r\n world"), "Subject: hello \r\n");
  account->limitSubjectBytes = 40;
  EXPECT_EQ(Build("Subject: hello\r\n world"), "Subject: hello world\r\n");
}

TEST_F(SubjectLineTest, UnicodeSubjectIsReencodedWithTheSuffixInside) {
  account->unicodeToJis = 1;
  const std::string line = Build("Subject: =?utf-8?B?5Lu25ZCN44OG44K544OI?=", " (From: a@b)");
  EXPECT_EQ(line.find("\r\n"), line.size() - 2);
  EXPECT_EQ(DecodeHeaderValue(SubjectValue(line), false).text,
            "\xE4\xBB\xB6\xE5\x90\x8D\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88 (From: a@b)");
  EXPECT_EQ(line.find("(From"), std::string::npos) << "the suffix is inside the encoded-word";
}

TEST_F(SubjectLineTest, DeveloperOptionReencodesEverySubject) {
  SetText(common->developerOptions, "hv830124");
  const std::string line = Build("Subject: " + std::string(kJapanese) + " " + std::string(kJapanese), "");
  EXPECT_EQ(Decoded(line), SJIS(u8"日本語の件名です日本語の件名です"));
  EXPECT_EQ(line.find("?= =?"), std::string::npos) << "one encoded-word";
}

TEST_F(SubjectLineTest, FeaturePhoneSubjectGetsNumberMarksAndAsciiForm) {
  account->phoneMode = 1;
  account->phoneSplit = 1;
  account->phoneSplitMaxMails = 4;
  account->phoneNumberSubjects = 1;
  account->mailNumber = 7;
  EXPECT_EQ(Build("Subject: Re: Fw: caf\xE9", "", 2), "Subject: 073)<>cafe\r\n");
  account->phoneKeepReFw = 1;
  EXPECT_EQ(Build("Subject: Re: caf\xE9", "", 0), "Subject: 071)Re: cafe\r\n");
  account->phoneAllow8bit = 1;
  EXPECT_EQ(Build("Subject: Re: caf\xE9", "", 0), "Subject: 071)Re: caf\xE9\r\n");

  account->phoneShortenSubject = 1;
  account->phoneSubjectBytes = 6;
  account->phoneKeepReFw = 0;
  account->phoneAllow8bit = 0;
  EXPECT_EQ(Build("Subject: " + std::string(kJapanese), "", 1), "Subject: =?ISO-2022-JP?B?" +
            std::string("MDcyKRskQkZ8GyhC") + "?=\r\n");
}

}  // namespace
}  // namespace velnora::testing
