// All part files of a message: order, destination choice, what is deleted
// and what stays after a refusal.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <optional>
#include <fstream>
#include <thread>

#include "platform/clock.h"
#include "platform/codepage.h"

#include "platform/files.h"
#include "scripted_sessions.h"
#include "support/fake_server.h"
#include "transport/smtp/smtp_client.h"

namespace velnora {
namespace {

using testing::FakeServer;
using testing::Greeted;
using testing::SetText;
using testing::TestAccount;
using testing::TransportFixture;

void WritePart(const TransportFixture& t, int part, const std::string& text) {
  std::ofstream(PartFilePath(t.env().tempFolder, part), std::ios::binary) << text;
}

std::string PartText(int part) {
  return "s@x\r\nSubject: part " + std::to_string(part) + "\r\n\r\nb\r\n";
}

FakeServer& ExpectPart(FakeServer& server, const std::string& rcpt, int part,
                       const std::string& endReply = "250 ok\r\n") {
  return server.Expect("RSET\r\n").Send("250 ok\r\n")
      .ExpectPrefix("MAIL FROM:").Send("250 ok\r\n")
      .Expect("RCPT TO: <" + rcpt + ">\r\n").Send("250 ok\r\n")
      .Expect("DATA\r\n").Send("354 go\r\n")
      .Expect("Subject: part " + std::to_string(part) + "\r\n").Expect("\r\n").Expect("b\r\n")
      .Expect(".\r\n").Send(endReply);
}

// Empty when the session never got as far as the parts.
std::optional<SendResult> SendParts(TransportFixture& t, FakeServer& server, int parts,
                                    const std::function<void()>& allAccepted = {}) {
  server.Hang(200);
  return testing::InSmtpSession(
      t, server, [&] { return SendSplitParts(t.env(), t.account(), t.session(), parts, allAccepted); });
}

TEST(SmtpParts, ReverseOrderToTheApportionedDestinationThenDeleted) {
  TransportFixture t(TestAccount::Smtp);
  SetText(t.account().forwardTo, "a@x b@y");
  t.account().apportion = 1;
  t.account().apportionNext = 0;
  t.account().phoneMode = t.account().phoneSplit = t.account().phoneReverseOrder = 1;
  for (int part = 0; part < 3; ++part) WritePart(t, part, PartText(part));
  FakeServer server;
  Greeted(server);
  for (int part : {2, 1, 0}) ExpectPart(server, "b@y", part);
  EXPECT_EQ(SendParts(t, server, 3), SendResult::Sent);
  EXPECT_EQ(server.Failures(), std::vector<std::string>{});
  EXPECT_EQ(int{t.account().apportionCount}, 2);
  EXPECT_EQ(int{t.account().apportionNext}, 1);
  for (int part = 0; part < 3; ++part) EXPECT_FALSE(platform::FileExists(PartFilePath(t.env().tempFolder, part)));
}

TEST(SmtpParts, PhonePartsWaitBetweenAndAfterEachPart) {
  TransportFixture t(TestAccount::Smtp);
  t.account().phoneMode = t.account().phoneSplit = t.account().phoneSplitDelay = 1;
  t.account().phoneSplitDelaySec = 1;
  WritePart(t, 0, PartText(0));
  WritePart(t, 1, PartText(1));
  FakeServer server;
  Greeted(server);
  ExpectPart(server, "dest@velnora.test", 0);
  ExpectPart(server, "dest@velnora.test", 1);
  EXPECT_EQ(SendParts(t, server, 2), SendResult::Sent);
  int waits = 0;
  for (const auto& [text, icon] : t.reporter().statuses)
    waits += text == "[acct]" + SJIS(u8" 送信待ち... (1/1sec) ") && icon == 2;
  EXPECT_EQ(waits, 2);
}

TEST(SmtpParts, StopDuringThePhoneWaitEndsWithATransferFailure) {
  TransportFixture t(TestAccount::Smtp);
  t.account().phoneMode = t.account().phoneSplit = t.account().phoneSplitDelay = 1;
  t.account().phoneSplitDelaySec = 600;
  WritePart(t, 0, PartText(0));
  WritePart(t, 1, PartText(1));
  FakeServer server;
  Greeted(server);
  ExpectPart(server, "dest@velnora.test", 0);
  std::thread stopper([&] {
    platform::SleepMs(1500);
    t.flags().stopRequested = true;
  });
  EXPECT_EQ(SendParts(t, server, 2), SendResult::RetryNow);
  stopper.join();
  EXPECT_FALSE(platform::FileExists(PartFilePath(t.env().tempFolder, 0)));  // sent
  EXPECT_TRUE(platform::FileExists(PartFilePath(t.env().tempFolder, 1)));   // not yet
}

TEST(SmtpParts, RefusalStopsAndKeepsThePartFile) {
  TransportFixture t(TestAccount::Smtp);
  t.account().noResendOn550 = 1;
  WritePart(t, 0, PartText(0));
  WritePart(t, 1, PartText(1));
  FakeServer server;
  Greeted(server);
  ExpectPart(server, "dest@velnora.test", 0, "552 too big\r\n");
  EXPECT_EQ(SendParts(t, server, 2), SendResult::RefusedForGood);
  EXPECT_EQ(server.Failures(), std::vector<std::string>{});
  EXPECT_TRUE(platform::FileExists(PartFilePath(t.env().tempFolder, 0)));
  EXPECT_TRUE(platform::FileExists(PartFilePath(t.env().tempFolder, 1)));
}

TEST(SmtpParts, TemporaryRefusalIsATransferFailure) {
  TransportFixture t(TestAccount::Smtp);
  WritePart(t, 0, PartText(0));
  FakeServer server;
  Greeted(server);
  ExpectPart(server, "dest@velnora.test", 0, "451 later\r\n");
  EXPECT_EQ(SendParts(t, server, 1), SendResult::RetryNow);
}

// What does not reach a destination is never reported as sent: a part file
// that is gone or empty, or a destination list of blanks only.
TEST(SmtpParts, AGoneOrEmptyPartIsNotSent) {
  for (const bool empty : {true, false}) {
    TransportFixture t(TestAccount::Smtp);
    if (empty) WritePart(t, 1, "");
    WritePart(t, 0, PartText(0));
    FakeServer server;
    Greeted(server);
    ExpectPart(server, "dest@velnora.test", 0);
    EXPECT_EQ(SendParts(t, server, 2), SendResult::RetryNow) << (empty ? "empty" : "missing");
    EXPECT_EQ(server.Failures(), std::vector<std::string>{});
  }
}

TEST(SmtpParts, NoDestinationSendsNothingAndIsNotForwarded) {
  TransportFixture t(TestAccount::Smtp);
  SetText(t.account().forwardTo, "   ");
  t.account().apportionCount = 5;
  WritePart(t, 0, PartText(0));
  FakeServer server;
  Greeted(server);
  EXPECT_EQ(SendParts(t, server, 1), SendResult::RetryNow);
  EXPECT_EQ(int{t.account().apportionCount}, 0);
  EXPECT_EQ(server.Received().find("RSET"), std::string::npos);
  EXPECT_TRUE(platform::FileExists(PartFilePath(t.env().tempFolder, 0)));
}

// Once the last part has its 250 the message is sent: the caller hears of it
// before the feature-phone pause, and a stop during that pause changes
// nothing.
TEST(SmtpParts, StopDuringTheWaitAfterTheLastPartKeepsTheMessageSent) {
  TransportFixture t(TestAccount::Smtp);
  t.account().phoneMode = t.account().phoneSplit = t.account().phoneSplitDelay = 1;
  t.account().phoneSplitDelaySec = 600;
  WritePart(t, 0, PartText(0));
  FakeServer server;
  Greeted(server);
  ExpectPart(server, "dest@velnora.test", 0);
  std::atomic<bool> accepted{false};
  std::thread stopper([&] {
    const int64_t end = platform::TickMs() + 10000;
    while (!accepted && platform::TickMs() < end) platform::SleepMs(10);
    platform::SleepMs(1200);  // inside the pause
    t.flags().stopRequested = true;
  });
  EXPECT_EQ(SendParts(t, server, 1, [&] { accepted = true; }), SendResult::Sent);
  stopper.join();
  EXPECT_TRUE(accepted);
  EXPECT_FALSE(platform::FileExists(PartFilePath(t.env().tempFolder, 0)));
}

}  // namespace
}  // namespace velnora
