#include "transport/account_session.h"

#include <gtest/gtest.h>

#include "support/fake_server.h"
#include "transport_fixture.h"

namespace velnora {
namespace {

using testing::FakeServer;
using testing::TransportFixture;

// A session ends with QUIT only when the conversation was declared in order;
// Broken takes that back, and Close happens once whatever follows.
TEST(SessionCloser, QuitOnlyForAConversationInOrder) {
  struct Case {
    const char* name;
    bool inOrder;
    bool brokenAfter;
    bool quit;
  };
  const Case cases[] = {
      {"in order", true, false, true},
      {"never declared", false, false, false},
      {"broken after all", true, true, false},
  };
  for (const Case& c : cases) {
    TransportFixture fx;
    FakeServer server;
    server.Send("+OK ready\r\n");
    if (c.quit) server.Expect("QUIT\r\n").Send("+OK bye\r\n");
    server.Hang(300);
    server.Start();
    fx.UsePort(server.port());
    MailSession session;
    {
      SessionCloser closer(fx.env(), session, fx.account());
      ASSERT_TRUE(ConnectSession(fx.env(), fx.account(), session, SessionKind::Pop3)) << c.name;
      std::string greeting;
      ASSERT_GT(recv_com(fx.env(), session, greeting, 4096, kTagPop3, &fx.account()), 0);
      if (c.inOrder) closer.InOrder();
      if (c.brokenAfter) closer.Broken();
      closer.Close();
      EXPECT_FALSE(session.isOpen()) << c.name;
      closer.InOrder();  // too late: closed once
    }
    server.Wait(5000);
    EXPECT_EQ(server.Received(), c.quit ? "QUIT\r\n" : "") << c.name;
    EXPECT_EQ(server.Failures(), std::vector<std::string>{}) << c.name;
  }
}

// The per-second wait shows "[name]" and its text for every second and
// ends early, false, when the worker is asked to stop.
TEST(CountSeconds, CountsInTheStatusAndStopsOnRequest) {
  TransportFixture fx;
  testing::SetText(fx.account().accountName, "acct");
  auto text = [](int second, int total) {
    return "wait " + std::to_string(second) + "/" + std::to_string(total);
  };
  EXPECT_TRUE(CountSeconds(fx.env(), fx.account(), 2, StatusIcon::Waiting, text));
  ASSERT_EQ(fx.reporter().statuses.size(), 2u);
  EXPECT_EQ(fx.reporter().statuses[0].first, "[acct]wait 1/2");
  EXPECT_EQ(fx.reporter().statuses[1].first, "[acct]wait 2/2");
  EXPECT_EQ(fx.reporter().statuses[1].second, 4);

  fx.env().flags.stopRequested = true;
  EXPECT_FALSE(CountSeconds(fx.env(), fx.account(), 30, StatusIcon::Waiting, text));
  EXPECT_EQ(fx.reporter().statuses.size(), 2u) << "no second counted once stopped";
  // No wait asked for is no wait to end early: a multi-part send goes on.
  EXPECT_TRUE(CountSeconds(fx.env(), fx.account(), 0, StatusIcon::Waiting, text));
}

}  // namespace
}  // namespace velnora
