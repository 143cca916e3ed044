#include "transport/mail_session.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/clock.h"
#include "support/fake_server.h"
#include "transport_fixture.h"

namespace velnora {
namespace {

using testing::FakeServer;
using testing::TransportFixture;

TEST(SocketErrorText, ProtocolPrefixAndTableText) {
  struct Case {
    int code;
    int tag;
    std::u8string_view expected;
  };
  const Case cases[] = {
      {10061, kTagPop3, u8"POP3: 通信エラーが発生しました : Connection refused."},
      {10061, kTagPop3Pass, u8"POP3: 通信エラーが発生しました : Connection refused."},
      {10060, kTagApop, u8"POP3: 通信エラーが発生しました : Connection timed out."},
      {10054, kTagSmtp, u8"SMTP: 通信エラーが発生しました : Connection reset by peer."},
      {11001, kTagNone, u8"SMTP: 通信エラーが発生しました : Host not found."},
      {183, kTagClosing, u8"SMTP: 通信エラーが発生しました : Resource/server temporarily unavailable. Try again."},
      {12345, kTagPop3, u8"通信エラーが発生しました  code=12345"},
      {0, kTagPop3, u8"通信エラーが発生しました  code=0"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatSocketError(c.code, c.tag), platform::Cp932FromUtf8Literal(c.expected))
        << c.code << "/" << c.tag;
  }
}

TEST(SessionLogPrefixes, PerTagAndDirection) {
  EXPECT_EQ(SentPrefix(kTagSmtp), "SMTP:");
  EXPECT_EQ(SentPrefix(kTagPop3), "POP3:");
  EXPECT_EQ(SentPrefix(kTagPop3Pass), "POP3:");
  EXPECT_EQ(SentPrefix(kTagApop), "APOP:");
  EXPECT_EQ(SentPrefix(kTagClosing), "****:");
  EXPECT_EQ(ReceivedPrefix(kTagPop3Pass), "****:");
  EXPECT_EQ(ReceivedPrefix(kTagApop), "APOP:");
}

class SessionTest : public ::testing::Test {
 protected:
  int Open(FakeServer& server) {
    server.Start();
    fx.UsePort(server.port());
    return ConnectSession(fx.env(), fx.account(), session, SessionKind::Pop3) ? 0 : -1;
  }
  TransportFixture fx;
  MailSession session;
};

TEST_F(SessionTest, ReplySplitAcrossSegmentsIsJoinedAndNulsBecomeBlanks) {
  FakeServer server;
  server.SendSegments({"+O", "K he", std::string("l\0o", 3), "\r", "\n"});
  ASSERT_EQ(Open(server), 0);
  std::string reply;
  EXPECT_GT(recv_com(fx.env(), session, reply, 65536, kTagPop3, &fx.account()), 0);
  EXPECT_EQ(reply, "+OK hel o\r\n");
  CloseSession(fx.env(), session, false, &fx.account());
  EXPECT_FALSE(session.isOpen());
}

TEST_F(SessionTest, PeerCloseInsteadOfReplyFailsWithoutActivityLine) {
  fx.common().sessionLog = 1;
  FakeServer server;
  server.Close();
  ASSERT_EQ(Open(server), 0);
  std::string reply;
  EXPECT_EQ(recv_com(fx.env(), session, reply, 65536, kTagPop3, &fx.account()), -1);
  EXPECT_TRUE(fx.Activities().empty());
  EXPECT_NE(fx.SessionLog().find("****: ERR recv=0 detected..(2): the connection has been "
                                 "gracefully closed.\r\n"),
            std::string::npos);
}

TEST_F(SessionTest, SilentServerTimesOutInBothModes) {
  fx.common().timeoutSec = 1;
  for (int nonBlocking : {0, 1}) {
    fx.account().nonBlocking = int16_t(nonBlocking);
    FakeServer server;
    server.Hang(4000);
    ASSERT_EQ(Open(server), 0);
    EXPECT_EQ(session.nonBlocking, nonBlocking);
    const int64_t start = platform::TickMs();
    std::string reply;
    EXPECT_EQ(recv_com(fx.env(), session, reply, 65536, kTagPop3, &fx.account()), -1);
    const int64_t elapsed = platform::TickMs() - start;
    EXPECT_GE(elapsed, 900);
    EXPECT_LT(elapsed, 3000);
    CloseSession(fx.env(), session, false, &fx.account());
  }
  const auto texts = fx.Activities();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0], SJIS(u8"POP3: 通信エラーが発生しました : Connection timed out."));
  EXPECT_EQ(texts[1], SJIS(u8"受信タイムアウトが発生しました code=02"));
}

TEST_F(SessionTest, StopRequestEndsAReceiveWaitEarlyAndQuietly) {
  fx.common().timeoutSec = 60;
  for (int nonBlocking : {0, 1}) {
    fx.account().nonBlocking = int16_t(nonBlocking);
    fx.flags().stopRequested = false;
    FakeServer server;
    server.Hang(10000);
    ASSERT_EQ(Open(server), 0);
    std::thread stopper([&] {
      platform::SleepMs(200);
      fx.flags().stopRequested = true;
    });
    const int64_t start = platform::TickMs();
    std::string reply;
    EXPECT_EQ(recv_com(fx.env(), session, reply, 65536, kTagPop3, &fx.account()), -1);
    stopper.join();
    EXPECT_LT(platform::TickMs() - start, 3000);
    CloseSession(fx.env(), session, false, &fx.account());
  }
  EXPECT_FALSE(fx.HasActivity(SJIS(u8"通信エラー")));
}

TEST_F(SessionTest, AReplyWithoutLineEndStopsGrowingNearTheCapacity) {
  FakeServer server;
  server.Send(std::string(20000, 'x')).Hang(3000);
  ASSERT_EQ(Open(server), 0);
  std::string reply;
  // Capacity 10,000: no read starts once more than 1,808 bytes were held
  // before the last one, so the reply ends within two reads past that.
  EXPECT_GT(recv_com(fx.env(), session, reply, 10000, kTagPop3, &fx.account()), 0);
  EXPECT_GT(reply.size(), 1808u);
  EXPECT_LE(reply.size(), 1808u + 2 * 1024u);
}

TEST_F(SessionTest, ConfiguredDelaysEndOnAStopRequest) {
  EXPECT_TRUE(SessionDelay(fx.env(), 10));
  std::thread stopper([&] {
    platform::SleepMs(100);
    fx.flags().stopRequested = true;
  });
  const int64_t start = platform::TickMs();
  EXPECT_FALSE(SessionDelay(fx.env(), 60000));
  stopper.join();
  EXPECT_LT(platform::TickMs() - start, 2000);
}

TEST_F(SessionTest, PasswordsNeverReachTheSessionLog) {
  fx.common().sessionLog = 1;
  FakeServer server;
  server.Expect("PASS s3cret-pw\r\n").Send("+OK\r\n").Expect("APOP alice 0123abcd\r\n").Send("+OK\r\n");
  ASSERT_EQ(Open(server), 0);
  std::string reply;
  EXPECT_GT(SendCommand(fx.env(), session, "PASS s3cret-pw\r\n", kTagPop3Pass, &fx.account()), 0);
  EXPECT_GT(recv_com(fx.env(), session, reply, 65536, kTagPop3Pass, &fx.account()), 0);
  EXPECT_GT(SendCommand(fx.env(), session, "APOP alice 0123abcd\r\n", kTagApop, &fx.account()), 0);
  EXPECT_GT(recv_com(fx.env(), session, reply, 65536, kTagApop, &fx.account()), 0);
  CloseSession(fx.env(), session, true, &fx.account());
  EXPECT_TRUE(server.Wait());
  EXPECT_TRUE(server.Failures().empty());
  const std::string log = fx.SessionLog();
  EXPECT_EQ(log.find("s3cret"), std::string::npos) << log;
  EXPECT_EQ(log.find("0123abcd"), std::string::npos) << log;
  EXPECT_NE(log.find("[->]PASS *****\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find("APOP:"), std::string::npos);
  EXPECT_NE(log.find("[->]APOP ***** *****\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find("[->]QUIT\r\n"), std::string::npos) << log;
  EXPECT_EQ(server.Received(), "PASS s3cret-pw\r\nAPOP alice 0123abcd\r\nQUIT\r\n");
}

TEST_F(SessionTest, OpeningFailuresShowTheirStatusTexts) {
  {
    uint16_t closedPort;
    {
      FakeServer probe;
      closedPort = probe.port();
    }
    fx.UsePort(closedPort);
    EXPECT_FALSE(ConnectSession(fx.env(), fx.account(), session, SessionKind::Pop3));
    EXPECT_TRUE(fx.HasStatus("Error:OpenRcvSession:connect"));
    EXPECT_FALSE(session.isOpen());
    EXPECT_FALSE(ConnectSession(fx.env(), fx.account(), session, SessionKind::Smtp));
  }
  testing::SetText(fx.account().popServer, "no-such-host.invalid");
  EXPECT_FALSE(ConnectSession(fx.env(), fx.account(), session, SessionKind::Pop3));
  EXPECT_TRUE(fx.HasStatus("Error:OpenRcvSession:gethostbyname:"));
  testing::SetText(fx.account().smtpServer, "");
  EXPECT_FALSE(ConnectSession(fx.env(), fx.account(), session, SessionKind::Smtp));
  EXPECT_TRUE(fx.HasStatus("Error:OpenSendSession:gethostbyname:"));
}

TEST_F(SessionTest, NonBlockingRefusedConnectIsReportedWithTheSocketText) {
  fx.account().nonBlocking = 1;
  uint16_t closedPort;
  {
    FakeServer probe;
    closedPort = probe.port();
  }
  fx.UsePort(closedPort);
  EXPECT_FALSE(ConnectSession(fx.env(), fx.account(), session, SessionKind::Pop3));
  EXPECT_TRUE(fx.HasActivity(SJIS(u8"POP3: 通信エラーが発生しました : Connection refused.")));
}

TEST_F(SessionTest, TlsForcesBlockingModeAndAFailedHandshakeIsReported) {
  fx.account().nonBlocking = 1;
  fx.account().popSsl = 1;
  FakeServer server;
  server.Send("+OK plain text, no TLS here\r\n").Hang(1000);
  EXPECT_EQ(Open(server), -1);
  EXPECT_EQ(session.nonBlocking, 0);
  EXPECT_TRUE(fx.HasStatus("Error:SSL_connect"));
  EXPECT_TRUE(fx.HasActivity("[127.0.0.1]"));
  EXPECT_FALSE(session.isOpen());
}

TEST_F(SessionTest, ChunkReceiveReturnsDataThenZeroOnClose) {
  FakeServer server;
  server.Send(std::string("ab\0c", 4)).Close();
  ASSERT_EQ(Open(server), 0);
  std::string chunk;
  std::string all;
  long n;
  while ((n = RecvChunk(fx.env(), session, chunk, 65536, kTagNone, &fx.account())) > 0) all += chunk;
  EXPECT_EQ(n, 0);
  EXPECT_EQ(all, "ab c");
  EXPECT_TRUE(fx.Activities().empty());
}

}  // namespace
}  // namespace velnora
