// An SMTP server whose replies contradict themselves: the message is neither
// counted as sent nor its body sent as commands; it is tried again later.
#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "scripted_sessions.h"
#include "support/fake_server.h"
#include "transport/smtp/smtp_client.h"
#include "transport/smtp/smtp_refusal.h"
#include "transport/smtp/smtp_reply.h"

namespace velnora {
namespace {

using testing::FakeServer;
using testing::Greeted;
using testing::TestAccount;
using testing::TransportFixture;

const char kText[] = "orig@sender.test\r\nSubject: t\r\n\r\nQUIT\r\n";

int Transact(TransportFixture& t, FakeServer& server) {
  return testing::InSmtpSession(t, server, [&] {
           return static_cast<int>(SendMessageText(t.env(), t.account(), t.session(), kText));
         }).value_or(-100);
}

FakeServer& UpToData(FakeServer& server) {
  return Greeted(server)
      .Expect("RSET\r\n")
      .Send("250 ok\r\n")
      .ReadLine()
      .Send("250 ok\r\n")
      .ReadLine()
      .Send("250 ok\r\n")
      .Expect("DATA\r\n");
}

TEST(SmtpHostile, RepliesWhoseLinesDisagreeAreFailures) {
  struct Case {
    const char* name;
    const char* dataReply;
    const char* endReply;  // nullptr: the body must not be sent
  };
  const Case cases[] = {
      {"sent judged by the first line", "354 go\r\n", "250-queued\r\n451 4.3.0 lost\r\n"},
      {"refusal judged by the first line", "354 go\r\n", "550-no\r\n250 ok\r\n"},
      {"reply after the final line", "354 go\r\n", "250 ok\r\n451 later\r\n"},
      {"body sent as commands", "354-go\r\n554 no\r\n", nullptr},
  };
  for (const Case& c : cases) {
    TransportFixture t(TestAccount::Smtp);
    t.account().noResendOn550 = 1;  // a clear 5xx would drop the message for good
    FakeServer server;
    UpToData(server).Send(c.dataReply);
    if (c.endReply) server.Expect("Subject: t\r\n").ReadLine().ReadLine().Expect(".\r\n").Send(c.endReply);
    server.Hang(300);
    const int result = Transact(t, server);
    EXPECT_TRUE(result == int(SendResult::RetryNow) || result == int(SendResult::RetryLater)) << c.name << ": " << result;
    EXPECT_EQ(server.Failures(), std::vector<std::string>{}) << c.name;
    if (!c.endReply) {
      EXPECT_EQ(server.Received().find("QUIT"), std::string::npos) << c.name;
    }
  }
}

TEST(SmtpHostile, ReplyCodeIsTheOneAllLinesAgreeOn) {
  const std::pair<const char*, int> cases[] = {
      {"250 ok\r\n", 250},
      {"250-a\r\n250-b\r\n250 c\r\n", 250},
      {"250-a\n250 c\n", 250},
      {"250\r\n250 ok\r\n", 250},
      {"250-a\r\n451 b\r\n", 0},
      {"354-go\r\n554 no\r\n", 0},
      {"junk\r\n354 go\r\n", 0},
      {"25-a\r\n250 b\r\n", 0},
      {"250 ok\r\n451 x\r\n", 0},
      {"250 ok\r\n\r\n", 250},
      {"250-a\r\n", 0},
  };
  for (const auto& [reply, code] : cases) {
    EXPECT_EQ(SmtpReplyCode(reply), code) << reply;
    SmtpReplyScanner scanner;
    for (const char* p = reply; *p; ++p) scanner.Feed(std::string_view(p, 1));
    EXPECT_EQ(scanner.code(), code) << reply;
  }
}

// Settings texts with a line break never reach the wire: the command that
// would carry one is refused and nothing of it is sent.
TEST(SmtpHostile, LineBreaksFromSettingsNeverReachTheWire) {
  struct Case {
    const char* name;
    void (*set)(AccountSettings&);
  };
  const Case cases[] = {
      {"myAddress",
       [](AccountSettings& a) {
         testing::SetText(a.myAddress, "me@x.example>\r\nRCPT TO:<evil@x.example");
       }},
      {"separateSmtpSender",
       [](AccountSettings& a) {
         a.useSeparateSmtp = 1;
         testing::SetText(a.separateSmtpSender, "me@x.example>\nRCPT TO:<evil@x.example");
       }},
      {"forwardTo",
       [](AccountSettings& a) {
         testing::SetText(a.forwardTo, "dest@x.example>\r\nRCPT\tTO:<evil@x.example");
       }},
  };
  for (const Case& c : cases) {
    TransportFixture t(TestAccount::Smtp);
    c.set(t.account());
    FakeServer server;
    Greeted(server);
    server.Expect("RSET\r\n").Send("250 ok\r\n").ReadLine().Send("250 ok\r\n").Hang(300);
    EXPECT_EQ(Transact(t, server), int(SendResult::RetryNow)) << c.name;
    EXPECT_EQ(server.Received().find("evil"), std::string::npos) << c.name;
    EXPECT_NE(t.ActivityTexts().find(SJIS(u8"制御文字")), std::string::npos) << c.name;
  }
}

}  // namespace
}  // namespace velnora
