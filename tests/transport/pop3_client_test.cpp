#include "transport/pop3/pop3_client.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "platform/clock.h"
#include "support/fake_server.h"
#include "transport/md5.h"
#include "scripted_sessions.h"

namespace velnora {
namespace {

using testing::FakeServer;
using testing::FileText;
using testing::TransportFixture;

// The scripted part of a USER/PASS log-in and STAT with `count` messages.
void ScriptLogin(FakeServer& server, int count) {
  testing::ScriptLogin(server, "+OK " + std::to_string(count) + " 1234\r\n");
}

std::string Message(int n) {
  return "+OK message follows\r\nSubject: m" + std::to_string(n) + "\r\n\r\n..dotted\r\nbody " +
         std::to_string(n) + "\r\n.\r\n";
}

class Pop3Test : public ::testing::Test {
 protected:
  int Login(FakeServer& server) {
    server.Start();
    fx.UsePort(server.port());
    return OpenRcvSession(fx.env(), fx.account(), fx.runtime());
  }
  void Finish(FakeServer& server) {
    CloseSession(fx.env(), fx.runtime().session, true, &fx.account());
    EXPECT_TRUE(server.Wait());
    EXPECT_EQ(server.Failures(), std::vector<std::string>{});
  }
  std::string MailFile(int number) { return FileText(ReceivedMailPath(fx.env(), number)); }
  bool MailFileExists(int number) { return platform::FileExists(ReceivedMailPath(fx.env(), number)); }

  TransportFixture fx;
};

TEST_F(Pop3Test, UserPassLoginAndStatGiveTheCount) {
  FakeServer server;
  ScriptLogin(server, 7);
  EXPECT_EQ(Login(server), 7);
  EXPECT_EQ(fx.runtime().mailCount, 7);
  EXPECT_EQ(fx.runtime().statCount, 7);
  Finish(server);
  EXPECT_EQ(server.Received(), "USER alice\r\nPASS s3cret-pw\r\nSTAT\r\nQUIT\r\n");
}

TEST_F(Pop3Test, ApopDigestCoversTimestampAndPassword) {
  fx.account().useApop = 1;
  struct Case {
    std::string greeting;
    std::string stamp;
  };
  const Case cases[] = {
      {"+OK POP3 <1896.697170952@dbc.mtview.ca.us>\r\n", "<1896.697170952@dbc.mtview.ca.us>"},
      {"+OK no stamp here\r\n", ""},
  };
  for (const auto& c : cases) {
    FakeServer server;
    server.Send(c.greeting)
        .Expect("APOP alice " + DigestHex(Md5(c.stamp + "s3cret-pw")) + "\r\n")
        .Send("+OK\r\n")
        .Expect("STAT\r\n")
        .Send("+OK 0 0\r\n");
    EXPECT_EQ(Login(server), 0) << c.greeting;
    Finish(server);
  }
}

TEST_F(Pop3Test, WrongPasswordShowsAuthenticationErrorAndTheServerWords) {
  FakeServer server;
  server.Send("+OK ready\r\n")
      .Expect("USER alice\r\n")
      .Send("+OK\r\n")
      .Expect("PASS s3cret-pw\r\n")
      .Send("-ERR [AUTH] Authentication failed.\r\n");
  EXPECT_EQ(Login(server), -1);
  const auto texts = fx.Activities();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0], SJIS(u8"POPサーバー認証エラー"));
  EXPECT_NE(texts[1].find("-ERR [AUTH] Authentication failed."), std::string::npos);
  EXPECT_EQ(fx.ActivityCodes(), (std::vector<int>{4, 20}));
  Finish(server);
}

TEST_F(Pop3Test, NegativeReplyAtEveryLoginStepFails) {
  struct Step {
    const char* name;
    int rows;  // activity rows expected
  };
  const Step steps[] = {{"greeting", 1}, {"USER", 2}, {"PASS", 2}, {"STAT", 1}};
  for (std::size_t failAt = 0; failAt < std::size(steps); ++failAt) {
    TransportFixture local;
    FakeServer server;
    const std::string err = "-ERR at " + std::string(steps[failAt].name) + "\r\n";
    server.Send(failAt == 0 ? err : "+OK\r\n");
    if (failAt >= 1) server.Expect("USER alice\r\n").Send(failAt == 1 ? err : "+OK\r\n");
    if (failAt >= 2) server.Expect("PASS s3cret-pw\r\n").Send(failAt == 2 ? err : "+OK\r\n");
    if (failAt >= 3) server.Expect("STAT\r\n").Send(failAt == 3 ? err : "+OK\r\n");
    server.Start();
    local.UsePort(server.port());
    EXPECT_EQ(OpenRcvSession(local.env(), local.account(), local.runtime()), -1) << steps[failAt].name;
    EXPECT_EQ(local.Activities().size(), std::size_t(steps[failAt].rows)) << steps[failAt].name;
    EXPECT_TRUE(local.HasActivity("-ERR at " + std::string(steps[failAt].name)));
    CloseSession(local.env(), local.runtime().session, false, &local.account());
    EXPECT_TRUE(server.Wait());
  }
}

TEST_F(Pop3Test, GreetingWithoutAnswerTimesOut) {
  fx.common().timeoutSec = 1;
  FakeServer server;
  server.Hang(3000);
  EXPECT_EQ(Login(server), -1);
  EXPECT_TRUE(fx.HasActivity(SJIS(u8"Connection timed out.")));
}

TEST_F(Pop3Test, StatCountThatIsNotANumberFails) {
  FakeServer server;
  server.Send("+OK\r\n").Expect("USER alice\r\n").Send("+OK\r\n").ExpectPrefix("PASS ").Send("+OK\r\n");
  server.Expect("STAT\r\n").Send("+OK many 0\r\n");
  EXPECT_EQ(Login(server), -1);
  EXPECT_TRUE(fx.HasActivity("+OK many 0"));
  Finish(server);
}

TEST_F(Pop3Test, OnlyNewMessagesAreFetchedByteForByte) {
  fx.runtime().SetStoredUidl(0, "uid-a");
  fx.runtime().SetStoredCount(1);
  fx.runtime().MarkSaved();
  FakeServer server;
  ScriptLogin(server, 3);
  server.Expect("UIDL\r\n")
      .SendSegments({"+OK\r\n1 uid-a\r\n2 u", "id-b\r\n3 uid-c\r\n", ".\r\n"})
      .Expect("LIST 2\r\n")
      .Send("+OK 2 100\r\n")
      .Expect("RETR 2\r\n")
      .SendSegments({"+OK message follows\r\nSubject: m2\r\n\r\n", std::string("bo\0dy\r\n.", 8), "\r\n"})
      .Expect("LIST 3\r\n")
      .Send("+OK 3 100\r\n")
      .Expect("RETR 3\r\n")
      .Send(Message(3));
  EXPECT_EQ(Login(server), 3);
  EXPECT_EQ(ReceiveMailFromHost(fx.env(), fx.account(), fx.runtime()), FetchResult::Complete);
  Finish(server);
  EXPECT_FALSE(MailFileExists(1));
  EXPECT_EQ(MailFile(2), "+OK message follows\r\nSubject: m2\r\n\r\nbo dy\r\n.\r\n");
  EXPECT_EQ(MailFile(3), Message(3));
  EXPECT_EQ(fx.runtime().mailCount, 3);
  EXPECT_EQ(fx.runtime().storedCount(), 3);
  EXPECT_EQ(fx.runtime().StoredUidl(0), "uid-a");
  // The fetched messages are recorded by the forwarding once handled.
  EXPECT_EQ(fx.runtime().StoredUidl(1), "");
  EXPECT_EQ(fx.runtime().StoredUidl(2), "");
  EXPECT_EQ(fx.runtime().fetched, (std::vector<int>{1, 2}));
  EXPECT_TRUE(fx.runtime().changed());
}

TEST_F(Pop3Test, DuplicateUidlsAreToldApartByCountAndLongUidlsAreCut) {
  const std::string longUidl(80, 'L');
  fx.runtime().SetStoredUidl(0, "dup");
  fx.runtime().SetStoredUidl(1, longUidl.substr(0, 70));
  fx.runtime().SetStoredCount(2);
  FakeServer server;
  ScriptLogin(server, 3);
  server.Expect("UIDL\r\n")
      .Send("+OK\r\n1 dup\r\n2 dup\r\n3 " + longUidl + "\r\n.\r\n")
      .Expect("LIST 2\r\n")
      .Send("+OK\r\n")
      .Expect("RETR 2\r\n")
      .Send(Message(2));
  EXPECT_EQ(Login(server), 3);
  EXPECT_EQ(ReceiveMailFromHost(fx.env(), fx.account(), fx.runtime()), FetchResult::Complete);
  Finish(server);
  EXPECT_EQ(MailFile(2), Message(2));
  EXPECT_EQ(fx.runtime().StoredUidl(2), longUidl.substr(0, 70));
}

TEST_F(Pop3Test, FetchLimitLeavesTheRestForTheNextCheck) {
  fx.common().limitFetch = 1;
  fx.common().fetchLimit = 3;
  const std::string listing = "+OK\r\n1 a\r\n2 b\r\n3 c\r\n4 d\r\n5 e\r\n.\r\n";
  {
    FakeServer server;
    ScriptLogin(server, 5);
    server.Expect("UIDL\r\n").Send(listing);
    for (int n = 1; n <= 3; ++n) {
      server.Expect("LIST " + std::to_string(n) + "\r\n").Send("+OK\r\n");
      server.Expect("RETR " + std::to_string(n) + "\r\n").Send(Message(n));
    }
    EXPECT_EQ(Login(server), 5);
    EXPECT_EQ(ReceiveMailFromHost(fx.env(), fx.account(), fx.runtime()), FetchResult::EndedEarly);
    CloseSession(fx.env(), fx.runtime().session, false, &fx.account());
    EXPECT_TRUE(server.Wait());
    EXPECT_TRUE(server.Failures().empty());
  }
  EXPECT_TRUE(fx.HasActivity(SJIS(u8"取得できなかった新着メールが 2 通ありますが、これらは次回に転送されます。")));
  EXPECT_EQ(fx.runtime().mailCount, 3);
  for (int m : fx.runtime().fetched) fx.runtime().SetStoredUidl(m, fx.runtime().CurrentUidl(m));  // handled
  {
    FakeServer server;
    ScriptLogin(server, 5);
    server.Expect("UIDL\r\n").Send(listing);
    for (int n = 4; n <= 5; ++n) {
      server.Expect("LIST " + std::to_string(n) + "\r\n").Send("+OK\r\n");
      server.Expect("RETR " + std::to_string(n) + "\r\n").Send(Message(n));
    }
    EXPECT_EQ(Login(server), 5);
    EXPECT_EQ(ReceiveMailFromHost(fx.env(), fx.account(), fx.runtime()), FetchResult::Complete);
    Finish(server);
  }
  EXPECT_EQ(fx.runtime().storedCount(), 5);
  EXPECT_EQ(MailFile(5), Message(5));
}

TEST_F(Pop3Test, ReverseOrderWithEarlyEndKeepsUnfetchedMessagesNew) {
  fx.common().limitFetch = 1;
  fx.common().fetchLimit = 1;
  fx.account().reversePopOrder = 1;
  FakeServer server;
  ScriptLogin(server, 3);
  server.Expect("UIDL\r\n")
      .Send("+OK\r\n1 a\r\n2 b\r\n3 c\r\n.\r\n")
      .Expect("LIST 3\r\n")
      .Send("+OK\r\n")
      .Expect("RETR 3\r\n")
      .Send(Message(3));
  EXPECT_EQ(Login(server), 3);
  EXPECT_EQ(ReceiveMailFromHost(fx.env(), fx.account(), fx.runtime()), FetchResult::EndedEarly);
  CloseSession(fx.env(), fx.runtime().session, false, &fx.account());
  EXPECT_TRUE(server.Wait());
  // Message 3 is the one fetched; messages 1 and 2 were never fetched and stay new.
  EXPECT_EQ(fx.runtime().fetched, std::vector<int>{2});
  EXPECT_EQ(fx.runtime().StoredUidl(2), "");
  EXPECT_EQ(fx.runtime().StoredUidl(0), "");
  EXPECT_EQ(fx.runtime().StoredUidl(1), "");
}

TEST_F(Pop3Test, ServerClosingMidMessageKeepsNothingAndTheMessageStaysNew) {
  FakeServer server;
  ScriptLogin(server, 2);
  server.Expect("UIDL\r\n")
      .Send("+OK\r\n1 a\r\n2 b\r\n.\r\n")
      .Expect("LIST 1\r\n")
      .Send("+OK\r\n")
      .Expect("RETR 1\r\n")
      .Send(Message(1))
      .Expect("LIST 2\r\n")
      .Send("+OK\r\n")
      .Expect("RETR 2\r\n")
      .Send("+OK\r\nSubject: half\r\n\r\npart of the bo")
      .Close();
  EXPECT_EQ(Login(server), 2);
  EXPECT_EQ(ReceiveMailFromHost(fx.env(), fx.account(), fx.runtime()), FetchResult::EndedEarly);
  CloseSession(fx.env(), fx.runtime().session, false, &fx.account());
  EXPECT_EQ(MailFile(1), Message(1));
  EXPECT_FALSE(MailFileExists(2));
  EXPECT_EQ(fx.runtime().mailCount, 1);
  EXPECT_EQ(fx.runtime().fetched, std::vector<int>{0});
  EXPECT_EQ(fx.runtime().StoredUidl(1), "");
}

TEST_F(Pop3Test, NegativeRepliesDuringTheFetch) {
  struct Case {
    const char* name;
    std::function<void(FakeServer&)> script;
    FetchResult result;
  };
  const Case cases[] = {
      {"UIDL", [](FakeServer& s) { s.Expect("UIDL\r\n").Send("-ERR no UIDL\r\n"); }, FetchResult::NoUidlListing},
      {"LIST",
       [](FakeServer& s) {
         s.Expect("UIDL\r\n").Send("+OK\r\n1 a\r\n.\r\n").Expect("LIST 1\r\n").Send("-ERR gone\r\n");
       },
       FetchResult::EndedEarly},
      {"RETR",
       [](FakeServer& s) {
         s.Expect("UIDL\r\n").Send("+OK\r\n1 a\r\n.\r\n").Expect("LIST 1\r\n").Send("+OK\r\n");
         s.Expect("RETR 1\r\n").Send("-ERR cannot read\r\n");
       },
       FetchResult::EndedEarly},
  };
  for (const auto& c : cases) {
    TransportFixture local;
    FakeServer server;
    ScriptLogin(server, 1);
    c.script(server);
    server.Start();
    local.UsePort(server.port());
    ASSERT_EQ(OpenRcvSession(local.env(), local.account(), local.runtime()), 1) << c.name;
    EXPECT_EQ(ReceiveMailFromHost(local.env(), local.account(), local.runtime()), c.result) << c.name;
    EXPECT_TRUE(local.HasActivity("-ERR")) << c.name;
    EXPECT_FALSE(platform::FileExists(ReceivedMailPath(local.env(), 1))) << c.name;
    EXPECT_EQ(local.runtime().StoredUidl(0), "") << c.name;
    CloseSession(local.env(), local.runtime().session, false, &local.account());
    EXPECT_TRUE(server.Wait());
  }
}

TEST_F(Pop3Test, StopRequestEndsTheFetchWithoutRecordingAnything) {
  FakeServer server;
  ScriptLogin(server, 2);
  server.Expect("UIDL\r\n").Send("+OK\r\n1 a\r\n2 b\r\n.\r\n").Expect("LIST 1\r\n").Send("+OK\r\n");
  server.Expect("RETR 1\r\n").Hang(10000);
  EXPECT_EQ(Login(server), 2);
  std::thread stopper([&] {
    platform::SleepMs(300);
    fx.flags().stopRequested = true;
  });
  const int64_t start = platform::TickMs();
  EXPECT_EQ(ReceiveMailFromHost(fx.env(), fx.account(), fx.runtime()), FetchResult::Complete);
  stopper.join();
  EXPECT_LT(platform::TickMs() - start, 4000);
  EXPECT_EQ(fx.runtime().storedCount(), 0);
  EXPECT_EQ(fx.runtime().mailCount, 2);
}

TEST_F(Pop3Test, NoUidlModeFetchesFromStartIndex) {
  fx.account().noUidlActive = 1;
  fx.runtime().startIndex = 1;
  FakeServer server;
  ScriptLogin(server, 2);
  server.Expect("LIST 2\r\n").Send("+OK\r\n").Expect("RETR 2\r\n").Send(Message(2));
  EXPECT_EQ(Login(server), 2);
  EXPECT_EQ(ReceiveMailFromHost(fx.env(), fx.account(), fx.runtime()), FetchResult::Complete);
  Finish(server);
  EXPECT_EQ(MailFile(2), Message(2));
}

TEST_F(Pop3Test, OverLimitListingWarnsOnce) {
  TransportFixture small(2);
  small.runtime().SetStoredCount(2);
  small.runtime().SetStoredUidl(0, "a");
  small.runtime().SetStoredUidl(1, "b");
  FakeServer server;
  ScriptLogin(server, 3);
  server.Expect("UIDL\r\n").Send("+OK\r\n1 a\r\n2 b\r\n3 c\r\n.\r\n");
  server.Expect("LIST 3\r\n").Send("+OK\r\n").Expect("RETR 3\r\n").Send(Message(3));
  server.Start();
  small.UsePort(server.port());
  ASSERT_EQ(OpenRcvSession(small.env(), small.account(), small.runtime()), 3);
  EXPECT_EQ(ReceiveMailFromHost(small.env(), small.account(), small.runtime()), FetchResult::Complete);
  EXPECT_EQ(small.Activities().size(), 1u);
  EXPECT_TRUE(small.HasActivity(SJIS(u8"最大メール保持数（2）を越えています")));
  EXPECT_EQ(small.runtime().storedCount(), 2);
  EXPECT_EQ(FileText(ReceivedMailPath(small.env(), 3)), Message(3));
  CloseSession(small.env(), small.runtime().session, true, &small.account());
  EXPECT_TRUE(server.Wait());
}

TEST_F(Pop3Test, MarkAllAsForwardedStoresTheListingInOrder) {
  fx.runtime().startIndex = 4;
  FakeServer server;
  ScriptLogin(server, 3);
  server.Expect("UIDL\r\n").SendSegments({"+OK\r\n1 x\r\n2 y", "\r\n3 y\r\n.\r\n"}).Expect("QUIT\r\n").Send("+OK\r\n");
  server.Start();
  fx.UsePort(server.port());
  EXPECT_EQ(MarkAllAsForwarded(fx.env(), fx.account(), fx.runtime()), 1);
  EXPECT_TRUE(server.Wait());
  EXPECT_TRUE(server.Failures().empty());
  EXPECT_EQ(fx.runtime().startIndex, 0);
  EXPECT_EQ(fx.runtime().storedCount(), 3);
  EXPECT_EQ(fx.runtime().StoredUidl(0), "x");
  EXPECT_EQ(fx.runtime().StoredUidl(2), "y");
  EXPECT_FALSE(fx.runtime().session.isOpen());
}

TEST_F(Pop3Test, DeleteAllMailsInReverseOrder) {
  fx.account().reversePopOrder = 1;
  FakeServer server;
  ScriptLogin(server, 3);
  server.Expect("DELE 3\r\n").Send("+OK\r\n").Expect("DELE 2\r\n").Send("-ERR odd\r\n");
  server.Expect("DELE 1\r\n").Send("+OK\r\n").Expect("QUIT\r\n").Send("+OK bye\r\n");
  server.Start();
  fx.UsePort(server.port());
  EXPECT_EQ(DeleteAllMails(fx.env(), fx.account(), fx.runtime()), 1);
  EXPECT_TRUE(server.Wait());
  EXPECT_TRUE(server.Failures().empty());
  EXPECT_EQ(fx.runtime().mailCount, 0);
}

TEST_F(Pop3Test, DeleteAllMailsReportsAFailedLogin) {
  FakeServer server;
  server.Send("-ERR busy\r\n");
  server.Start();
  fx.UsePort(server.port());
  EXPECT_EQ(DeleteAllMails(fx.env(), fx.account(), fx.runtime()), 0);
  EXPECT_TRUE(fx.HasActivity(SJIS(u8"POPサーバーへ接続できません")));
  EXPECT_TRUE(fx.HasStatus("ERROR: OpenRcvSession."));
}

}  // namespace
}  // namespace velnora
