// The body of an ordinary forward and the part file as the SMTP client
// reads it back.
#include <gtest/gtest.h>

#include <filesystem>

#include "compose_fixture.h"
#include "config/settings_image.h"
#include "engine/message/message_load.h"
#include "platform/codepage_win.h"

namespace velnora::testing {
namespace {

TEST_F(ComposeTest, BodyGoesOutByteForByteWithOneLineEndAfterIt) {
  // Lines a POP3 server would have stuffed, a lone CR, a NUL-free 8-bit
  // run and a body without a final line end.
  const std::string body =
      ".\r\n..\r\n.foo\r\n\r\n \r\nend of line\rmid\r\n\t tab\r\n" + std::string("\x82\xa0\xff", 3) +
      "\r\nlast";
  ASSERT_EQ(Compose("From: t@s.example\r\nSubject: x\r\n\r\n" + body), 1);
  EXPECT_EQ(BodyOfPart(), body + "\r\n");

  ASSERT_EQ(Compose("From: t@s.example\r\nSubject: x\r\n\r\n"), 1);
  EXPECT_EQ(BodyOfPart(), "\r\n") << "an empty body";
  ASSERT_EQ(Compose("From: t@s.example\r\nSubject: x\r\n"), 1);
  EXPECT_EQ(Part().substr(Part().size() - 6), "\r\n\r\n\r\n") << "no body at all";
}

TEST_F(ComposeTest, UnstuffedMessageIsForwardedAsItsSenderWroteIt) {
  // The loader removes the POP3 stuffing; composition must not add or drop
  // a dot (the SMTP client stuffs again on the wire).
  std::string received = "From: t@s.example\r\nSubject: dots\r\n\r\n..\r\n...\r\n..foo\r\n.\r\n";
  received.resize(RemoveDotStuffing(received.data(), received.size()));
  ASSERT_EQ(Compose(received), 1);
  EXPECT_EQ(BodyOfPart(), ".\r\n..\r\n.foo\r\n\r\n");
}

TEST_F(ComposeTest, PartFileIsControlLineHeaderEmptyLineBody) {
  ASSERT_EQ(Compose("From: T <t@s.example>\r\nSubject: x\r\n\r\nline 1\r\nline 2\r\n"), 1);
  EXPECT_EQ(message.partNumber, 1);
  EXPECT_EQ(Part(),
            "t@s.example\r\n"
            "Sender: T <t@s.example>\r\n"
            "From: T <t@s.example>\r\n"
            "Reply-To: T <t@s.example>\r\n"
            "Subject: x\r\n"
            "X-Mailer: Velnora (JP-400) V5.20.00 \r\n"
            "\r\n"
            "line 1\r\nline 2\r\n\r\n");
}

TEST_F(ComposeTest, ReadOnlyPartFileIsReplaced) {
  const std::string path = folder.File("$vnrdiv0.vnr");
  {
    std::ofstream out(path, std::ios::binary);
    out << "stale part of an earlier message";
  }
  std::filesystem::permissions(path, std::filesystem::perms::owner_read);
  ASSERT_EQ(Compose("Subject: new\r\n\r\nfresh"), 1);
  EXPECT_EQ(HeaderLine("Subject:"), "Subject: new");
}

TEST_F(ComposeTest, PartFileThatCannotBeWrittenIsNoForward) {
  Load("Subject: x\r\n\r\nbody");
  ComposeInput input{*account, *extra, *common, options, folder.File("missing/folder"), nullptr, stamps};
  EXPECT_EQ(ComposeSentMail(input, message), 0);
  EXPECT_EQ(message.partNumber, 0) << "nothing may be sent as if it were the message";
}

TEST_F(ComposeTest, SenderInformationOpensTheBodyWhenTheSenderIsReplaced) {
  account->fromIsMe = 1;
  const std::string from = "From: =?ISO-2022-JP?B?GyRCOzNFREJATzobKEI=?= <taro@s.example>\r\n";
  struct Case {
    int32_t charset;
    int32_t encoding;
    std::string expectedTop;
  };
  const Case cases[] = {
      {2, 1, "From:\x1b$B;3ED\x42\x40O:\x1b(B <taro@s.example>\r\n-----\r\n"},
      {1, 2, "From:" + SJIS(u8"山田太郎") + " <taro@s.example>\r\n-----\r\n"},
      {60, 1, "From:\x1b$B;3ED\x42\x40O:\x1b(B <taro@s.example>\r\n-----\r\n"},
      {13, 1, ""},  // a Unicode body cannot take local text
      {12, 1, ""},
      {2, 4, ""},  // a Base64 body would be corrupted by a plain line
  };
  for (const Case& c : cases) {
    Load(from + "Subject: x\r\n\r\nthe text\r\n");
    message.partLayout = 1;
    message.contentCharset = c.charset;
    message.bodyEncoding = c.encoding;
    ASSERT_EQ(ComposeParsed(), 1);
    EXPECT_EQ(BodyOfPart(), c.expectedTop + "the text\r\n\r\n") << c.charset << "/" << c.encoding;
  }
  account->noOriginalSenderInfo = 1;
  Load(from + "Subject: x\r\n\r\nthe text\r\n");
  message.partLayout = 1;
  message.contentCharset = 2;
  ASSERT_EQ(ComposeParsed(), 1);
  EXPECT_EQ(BodyOfPart(), "the text\r\n\r\n");
}

TEST_F(ComposeTest, DroppedFragmentBodyBecomesTheNotice) {
  account->dropSplitBodies = 1;
  Load("Subject: x\r\nContent-Type: message/partial; number=1; total=2; id=\"q\"\r\n\r\nfragment");
  message.partLayout = 94;
  ASSERT_EQ(ComposeParsed(), 1);
  EXPECT_EQ(BodyOfPart(), SJIS(u8"(分割メールのため本文は削除されました)") + "\r\n");
  EXPECT_EQ(HeaderLine("Content-Transfer-Encoding:"), "Content-Transfer-Encoding: 8bit");
}

TEST_F(ComposeTest, AcceptedRemoteCommandIsAnsweredWithTheStatusReport) {
  auto settings = std::make_unique<SettingsImage>();
  settings->accounts[0].enabled = 1;
  SetText(settings->accounts[0].accountName, "home");
  settings->accounts[3].enabled = 1;
  settings->accounts[3].remoteSuspended = 1;
  SetText(settings->accounts[3].accountName, "shop");
  common->remoteControl = 1;
  common->remoteStatusReport = 1;
  Load("From: owner@else.example\r\nSubject: ****** 3 OFF\r\n\r\nplease\r\n");
  message.partLayout = 1;
  message.resultCode = Category::RemoteAnswered;
  ComposeInput input{*account, *extra, *common, options, folder.path(), nullptr, stamps, settings.get()};
  ASSERT_EQ(ComposeSentMail(input, message), 1);
  EXPECT_EQ(BodyOfPart(), "-REMOTE-\r\n0:ON :home\r\n3:OFF:shop\r\n\r\n\r\n");

  // Without the report switch the received body goes out.
  common->remoteStatusReport = 0;
  Load("From: owner@else.example\r\nSubject: ****** 3 OFF\r\n\r\nplease\r\n");
  message.partLayout = 1;
  message.resultCode = Category::RemoteAnswered;
  ASSERT_EQ(ComposeSentMail(input, message), 1);
  EXPECT_EQ(BodyOfPart(), "please\r\n\r\n");
}

// The report is labelled ISO-2022-JP in 7bit: Shift_JIS account names are
// converted as the system's converter does, half-width katakana as JIS X
// 0201 katakana.
TEST_F(ComposeTest, StatusReportIsIso2022Jp) {
  auto settings = std::make_unique<SettingsImage>();
  settings->accounts[0].enabled = 1;
  SetText(settings->accounts[0].accountName, SJIS(u8"自宅"));
  common->remoteControl = 1;
  common->remoteStatusReport = 1;
  Load("From: owner@else.example\r\nSubject: ****** 3 OFF\r\n\r\nplease\r\n");
  message.partLayout = 1;
  message.resultCode = Category::RemoteAnswered;
  message.contentCharset = 2;
  ComposeInput input{*account, *extra, *common, options, folder.path(), nullptr, stamps, settings.get()};
  ASSERT_EQ(ComposeSentMail(input, message), 1);
  const auto expected = platform::ConvertCodePage(platform::kCodePageShiftJis, platform::kCodePageIso2022Jp,
                                                  "-REMOTE-\r\n0:ON :" + SJIS(u8"自宅") + "\r\n\r\n");
  ASSERT_TRUE(expected.has_value());
  EXPECT_EQ(BodyOfPart(), *expected + "\r\n");
  EXPECT_EQ(HeaderLine("Content-Type:"), "Content-Type: text/plain; charset=\"iso-2022-jp\"");
  EXPECT_EQ(HeaderLine("Content-Transfer-Encoding:"), "Content-Transfer-Encoding: 7bit");

  SetText(settings->accounts[0].accountName, "\xBC\xAE\xAF\xCC\xDF");  // half-width ｼｮｯﾌﾟ
  Load("From: owner@else.example\r\nSubject: ****** 3 OFF\r\n\r\nplease\r\n");
  message.partLayout = 1;
  message.resultCode = Category::RemoteAnswered;
  message.contentCharset = 2;
  ASSERT_EQ(ComposeSentMail(input, message), 1);
  EXPECT_EQ(BodyOfPart(), "-REMOTE-\r\n0:ON :\x1B(I\x3C\x2E\x2F\x4C\x5F\x1B(J\r\n\r\n\r\n");
}

}  // namespace
}  // namespace velnora::testing
