// Resent-* lines and the sender-replacement list.
#include <gtest/gtest.h>

#include "compose_fixture.h"

namespace velnora::testing {
namespace {

constexpr std::string_view kDated =
    "From: Taro <taro@sender.example>\r\nSubject: x\r\nDate: Tue, 08 Dec 2026 10:00:00 +0900\r\n"
    "Message-ID: <m1@sender.example>\r\n\r\nbody";

TEST_F(ComposeTest, ResentLinesFollowDateAndMessageId) {
  account->addResentHeaders = 1;
  SetText(account->forwardTo, "d1@far.example   d2@far.example ");
  ASSERT_EQ(Compose(kDated), 1);
  const std::string head = Head();
  EXPECT_NE(head.find("Date: Tue, 08 Dec 2026 10:00:00 +0900\r\n"
                      "Resent-Date: Tue, 08 Dec 2026 19:05:09 +0900\r\n"),
            std::string::npos)
      << head;
  EXPECT_NE(head.find("Message-ID: <m1@sender.example>\r\n"
                      "Resent-Message-ID: <261208-100509-1A2B-52000@velnora>\r\n"
                      "Resent-Sender: me@home.example\r\n"
                      "Resent-From: me@home.example\r\n"
                      "Resent-To: d1@far.example, d2@far.example\r\n"
                      "Subject: x\r\n"),
            std::string::npos)
      << head;
}

TEST_F(ComposeTest, WithoutDateThereIsNoResentDateButTheOtherResentLines) {
  account->addResentHeaders = 1;
  stamps.randomTag = 0x00F;
  ASSERT_EQ(Compose("From: taro@sender.example\r\nSubject: x\r\n\r\nbody"), 1);
  EXPECT_EQ(HeaderLine("Date:"), "");
  EXPECT_EQ(HeaderLine("Resent-Date:"), "");
  EXPECT_EQ(HeaderLine("Resent-Message-ID:"), "Resent-Message-ID: <261208-100509-000F-52000@velnora>");
  EXPECT_EQ(HeaderLine("Resent-Sender:"), "Resent-Sender: me@home.example");
  EXPECT_EQ(HeaderLine("Resent-From:"), "Resent-From: me@home.example");
  EXPECT_EQ(HeaderLine("Resent-To:"), "Resent-To: dest@far.example");
}

TEST_F(ComposeTest, OwnFromKeepsTheResentLines) {
  account->addResentHeaders = 1;
  account->fromIsMe = 1;
  ASSERT_EQ(Compose(kDated), 1);
  EXPECT_EQ(HeaderLine("From:"), "From: <me@home.example>");
  EXPECT_EQ(HeaderLine("Resent-Date:"), "Resent-Date: Tue, 08 Dec 2026 19:05:09 +0900");
  EXPECT_EQ(HeaderLine("Resent-From:"), "Resent-From: me@home.example");
}

TEST_F(ComposeTest, SenderOnTheReplacementListReadsAsSentByTheAccount) {
  account->addResentHeaders = 1;
  extra->replaceFromOn = 1;
  SetText(extra->replaceFromList, "nobody@x.example  TARO@SENDER.EXAMPLE");
  ASSERT_EQ(Compose(kDated), 1);
  EXPECT_EQ(int{message.fromOnReplaceList}, 1);
  EXPECT_EQ(message.resultCode, Category::SenderReplaced);
  EXPECT_EQ(HeaderLine("From:"), "From: <me@home.example>");
  EXPECT_EQ(HeaderLine("Reply-To:"), "Reply-To: Taro <taro@sender.example>");
  EXPECT_EQ(HeaderLine("Sender:"), "");
  EXPECT_EQ(HeaderLine("Resent-"), "");
  EXPECT_EQ(HeaderLine("Date:"), "Date: Tue, 08 Dec 2026 10:00:00 +0900");
  EXPECT_EQ(HeaderLine("Subject:"), "Subject: x") << "no suffix unless asked for";

  extra->appendSenderToSubject = 1;
  ASSERT_EQ(Compose(kDated), 1);
  EXPECT_EQ(HeaderLine("Subject:"), "Subject: x (From: taro@sender.example)");
  ASSERT_EQ(Compose("From: Taro <taro@sender.example>\r\n\r\nbody"), 1);
  EXPECT_EQ(HeaderLine("Subject:"), "Subject: (no subject)  (From: taro@sender.example)");
}

TEST_F(ComposeTest, ReplacementListLeavesOtherSendersAndRemoteCommandsAlone) {
  extra->replaceFromOn = 1;
  SetText(extra->replaceFromList, "someone@else.example");
  ASSERT_EQ(Compose(kDated), 1);
  EXPECT_EQ(int{message.fromOnReplaceList}, 0);
  EXPECT_EQ(message.resultCode, Category::Forwarded);
  EXPECT_EQ(HeaderLine("From:"), "From: Taro <taro@sender.example>");

  SetText(extra->replaceFromList, "taro@sender.example");
  Load(kDated);
  message.partLayout = 98;
  message.resultCode = Category::RemoteAnswered;
  ASSERT_EQ(ComposeParsed(), 1);
  EXPECT_EQ(int{message.fromOnReplaceList}, 1);
  EXPECT_EQ(message.resultCode, Category::RemoteAnswered) << "a remote command keeps its result";

  extra->replaceFromOn = 0;
  ASSERT_EQ(Compose(kDated), 1);
  EXPECT_EQ(int{message.fromOnReplaceList}, 0) << "the list is not in force";
}

}  // namespace
}  // namespace velnora::testing
