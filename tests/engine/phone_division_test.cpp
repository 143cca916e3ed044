// Feature-phone forwards divided into part files: the bytes of each part's
// body, the number of parts and the end marks.
#include "engine/compose/phone_division.h"

#include <gtest/gtest.h>

#include "compose_fixture.h"
#include "config/settings_image.h"

namespace velnora::testing {
namespace {

class PhoneDivisionTest : public ComposeTest {
 protected:
  PhoneDivisionTest() {
    account->phoneMode = account->phoneSplit = 1;
    account->phoneSplitBytes = 20;
    account->phoneSplitMaxMails = 4;
  }

  // Composes `body` (us-ascii unless told) and returns the body of every part.
  std::vector<std::string> Bodies(std::string_view body, int32_t charset = 60) {
    Load("From: Taro <taro@s.example>\r\nSubject: hi\r\n\r\n" + std::string(body));
    message.contentCharset = charset;
    message.bodyEncoding = 1;
    EXPECT_EQ(ComposeParsed(), 1);
    std::vector<std::string> bodies;
    for (int n = 0; n < message.partNumber; ++n) {
      const std::string text = Part(n);
      bodies.push_back(text.substr(text.find("\r\n\r\n") + 4));
    }
    return bodies;
  }
};

const std::string kLines = "line one\r\nline two\r\nline three\r\n";

TEST_F(PhoneDivisionTest, WholeLinesFillEachPart) {
  account->phoneEndMarks = 1;
  EXPECT_EQ(Bodies(kLines),
            (std::vector<std::string>{"line one\r\nline two\r\n", "line three\r\n<E!>\r\n"}));
  account->phoneSplitMaxMails = 1;
  EXPECT_EQ(Bodies(kLines), (std::vector<std::string>{"line one\r\nline two\r\n<C.>\r\n"}));
  account->phoneSplit = 0;
  EXPECT_EQ(Bodies(kLines), (std::vector<std::string>{kLines}));
}

// A line longer than a part is divided between characters: every part
// carries text; what the part limit leaves unsent is marked.
TEST_F(PhoneDivisionTest, LongLinesAreDividedAndUnsentTextIsMarked) {
  const std::string body = "short\r\n" + std::string(30, 'x') + "\r\nend\r\n";
  account->phoneSplitMaxMails = 3;
  EXPECT_EQ(Bodies(body), (std::vector<std::string>{"short\r\n", std::string(17, 'x') + "\r\n",
                                                    std::string(13, 'x') + "\r\nend\r\n"}));
  account->phoneSplitMaxMails = 2;
  EXPECT_EQ(Bodies(body),
            (std::vector<std::string>{"short\r\n", std::string(17, 'x') + "\r\n<C.>\r\n"}));
}

TEST_F(PhoneDivisionTest, CountedLinesShrinkTheParts) {
  account->phoneCountSubject = 1;  // "1)hi": 5 bytes
  EXPECT_EQ(Bodies(kLines).front(), "line one\r\n");
  account->phoneCountSubject = 0;
  account->phoneAddSubject = 1;  // "1)hi\r\n": 6 bytes
  EXPECT_EQ(Bodies(kLines), (std::vector<std::string>{"1)hi\r\n\r\nline one\r\n", "2)hi\r\n\r\nline two\r\n",
                                                      "3)hi\r\n\r\nline three\r\n"}));
}

TEST_F(PhoneDivisionTest, AnywhereKeepsCharactersWholeAndConvertsEachPart) {
  account->phoneSplitAnywhere = account->phoneEndMarks = 1;
  account->phoneSplitBytes = 12;  // text passes 8 counted bytes
  const std::vector<std::string> bodies = Bodies("abcdefg\x82\xa0hij\r\n", 1);
  EXPECT_EQ(bodies, (std::vector<std::string>{"abcdefg\x1b$B$\"\x1b(B\r\n", "hij\r\n<E!>\r\n"}));
  EXPECT_EQ(HeaderLine("Content-Type:"), "Content-Type: text/plain; charset=\"iso-2022-jp\"");
  EXPECT_EQ(HeaderLine("Content-Transfer-Encoding:"), "Content-Transfer-Encoding: 7bit");
  EXPECT_EQ(HeaderLine("Subject:"), "Subject: 1)hi");
  EXPECT_NE(Part(1).find("\r\nSubject: 2)hi\r\n"), std::string::npos);
}

TEST_F(PhoneDivisionTest, BodyGoesIntoTheSubject) {
  account->phoneSplit = 0;
  account->phoneBodyInSubject = 1;
  Bodies("\x82\xa0\r\n\r\nx\r\n", 1);
  const std::string part = Part(0);
  EXPECT_NE(part.find("\r\nX-Subje: hi\r\n"), std::string::npos) << part;
  // "あ x " in ISO-2022-JP, Base64 (Python: base64.b64encode("あ x ".encode("iso2022_jp"))).
  EXPECT_TRUE(part.ends_with("\r\nSubject: =?ISO-2022-JP?B?GyRCJCIbKEIgeCA=?=\r\n\r\n\r\n")) << part;
  EXPECT_EQ(HeaderLine("Content-Transfer-Encoding:"), "Content-Transfer-Encoding: 7bit");
}

TEST_F(PhoneDivisionTest, RemoteCommandIsAnsweredWithTheReport) {
  auto settings = std::make_unique<SettingsImage>();
  settings->accounts[0].enabled = 1;
  SetText(settings->accounts[0].accountName, "home");
  common->remoteControl = common->remoteStatusReport = 1;
  account->phoneSplit = 0;
  Load("From: owner@else.example\r\nSubject: ****** 3 OFF\r\n\r\nplease\r\n");
  message.resultCode = Category::RemoteAnswered;
  ComposeInput input{*account, *extra, *common, options, folder.path(), nullptr, stamps, settings.get()};
  ASSERT_EQ(ComposeSentMail(input, message), 1);
  EXPECT_EQ(BodyOfPart(), "-REMOTE-\r\n0:ON :home\r\n\r\n\r\n");
}

// Each row: the account's conversion, the text's character set and bytes,
// then the body, label and transfer code written.
TEST_F(PhoneDivisionTest, LabelAndTransferCodeFollowTheBytes) {
  struct Row {
    int16_t convert, utf8;
    int32_t charset;
    std::string in, out, label, transfer;
  };
  const Row rows[] = {
      {1, 0, 2, "\x1b$B$\"\x1b(B", "\x82\xa0\r\n", "shift_jis", "8bit"},
      {1, 1, 2, "\x1b$B$\"\x1b(B", "\xe3\x81\x82\r\n", "utf-8", "8bit"},
      {1, 0, 13, "\xe3\x81\x82", "\x82\xa0\r\n", "shift_jis", "8bit"},
      {0, 0, 13, "\xe3\x81\x82", "\xe3\x81\x82\r\n", "utf-8", "8bit"},
      {0, 0, 1, "\x82\xa0", "\x1b$B$\"\x1b(B\r\n", "iso-2022-jp", "7bit"},
  };
  account->phoneSplit = 0;
  for (const Row& row : rows) {
    account->phoneConvertBody = row.convert;
    account->phoneUtf8 = row.utf8;
    EXPECT_EQ(Bodies(row.in, row.charset).front(), row.out) << row.label;
    EXPECT_EQ(HeaderLine("Content-Type:"), "Content-Type: text/plain; charset=\"" + row.label + "\"");
    EXPECT_EQ(HeaderLine("Content-Transfer-Encoding:"), "Content-Transfer-Encoding: " + row.transfer);
  }
}

TEST_F(PhoneDivisionTest, EncodedBodyGoesOutWhole) {
  // Content left encoded would break if it were shaped or cut.
  const std::string base64 = "QUFBQUFB!!!!!!!\r\n" + std::string(40, 'Q') + "\r\n";
  Load("From: a@s.example\r\nSubject: hi\r\n\r\n" + base64);
  account->phoneRemoveRepeats = 1;
  message.contentCharset = 60;
  message.bodyEncoding = 4;
  ASSERT_EQ(ComposeParsed(), 1);
  EXPECT_EQ(int{message.partNumber}, 1);
  EXPECT_EQ(BodyOfPart(), base64 + "\r\n");
  EXPECT_EQ(HeaderLine("Content-Transfer-Encoding:"), "Content-Transfer-Encoding: base64");
}

TEST(PhoneCountTest, AddressLengths) {
  const std::pair<std::string_view, std::size_t> cases[] = {
      {"From: Taro <taro@x.example>", 14},
      {"From: taro@x.example (Taro)", 14},
      {"Reply-To: a@b.c, d@e.f", 5},
      {"From: nobody", 6},
  };
  for (const auto& [line, length] : cases) EXPECT_EQ(CountedAddressLength(line), length) << line;
}

}  // namespace
}  // namespace velnora::testing
