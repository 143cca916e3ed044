// A scripted in-process TCP server on a loopback port, for protocol tests
// without a real mail server.
//
//   FakeServer server;
//   server.Send("+OK ready\r\n")
//         .Expect("USER alice\r\n").Send("+OK\r\n")
//         .ExpectPrefix("PASS ").SendSegments({"+O", "K\r\n"})
//         .Hang(2000);                 // never answer the next command
//   server.Start();
//   ... connect a client to 127.0.0.1:server.port() ...
//   server.Wait();                     // script done (or connection gone)
//   EXPECT_EQ(server.Failures(), std::vector<std::string>{});
//   EXPECT_EQ(server.Received(), "USER alice\r\nPASS x\r\n...");
//
// Every byte the client sends is recorded (Received, per connection with
// ReceivedOn). A script may cover several connections: NextConnection()
// starts the script of the following accepted connection. When an Expect
// does not match, the mismatch is recorded in Failures() and the connection
// is closed. The destructor ends any wait at once.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace velnora::testing {

class FakeServer {
 public:
  enum class Loopback { IPv4, IPv6 };
  // Listens on a free port of 127.0.0.1 (or ::1).
  explicit FakeServer(Loopback loopback = Loopback::IPv4);
  ~FakeServer();
  FakeServer(const FakeServer&) = delete;
  FakeServer& operator=(const FakeServer&) = delete;

  uint16_t port() const { return port_; }

  // Script steps, run in order on the current connection.
  FakeServer& Send(std::string bytes);  // one write, then a short pause
  // Each piece in its own TCP segment (written separately, with a pause
  // between them so the client sees them apart).
  FakeServer& SendSegments(std::vector<std::string> pieces);
  FakeServer& Expect(std::string line);         // the next line, LF included, exactly
  FakeServer& ExpectPrefix(std::string prefix);  // the next line begins with it
  FakeServer& ReadLine();                        // the next line, whatever it is
  FakeServer& Close();                           // close the connection now
  FakeServer& Hang(int ms);                      // stay silent (reading and recording)
  FakeServer& NextConnection();                  // following steps: next connection

  // Runs the script on a server thread.
  void Start();
  // Waits until the script has finished (at most `timeoutMs`). False on time-out.
  bool Wait(int timeoutMs = 10000);

  std::string Received() const;                   // all connections, in order
  std::string ReceivedOn(std::size_t connection) const;
  std::vector<std::string> Failures() const;
  int ConnectionsAccepted() const { return accepted_.load(); }

 private:
  struct Step {
    enum Kind { kSend, kExpect, kExpectPrefix, kReadLine, kClose, kHang } kind;
    std::string text;
    int ms = 0;
  };
  using Script = std::vector<Step>;

  void Run();
  bool RunConnection(int fd, const Script& script, std::size_t index);
  bool ReadOneLine(int fd, std::size_t index, std::string& pending, std::string& line);
  void Record(std::size_t index, const char* data, std::size_t length);
  void Fail(std::string text);

  int listenFd_ = -1;
  uint16_t port_ = 0;
  std::vector<Script> scripts_{Script{}};
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> finished_{false};
  std::atomic<int> accepted_{0};
  mutable std::mutex mutex_;
  std::vector<std::string> received_;
  std::vector<std::string> failures_;
};

}  // namespace velnora::testing
