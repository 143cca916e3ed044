// A POP3 server that misbehaves, on purpose or by passing its senders' bytes
// through: what it sends can end the session, never change a mail.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>
#include <string>

#include "platform/clock.h"
#include "platform/codepage.h"
#include "support/fake_server.h"
#include "transport/pop3/pop3_client.h"
#include "scripted_sessions.h"

namespace velnora {
namespace {

using testing::FakeServer;
using testing::FileText;
using testing::ScriptLogin;
using testing::TransportFixture;

std::string Message(int n) {
  return "+OK\r\nSubject: m" + std::to_string(n) + "\r\n\r\nbody " + std::to_string(n) +
         "\r\n.\r\n";
}

struct Fetch {
  std::optional<FetchResult> result;  // empty: the log-in failed
  std::string file1;
  std::string file2;
};

// Logs in to a server scripted by `script` (after STAT) and fetches.
Fetch RunFetch(TransportFixture& fx, const std::string& stat,
               const std::function<void(FakeServer&)>& script) {
  FakeServer server;
  ScriptLogin(server, stat);
  script(server);
  server.Start();
  fx.UsePort(server.port());
  Fetch fetch;
  if (OpenRcvSession(fx.env(), fx.account(), fx.runtime()) < 0) return fetch;
  fetch.result = ReceiveMailFromHost(fx.env(), fx.account(), fx.runtime());
  CloseSession(fx.env(), fx.runtime().session, false, &fx.account());
  server.Wait();
  fetch.file1 = FileText(ReceivedMailPath(fx.env(), 1));
  fetch.file2 = FileText(ReceivedMailPath(fx.env(), 2));
  return fetch;
}

// A mail whose text holds LF "." CR LF, as a server that passes bare LF
// through delivers it: it neither ends early nor supplies the next mail.
TEST(Pop3Hostile, BareLfDotCannotEndOrReplaceAMail) {
  const std::string smuggled = "+OK\r\nSubject: m1\r\n\r\nhi\n.\r\n";
  const std::string rest = "+OK\r\nSubject: fake\r\n\r\nevil\r\n.\r\n";
  struct Case {
    const char* name;
    std::function<void(FakeServer&)> retr1;
    FetchResult result;
    std::string file1;
    std::string file2;
  };
  const Case cases[] = {
      {"one segment", [&](FakeServer& s) { s.Send(smuggled + rest); }, FetchResult::Complete,
       smuggled + rest, Message(2)},
      {"split after the smuggled end", [&](FakeServer& s) { s.SendSegments({smuggled, rest}); },
       FetchResult::Complete, smuggled + rest, Message(2)},
      // Bytes after a real end in the same read: the session ends, and the
      // mail they came with is not kept either.
      {"data after the end", [&](FakeServer& s) { s.Send(Message(1) + rest); }, FetchResult::EndedEarly, "",
       ""},
  };
  for (const Case& c : cases) {
    TransportFixture fx;
    fx.account().noUidl = fx.account().noUidlActive = 1;
    const Fetch fetch = RunFetch(fx, "+OK 2 200\r\n", [&](FakeServer& s) {
      s.Expect("LIST 1\r\n").Send("+OK 1 100\r\n").Expect("RETR 1\r\n");
      c.retr1(s);
      if (c.result == FetchResult::Complete) {
        s.Expect("LIST 2\r\n").Send("+OK 2 100\r\n").Expect("RETR 2\r\n").Send(Message(2));
      }
    });
    EXPECT_EQ(fetch.result, c.result) << c.name;
    EXPECT_EQ(fetch.file1, c.file1) << c.name;
    EXPECT_EQ(fetch.file2, c.file2) << c.name;
  }
}

// One byte every half second, well inside the one-second time-out, for
// longer than the test may take: the command's overall deadline ends it, and
// the watchdog sees no progress meanwhile.
TEST(Pop3Hostile, SlowDripEndsAtTheCommandDeadline) {
  auto drip = [](FakeServer& s, const std::string& bytes) {
    for (char c : bytes) s.Send(std::string(1, c)).Hang(500);
    s.Close();
  };
  struct Case {
    const char* name;
    std::function<void(FakeServer&)> script;
  };
  const Case cases[] = {
      {"RETR",
       [&](FakeServer& s) {
         s.Expect("LIST 1\r\n").Send("+OK 1 100\r\n").Expect("RETR 1\r\n").Send("+OK\r\n");
         drip(s, std::string(30, 'x'));
       }},
      {"LIST reply",
       [&](FakeServer& s) {
         s.Expect("LIST 1\r\n");
         drip(s, "+OK 1 100" + std::string(20, ' '));
       }},
  };
  for (const Case& c : cases) {
    TransportFixture fx;
    fx.common().timeoutSec = 1;
    fx.account().noUidl = fx.account().noUidlActive = 1;
    FakeServer server;
    ScriptLogin(server, "+OK 1 100\r\n");
    c.script(server);
    server.Start();
    fx.UsePort(server.port());
    ASSERT_EQ(OpenRcvSession(fx.env(), fx.account(), fx.runtime()), 1) << c.name;
    const int64_t start = platform::TickMs();
    EXPECT_EQ(ReceiveMailFromHost(fx.env(), fx.account(), fx.runtime()), FetchResult::EndedEarly) << c.name;
    // The bound: the time-out, the listed size at the slowest rate, slack.
    EXPECT_LT(platform::TickMs() - start, 6000) << c.name;
    EXPECT_LT(fx.flags().lastActivityTick.load(), start + 500) << c.name;
    EXPECT_TRUE(fx.HasActivity("code=04")) << c.name;
    EXPECT_FALSE(platform::FileExists(ReceivedMailPath(fx.env(), 1))) << c.name;
    CloseSession(fx.env(), fx.runtime().session, false, &fx.account());
  }
}

// The virtual memory this process uses now, from /proc (0 when unknown).
std::size_t VirtualBytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmSize:", 0) == 0) return std::size_t(std::stoull(line.substr(7))) * 1024;
  }
  return 0;
}

// Logs in and fetches with the address space capped at 256 MB above what
// the process uses already; exits 0 when the fetch ended as it should.
[[noreturn]] void FetchUnderMemoryCap(TransportFixture& fx) {
  const std::size_t used = VirtualBytes();
  if (used > 0) {
    const rlimit limit{used + (256u << 20), used + (256u << 20)};
    setrlimit(RLIMIT_AS, &limit);
  }
  const bool opened = OpenRcvSession(fx.env(), fx.account(), fx.runtime()) > 0;
  const FetchResult result = ReceiveMailFromHost(fx.env(), fx.account(), fx.runtime());
  std::exit(opened && result == FetchResult::EndedEarly ? 0 : 1);
}

// A huge message count from STAT sizes nothing, in no-UIDL mode and in UIDL
// mode past maxHeldMails (as keepForwardingOverLimit lets a check run).
TEST(Pop3Hostile, HugeMessageCountAllocatesNothingForIt) {
  // The child runs the test afresh, with its own server thread.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  for (const bool uidl : {false, true}) {
    TransportFixture fx;
    fx.account().noUidl = fx.account().noUidlActive = !uidl;
    FakeServer server;
    ScriptLogin(server, "+OK 2147483647 0\r\n");
    if (uidl) server.Expect("UIDL\r\n").Send("+OK\r\n1 a\r\n2 b\r\n.\r\n");
    server.Expect("LIST 1\r\n").Send("-ERR no such message\r\n").Hang(300);
    server.Start();
    fx.UsePort(server.port());
    EXPECT_EXIT(FetchUnderMemoryCap(fx), ::testing::ExitedWithCode(0), "")
        << (uidl ? "UIDL" : "no UIDL");
  }
}

TEST(Pop3Hostile, LineBreaksFromSettingsNeverReachTheWire) {
  const std::pair<const char*, bool> cases[] = {{"alice\r\nDELE 1", false}, {"alice\nDELE 1", true}};
  for (const auto& [user, apop] : cases) {
    TransportFixture fx;
    testing::SetText(fx.account().popUser, user);
    fx.account().useApop = apop;
    FakeServer server;
    server.Send("+OK POP3 ready <1.2@x>\r\n").Hang(300);
    server.Start();
    fx.UsePort(server.port());
    EXPECT_EQ(OpenRcvSession(fx.env(), fx.account(), fx.runtime()), -1) << user;
    CloseSession(fx.env(), fx.runtime().session, false, &fx.account());
    server.Wait();
    EXPECT_EQ(server.Received(), "") << user;
    EXPECT_TRUE(fx.HasActivity(SJIS(u8"制御文字"))) << user;
  }
}

}  // namespace
}  // namespace velnora
