// The header rules of a forwarded message: which lines each option writes,
// drops or rewrites, and their order.
#include <gtest/gtest.h>

#include "compose_fixture.h"

namespace velnora::testing {
namespace {

constexpr std::string_view kMail =
    "Received: from a by b; Tue, 8 Dec 2026 10:00:00 +0900\r\n"
    "Received: from c by a; Tue, 8 Dec 2026 09:59:59 +0900\r\n"
    "From: \"Taro\" <taro@sender.example>\r\n"
    "To: alice, bob@other.example\r\n"
    "Cc: carol@other.example\r\n"
    "Subject: hello\r\n"
    "Date: Tue, 08 Dec 2026 10:00:00 +0900\r\n"
    "Message-ID: <abc@sender.example>\r\n"
    "References: <r1@x>\r\n"
    "In-Reply-To: <r1@x>\r\n"
    "X-Priority: 3\r\n"
    "X-Mailer: OtherMailer 1.0\r\n"
    "X-Spam: no\r\n"
    "Disposition-Notification-To: taro@sender.example\r\n"
    "MIME-Version: 1.0\r\n"
    "Content-Type: text/plain; charset=\"us-ascii\"\r\n"
    "\r\n"
    "hi\r\n";

TEST_F(ComposeTest, DefaultAccountKeepsTheOriginatorAndAddsOnlyItsOwnLines) {
  ASSERT_EQ(Compose(kMail), 1);
  EXPECT_EQ(message.partNumber, 1);
  EXPECT_EQ(Head(),
            "taro@sender.example\r\n"
            "To: alice, bob@other.example\r\n"
            "Sender: \"Taro\" <taro@sender.example>\r\n"
            "From: \"Taro\" <taro@sender.example>\r\n"
            "Reply-To: \"Taro\" <taro@sender.example>\r\n"
            "Cc: carol@other.example\r\n"
            "Date: Tue, 08 Dec 2026 10:00:00 +0900\r\n"
            "In-Reply-To: <r1@x>\r\n"
            "X-Priority: 3\r\n"
            "MIME-Version: 1.0\r\n"
            "References: <r1@x>\r\n"
            "Message-ID: <abc@sender.example>\r\n"
            "Subject: hello\r\n"
            "Content-Type: text/plain; charset=\"us-ascii\"\r\n"
            "X-Mailer: Velnora (JP-400) V5.20.00 \r\n");
}

TEST_F(ComposeTest, KeepOptionsCarryTheReceivedLines) {
  account->sendReceivedHeaders = 1;
  account->sendXHeaders = 1;
  account->sendXMailer = 1;
  account->sendDispositionNotificationTo = 1;
  account->addErrorsTo = 1;
  ASSERT_EQ(Compose(kMail), 1);
  const std::string head = Head();
  EXPECT_EQ(head.find("Received: from a by b"), head.find("\r\n") + 2) << head;
  EXPECT_LT(head.find("Received: from a by b"), head.find("Received: from c by a"));
  EXPECT_NE(head.find("Errors-To: me@home.example\r\nTo:"), std::string::npos);
  EXPECT_EQ(HeaderLine("X-Spam"), "X-Spam: no");
  EXPECT_EQ(HeaderLine("X-Mailer"), "X-Mailer: OtherMailer 1.0");
  EXPECT_EQ(HeaderLine("Disposition-Notification-To"),
            "Disposition-Notification-To: taro@sender.example");
}

TEST_F(ComposeTest, DropOptionsRemoveTheirLines) {
  // Setters, not member pointers: the settings record is packed.
  struct Case {
    void (*set)(AccountSettings&);
    std::string_view gone;
  };
  const Case cases[] = {
      {[](AccountSettings& a) { a.dropToHeader = 1; }, "To:"},
      {[](AccountSettings& a) { a.dropFromHeader = 1; }, "From:"},
      {[](AccountSettings& a) { a.dropSenderHeader = 1; }, "Sender:"},
      {[](AccountSettings& a) { a.dropReplyToHeader = 1; }, "Reply-To:"},
      {[](AccountSettings& a) { a.dropCcHeader = 1; }, "Cc:"},
      {[](AccountSettings& a) { a.dropDateHeader = 1; }, "Date:"},
      {[](AccountSettings& a) { a.dropReferencesHeader = 1; }, "References:"},
      {[](AccountSettings& a) { a.dropMessageIdHeader = 1; }, "Message-ID:"},
      {[](AccountSettings& a) { a.dropSubjectHeader = 1; }, "Subject:"},
  };
  for (const Case& c : cases) {
    account = std::make_unique<AccountSettings>();
    SetText(account->myAddress, "me@home.example");
    c.set(*account);
    ASSERT_EQ(Compose(kMail), 1);
    EXPECT_EQ(HeaderLine(c.gone), "") << c.gone;
    EXPECT_NE(HeaderLine("X-Mailer:"), "") << c.gone;
  }
}

// Sender and From by addMyDomain and senderIsFrom, with a From value whose
// address lacks a domain so that completion shows.
TEST_F(ComposeTest, SenderAndFromFollowTheDomainAndSenderOptions) {
  struct Case {
    int16_t addMyDomain, senderIsFrom, strip;
    std::string_view sender, from;
  };
  const Case cases[] = {
      {1, 1, 0, "Sender: taro@home.example, ", "From: taro@home.example, "},
      {1, 0, 0, "Sender: me@home.example", "From: taro@home.example, "},
      {0, 1, 0, "Sender: me@home.example", "From: \"Taro\" <taro>"},
      {0, 0, 0, "Sender: \"Taro\" <taro>", "From: \"Taro\" <taro>"},
      {1, 1, 1, "Sender: taro@home.example", "From: taro@home.example"},
      {0, 0, 1, "Sender: taro", "From: taro"},
  };
  for (const Case& c : cases) {
    account->addMyDomain = c.addMyDomain;
    account->senderIsFrom = c.senderIsFrom;
    account->stripAddressComments = c.strip;
    ASSERT_EQ(Compose("From: \"Taro\" <taro>\r\nSubject: x\r\n\r\nbody"), 1);
    EXPECT_EQ(HeaderLine("Sender:"), c.sender) << c.addMyDomain << c.senderIsFrom << c.strip;
    EXPECT_EQ(HeaderLine("From:"), c.from) << c.addMyDomain << c.senderIsFrom << c.strip;
  }
}

TEST_F(ComposeTest, FromIsMeWritesTheOwnAddressAndTheSenderAsReplyTo) {
  account->fromIsMe = 1;
  ASSERT_EQ(Compose("From: \"Taro\" <taro@sender.example>\r\nSubject: x\r\n\r\nbody"), 1);
  EXPECT_EQ(HeaderLine("From:"), "From: <me@home.example>");
  EXPECT_EQ(HeaderLine("Sender:"), "");
  EXPECT_EQ(HeaderLine("Reply-To:"), "Reply-To: \"Taro\" <taro@sender.example>");
  EXPECT_EQ(Part().substr(0, 21), "taro@sender.example\r\n") << "the envelope keeps the sender";

  account->stripAddressComments = 1;
  ASSERT_EQ(Compose("From: \"Taro\" <taro@sender.example>\r\nReply-To: \"Desk\" <desk@sender.example>\r\n"
                    "Subject: x\r\n\r\nbody"),
            1);
  EXPECT_EQ(HeaderLine("Reply-To:"), "Reply-To: desk@sender.example") << "a received Reply-To wins";
}

TEST_F(ComposeTest, ToOptions) {
  SetText(account->forwardTo, "\"Desk\" <first@far.example>   second@far.example");
  account->toIsFirstDest = 1;
  ASSERT_EQ(Compose(kMail), 1);
  EXPECT_EQ(HeaderLine("To:"), "To: \"Desk\"");
  account->stripAddressComments = 1;
  SetText(account->forwardTo, "first@far.example second@far.example");
  ASSERT_EQ(Compose(kMail), 1);
  EXPECT_EQ(HeaderLine("To:"), "To: first@far.example");

  account->toIsFirstDest = 0;
  account->stripAddressComments = 0;
  account->addMyDomain = 1;
  ASSERT_EQ(Compose(kMail), 1);
  EXPECT_EQ(HeaderLine("To:"), "To: alice@home.example, bob@other.example, ");
}

TEST_F(ComposeTest, CcGetsTheDestinationsWithOneSeparator) {
  SetText(account->forwardTo, "d1@far.example   d2@far.example");
  account->ccAllDests = 1;
  struct Case {
    std::string_view cc;
    int16_t addMyDomain;
    std::string_view expected;
  };
  const Case cases[] = {
      {"", 0, "Cc: d1@far.example, d2@far.example"},
      {"Cc: a@x.example", 0, "Cc: a@x.example, d1@far.example, d2@far.example"},
      {"Cc: a@x.example, ", 0, "Cc: a@x.example, d1@far.example, d2@far.example"},
      {"Cc: a@x.example,", 0, "Cc: a@x.example, d1@far.example, d2@far.example"},
      {"Cc: a, b@x.example", 1, "Cc: a@home.example, b@x.example, d1@far.example, d2@far.example"},
  };
  for (const Case& c : cases) {
    account->addMyDomain = c.addMyDomain;
    std::string mail = "From: t@s.example\r\n";
    if (!c.cc.empty()) mail += std::string(c.cc) + "\r\n";
    ASSERT_EQ(Compose(mail + "Subject: x\r\n\r\nbody"), 1);
    EXPECT_EQ(HeaderLine("Cc:"), c.expected) << c.cc;
  }
}

TEST_F(ComposeTest, EnvelopeLineNamesTheSenderOrUnknownSender) {
  ASSERT_EQ(Compose("Subject: x\r\n\r\nbody"), 1);
  EXPECT_EQ(Part().substr(0, Part().find("\r\n")), "unknown_sender");
  ASSERT_EQ(Compose("From: \"A <fake@x>\" <\r\n real@sender.example>\r\nSubject: x\r\n\r\nbody"), 1);
  EXPECT_EQ(Part().substr(0, Part().find("\r\n")), "real@sender.example");
  EXPECT_EQ(HeaderLine("From:"), "From: \"A <fake@x>\" < real@sender.example>")
      << "the From line is written unfolded";
}

}  // namespace
}  // namespace velnora::testing
