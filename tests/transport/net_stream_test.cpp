#include "platform/net.h"

#include <netdb.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "support/fake_server.h"

namespace velnora::platform {
namespace {

using velnora::testing::FakeServer;

uint32_t Loopback() {
  uint32_t address = 0;
  ResolveIPv4("127.0.0.1", address, 1000, nullptr);
  return address;
}

TEST(NetErrors, ErrnoMapsToWindowsSocketsNumbers) {
  const std::pair<int, int> cases[] = {
      {ECONNREFUSED, 10061}, {ETIMEDOUT, 10060},   {EWOULDBLOCK, 10035}, {EAGAIN, 10035},
      {ECONNRESET, 10054},   {ENETUNREACH, 10051}, {EHOSTUNREACH, 10065}, {EPIPE, 10058},
      {ECONNABORTED, 10053}, {EINTR, 10004},       {EADDRINUSE, 10048},  {ENOTCONN, 10057},
      {EMFILE, 10024},       {EHOSTDOWN, 10064},   {ENETDOWN, 10050},    {ENOMEM, 8},
  };
  for (const auto& [error, expected] : cases) {
    EXPECT_EQ(WsaErrorFromErrno(error), expected) << "errno " << error;
  }
  EXPECT_EQ(WsaErrorFromErrno(0x7FFF), wsa::kSystemCallFailure);
}

TEST(NetErrors, ResolverResultsMapToHostErrors) {
  EXPECT_EQ(WsaErrorFromResolver(EAI_NONAME, 0), 11001);
  EXPECT_EQ(WsaErrorFromResolver(EAI_AGAIN, 0), 11002);
  EXPECT_EQ(WsaErrorFromResolver(EAI_FAIL, 0), 11003);
  EXPECT_EQ(WsaErrorFromResolver(EAI_SYSTEM, ECONNREFUSED), 10061);
}

TEST(NetResolve, LiteralsAndLocalhostResolveWithoutFailure) {
  uint32_t address = 0;
  ASSERT_EQ(ResolveIPv4("127.0.0.1", address, 5000, nullptr), 0);
  const unsigned char loopback[4] = {127, 0, 0, 1};  // network byte order
  EXPECT_EQ(std::memcmp(&address, loopback, 4), 0);
  address = 0;
  ASSERT_EQ(ResolveIPv4("localhost", address, 5000, nullptr), 0);
  EXPECT_EQ(std::memcmp(&address, loopback, 4), 0);
  EXPECT_EQ(ResolveIPv4("", address, 5000, nullptr), wsa::kHostNotFound);
  // The reserved .invalid domain never resolves (11001, or 11002 without DNS).
  const int rc = ResolveIPv4("no-such-host.invalid", address, 5000, nullptr);
  EXPECT_TRUE(rc == wsa::kHostNotFound || rc == wsa::kTryAgain || rc == wsa::kNoData) << rc;
}

// Every form a server field may hold: names, IPv4 and IPv6 literals, the
// latter with or without brackets.
TEST(NetResolve, HostsOfBothFamilies) {
  const struct {
    const char* host;
    const char* first;
    bool ipv6;
  } cases[] = {{"127.0.0.1", "127.0.0.1", false},
               {"::1", "::1", true},
               {"[::1]", "::1", true},
               {"[2001:db8::5]", "2001:db8::5", true}};
  for (const auto& c : cases) {
    std::vector<HostAddress> addresses;
    ASSERT_EQ(ResolveHost(c.host, addresses, 5000, nullptr), 0) << c.host;
    ASSERT_EQ(addresses.size(), 1u) << c.host;
    EXPECT_EQ(addresses[0].Text(), c.first);
    EXPECT_EQ(addresses[0].ipv6, c.ipv6);
  }
  std::vector<HostAddress> addresses;
  ASSERT_EQ(ResolveHost("localhost", addresses, 5000, nullptr), 0);
  EXPECT_TRUE(std::any_of(addresses.begin(), addresses.end(),
                          [](const HostAddress& a) { return a.Text() == "127.0.0.1" || a.Text() == "::1"; }));
  EXPECT_EQ(ResolveHost("[]", addresses, 5000, nullptr), wsa::kHostNotFound);
}

TEST(NetStream, ConnectToClosedPortIsRefused) {
  uint16_t port;
  {
    FakeServer probe;  // take a free port, then release it
    port = probe.port();
  }
  NetStream stream;
  ASSERT_EQ(stream.OpenSocket(), 0);
  EXPECT_EQ(stream.Connect(Loopback(), port, 2000, nullptr), wsa::kConnectionRefused);
}

TEST(NetStream, SendsAndReceivesAndSeesThePeerClose) {
  FakeServer server;
  server.Expect("HELLO\r\n").Send("WORLD\r\n").Close();
  server.Start();
  NetStream stream;
  ASSERT_EQ(stream.OpenSocket(), 0);
  ASSERT_EQ(stream.Connect(Loopback(), server.port(), 2000, nullptr), 0);
  int error = 0;
  EXPECT_EQ(stream.Send("HELLO\r\n", 7, 2000, nullptr, error), 7);
  char buffer[64];
  std::string got;
  for (;;) {
    const long n = stream.Recv(buffer, sizeof buffer, 2000, nullptr, error);
    ASSERT_GE(n, 0) << error;
    if (n == 0) break;
    got.append(buffer, std::size_t(n));
  }
  EXPECT_EQ(got, "WORLD\r\n");
  EXPECT_TRUE(server.Wait());
  EXPECT_TRUE(server.Failures().empty());
}

TEST(NetStream, ReceiveTimesOutAndStopEndsTheWaitEarly) {
  FakeServer server;
  server.Hang(5000);
  server.Start();
  NetStream stream;
  ASSERT_EQ(stream.OpenSocket(), 0);
  ASSERT_EQ(stream.Connect(Loopback(), server.port(), 2000, nullptr), 0);
  char buffer[16];
  int error = 0;
  EXPECT_EQ(stream.Recv(buffer, sizeof buffer, 150, nullptr, error), -1);
  EXPECT_EQ(error, wsa::kTimedOut);

  std::atomic<bool> stop{false};
  std::thread stopper([&] {
    SleepMs(100);
    stop = true;
  });
  const int64_t start = TickMs();
  EXPECT_EQ(stream.Recv(buffer, sizeof buffer, 60000, &stop, error), -1);
  stopper.join();
  EXPECT_EQ(error, wsa::kInterrupted);
  EXPECT_LT(TickMs() - start, 5000);
  EXPECT_EQ(stream.WaitReadable(60000, &stop), WaitResult::Stopped);
}

TEST(NetStream, TlsHandshakeAgainstPlainServerFailsWithReason) {
  FakeServer server;
  server.Send("+OK this is not TLS\r\n").Hang(1000);
  server.Start();
  NetStream stream;
  ASSERT_EQ(stream.OpenSocket(), 0);
  ASSERT_EQ(stream.CreateTls("localhost", true), 0);
  ASSERT_EQ(stream.Connect(Loopback(), server.port(), 2000, nullptr), 0);
  std::string reason;
  EXPECT_EQ(stream.Handshake(3000, nullptr, reason), -1);
  EXPECT_FALSE(reason.empty());
}

}  // namespace
}  // namespace velnora::platform
