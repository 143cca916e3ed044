// TCP connections with optional TLS, as the mail sessions need them.
//
// The descriptor is always non-blocking at the OS level: every operation
// takes a time limit and the worker's stop flag and waits in short slices,
// so no wait on the wire outlives either. Errors come back as Windows
// Sockets numbers, because the texts the user sees are keyed by them.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace velnora::platform {

// Windows Sockets error numbers that the callers test for by name.
namespace wsa {
inline constexpr int kNotEnoughMemory = 8;
inline constexpr int kInterrupted = 10004;  // also: the wait ended on a stop request
inline constexpr int kWouldBlock = 10035;
inline constexpr int kConnectionAborted = 10053;
inline constexpr int kConnectionReset = 10054;
inline constexpr int kShutdown = 10058;
inline constexpr int kTimedOut = 10060;
inline constexpr int kConnectionRefused = 10061;
inline constexpr int kSystemCallFailure = 10107;
inline constexpr int kHostNotFound = 11001;
inline constexpr int kTryAgain = 11002;
inline constexpr int kNoRecovery = 11003;
inline constexpr int kNoData = 11004;
}  // namespace wsa

// errno -> Windows Sockets number (one table); unknown values give 10107.
int WsaErrorFromErrno(int error);
// getaddrinfo result -> Windows Sockets number.
int WsaErrorFromResolver(int resolverError, int savedErrno);

// One address of a host, IPv4 or IPv6, in network byte order.
struct HostAddress {
  bool ipv6 = false;
  std::array<unsigned char, 16> bytes{};  // the first 4 for IPv4
  std::string Text() const;               // "127.0.0.1", "::1"
};

// `host` without the brackets of an IPv6 literal ("[::1]" → "::1").
std::string WithoutBrackets(std::string_view host);

// Resolves `host` (a name, an IPv4 or IPv6 literal, bracketed or not) to
// all its stream addresses, IPv6 and IPv4, in the order the resolver
// prefers. Returns 0 or a Windows Sockets number; gives up after
// `timeoutMs` or on `stop`.
int ResolveHost(const std::string& host, std::vector<HostAddress>& addresses, int64_t timeoutMs,
                const std::atomic<bool>* stop);

// Resolves `host` to its first IPv4 address (network byte order). Returns 0
// or a Windows Sockets number; gives up after `timeoutMs` or on `stop`.
int ResolveIPv4(const std::string& host, uint32_t& address, int64_t timeoutMs,
                const std::atomic<bool>* stop);

// A loopback TCP port in [low, high] that nothing listens on right now, or 0.
uint16_t FreeLoopbackPort(uint16_t low, uint16_t high);

enum class WaitResult { Ready, TimedOut, Stopped, Failed };

// A time limit of 0 or less waits this long instead (a zero socket time-out
// means "no limit" to Windows Sockets; here every wait stays bounded).
inline constexpr int64_t kLongestWaitMs = 3600 * 1000;

// The open sockets of one worker, so that another thread (the watchdog) can
// make its hung reads and writes return: a shutdown wakes every wait on the
// socket, while the descriptor itself stays with its owner, who closes it.
class SocketRegistry {
 public:
  void Add(int fd);
  void Remove(int fd);
  void ShutdownAll();
  std::size_t size() const;

 private:
  mutable std::mutex mutex_;
  std::vector<int> fds_;
};

class NetStream {
 public:
  NetStream();
  ~NetStream();
  NetStream(NetStream&&) noexcept;
  NetStream& operator=(NetStream&&) noexcept;
  NetStream(const NetStream&) = delete;
  NetStream& operator=(const NetStream&) = delete;

  // Every socket this stream opens from now on is entered in `registry`
  // until it is closed (nullptr: none).
  void AttachRegistry(SocketRegistry* registry) { registry_ = registry; }

  // Creates the stream socket (IPv6 or IPv4). 0 or a Windows Sockets number.
  int OpenSocket(bool ipv6 = false);
  bool isOpen() const { return fd_ >= 0; }
  int handle() const { return fd_; }
  // SO_RCVTIMEO / SO_SNDTIMEO: a second bound beside the waits of this class,
  // for any call that blocks outside them.
  void SetTimeouts(int64_t timeoutMs);

  // TLS objects for `host`. Returns 0, or the failing step: 1 context,
  // 2 connection, 3 binding to the socket. With `verify` the chain is checked
  // against the system trust store (SSL_CERT_FILE overrides it) and the
  // certificate must name `host`; at least TLS 1.2 is required either way.
  int CreateTls(std::string_view host, bool verify);
  bool hasTls() const;

  // Connects to `address`:`port`; `onWaitStep` runs every 100 ms of waiting.
  // 0 or a Windows Sockets number (10060 after `timeoutMs`, 10004 on stop).
  int Connect(uint32_t address, uint16_t port, int64_t timeoutMs, const std::atomic<bool>* stop,
              const std::function<void()>& onWaitStep = {});
  // The same for an address of either family (the socket's).
  int Connect(const HostAddress& address, uint16_t port, int64_t timeoutMs,
              const std::atomic<bool>* stop, const std::function<void()>& onWaitStep = {});

  // TLS handshake. 0, or -1 with `reason` (OpenSSL's words, or the
  // verification failure) filled in.
  int Handshake(int64_t timeoutMs, const std::atomic<bool>* stop, std::string& reason);

  // Waits until data can be read (buffered TLS data counts).
  WaitResult WaitReadable(int64_t timeoutMs, const std::atomic<bool>* stop);

  // Sends all of `data` within `timeoutMs`: the count, or -1 with `error`.
  long Send(const void* data, std::size_t length, int64_t timeoutMs,
            const std::atomic<bool>* stop, int& error);
  // Receives at most `capacity` bytes within `timeoutMs`: the count, 0 when
  // the peer closed, or -1 with `error`.
  long Recv(void* buffer, std::size_t capacity, int64_t timeoutMs,
            const std::atomic<bool>* stop, int& error);

  // Shuts both directions down, closes TLS and the socket, frees everything.
  void Close();

 private:
  struct Tls;
  int fd_ = -1;
  std::unique_ptr<Tls> tls_;
  SocketRegistry* registry_ = nullptr;
};

}  // namespace velnora::platform
