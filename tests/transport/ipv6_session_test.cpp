// Servers reached over IPv6: a server field may hold an IPv6 literal, with
// or without brackets, and a name may resolve to addresses of both
// families, of which the one that answers is used.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/net.h"
#include "scripted_sessions.h"
#include "support/fake_server.h"
#include "support/test_text.h"
#include "transport/pop3/pop3_client.h"
#include "transport/smtp/smtp_client.h"
#include "transport_fixture.h"

namespace velnora::testing {
namespace {

TEST(Ipv6Session, LiteralServerFieldsReachAnIpv6OnlyServer) {
  for (const char* host : {"::1", "[::1]"}) {
    SCOPED_TRACE(host);
    {
      TransportFixture t;
      FakeServer server(FakeServer::Loopback::IPv6);
      ScriptLogin(server, "+OK 2 320\r\n");
      server.Start();
      SetText(t.account().popServer, host);
      t.UsePort(server.port());
      EXPECT_EQ(OpenRcvSession(t.env(), t.account(), t.runtime()), 2) << t.ActivityTexts();
      CloseSession(t.env(), t.runtime().session, false, &t.account());
      server.Wait(5000);
    }
    {
      TransportFixture t(TestAccount::Smtp);
      FakeServer server(FakeServer::Loopback::IPv6);
      Greeted(server);
      server.Start();
      SetText(t.account().smtpServer, host);
      t.UseSmtpPort(server.port());
      EXPECT_TRUE(OpenSendSession(t.env(), t.account(), t.session())) << t.ActivityTexts();
      EXPECT_EQ(SmtpGreet(t.env(), t.account(), t.session()), 1);
      CloseSession(t.env(), t.session(), false, &t.account());
      server.Wait(5000);
    }
  }
}

// "localhost" names both ::1 and 127.0.0.1 where the hosts file says so
// (Debian's default); a server listening on only one of them is reached.
TEST(Ipv6Session, ANameOfBothFamiliesReachesTheOneThatListens) {
  std::vector<platform::HostAddress> addresses;
  ASSERT_EQ(platform::ResolveHost("localhost", addresses, 5000, nullptr), 0);
  const auto has = [&](bool ipv6) {
    return std::any_of(addresses.begin(), addresses.end(),
                       [&](const platform::HostAddress& a) { return a.ipv6 == ipv6; });
  };
  if (!has(true) || !has(false)) GTEST_SKIP() << "localhost names only one family on this machine";
  for (auto family : {FakeServer::Loopback::IPv4, FakeServer::Loopback::IPv6}) {
    TransportFixture t;
    FakeServer server(family);
    ScriptLogin(server, "+OK 1 10\r\n");
    server.Start();
    SetText(t.account().popServer, "localhost");
    t.UsePort(server.port());
    EXPECT_EQ(OpenRcvSession(t.env(), t.account(), t.runtime()), 1) << t.ActivityTexts();
    CloseSession(t.env(), t.runtime().session, false, &t.account());
    server.Wait(5000);
  }
}

}  // namespace
}  // namespace velnora::testing
