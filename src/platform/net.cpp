#include "platform/net.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/clock.h"

namespace velnora::platform {
namespace {

// Waits are cut into slices this long so a stop request is seen quickly.
constexpr int kSliceMs = 50;
constexpr int kConnectStepMs = 100;

struct ErrnoMapping {
  int error;
  int wsa;
};

constexpr ErrnoMapping kErrnoTable[] = {
    {ENOMEM, 8},          {EINTR, 10004},           {EBADF, 10009},
    {EACCES, 10013},      {EPERM, 10013},           {EFAULT, 10014},
    {EINVAL, 10022},      {EMFILE, 10024},          {ENFILE, 10024},
    {EWOULDBLOCK, 10035}, {EAGAIN, 10035},          {EINPROGRESS, 10036},
    {EALREADY, 10037},    {ENOTSOCK, 10038},        {EDESTADDRREQ, 10039},
    {EMSGSIZE, 10040},    {EPROTOTYPE, 10041},      {ENOPROTOOPT, 10042},
    {EPROTONOSUPPORT, 10043}, {ESOCKTNOSUPPORT, 10044}, {EOPNOTSUPP, 10045},
    {EPFNOSUPPORT, 10046}, {EAFNOSUPPORT, 10047},   {EADDRINUSE, 10048},
    {EADDRNOTAVAIL, 10049}, {ENETDOWN, 10050},      {ENETUNREACH, 10051},
    {ENETRESET, 10052},   {ECONNABORTED, 10053},    {ECONNRESET, 10054},
    {ENOBUFS, 10055},     {EISCONN, 10056},         {ENOTCONN, 10057},
    {ESHUTDOWN, 10058},   {EPIPE, 10058},           {ETIMEDOUT, 10060},
    {ECONNREFUSED, 10061}, {ELOOP, 10062},          {ENAMETOOLONG, 10063},
    {EHOSTDOWN, 10064},   {EHOSTUNREACH, 10065},    {ENOTEMPTY, 10066},
    {EUSERS, 10068},      {EDQUOT, 10069},          {ESTALE, 10070},
    {EREMOTE, 10071},
};

void IgnoreBrokenPipeOnce() {
  // OpenSSL writes to the socket with write(2); a peer that has gone away
  // must give EPIPE, not end the process.
  static std::once_flag once;
  std::call_once(once, [] { std::signal(SIGPIPE, SIG_IGN); });
}

int64_t Bounded(int64_t timeoutMs) { return timeoutMs > 0 ? timeoutMs : kLongestWaitMs; }

bool Stopping(const std::atomic<bool>* stop) { return stop && stop->load(); }

// poll() for `events` until `deadline` (monotonic ms), in slices.
WaitResult WaitFd(int fd, short events, int64_t deadline, const std::atomic<bool>* stop) {
  for (;;) {
    const int64_t now = TickMs();
    const int64_t left = deadline - now;
    pollfd p{fd, events, 0};
    const int rc = ::poll(&p, 1, int(left <= 0 ? 0 : std::min<int64_t>(left, kSliceMs)));
    if (rc > 0) return WaitResult::Ready;
    if (rc < 0 && errno != EINTR) return WaitResult::Failed;
    if (Stopping(stop)) return WaitResult::Stopped;
    if (TickMs() >= deadline) return WaitResult::TimedOut;
  }
}

int WsaFromWait(WaitResult result) {
  switch (result) {
    case WaitResult::TimedOut: return wsa::kTimedOut;
    case WaitResult::Stopped: return wsa::kInterrupted;
    default: return WsaErrorFromErrno(errno);
  }
}

std::string OpenSslQueueText() {
  std::string text;
  while (unsigned long code = ERR_get_error()) {
    char buffer[256];
    ERR_error_string_n(code, buffer, sizeof buffer);
    if (!text.empty()) text += "; ";
    text += buffer;
  }
  return text;
}

bool IsIpLiteral(std::string_view host) {
  const std::string h(host);
  in_addr v4;
  in6_addr v6;
  return inet_pton(AF_INET, h.c_str(), &v4) == 1 || inet_pton(AF_INET6, h.c_str(), &v6) == 1;
}

}  // namespace

int WsaErrorFromErrno(int error) {
  for (const auto& m : kErrnoTable) {
    if (m.error == error) return m.wsa;
  }
  return wsa::kSystemCallFailure;
}

int WsaErrorFromResolver(int resolverError, int savedErrno) {
  switch (resolverError) {
    case 0: return 0;
    case EAI_NONAME: return wsa::kHostNotFound;
#ifdef EAI_NODATA
    case EAI_NODATA: return wsa::kNoData;
#endif
#ifdef EAI_ADDRFAMILY
    case EAI_ADDRFAMILY: return wsa::kNoData;
#endif
    case EAI_AGAIN: return wsa::kTryAgain;
    case EAI_FAIL: return wsa::kNoRecovery;
    case EAI_MEMORY: return wsa::kNotEnoughMemory;
    case EAI_FAMILY: return 10047;
    case EAI_SYSTEM: return WsaErrorFromErrno(savedErrno);
    default: return wsa::kNoRecovery;
  }
}

std::string HostAddress::Text() const {
  char text[INET6_ADDRSTRLEN] = "";
  ::inet_ntop(ipv6 ? AF_INET6 : AF_INET, bytes.data(), text, sizeof text);
  return text;
}

std::string WithoutBrackets(std::string_view host) {
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
  return std::string(host);
}

namespace {

bool Literal(const std::string& host, HostAddress& address) {
  if (inet_pton(AF_INET, host.c_str(), address.bytes.data()) == 1) return true;
  address.ipv6 = true;
  if (inet_pton(AF_INET6, host.c_str(), address.bytes.data()) == 1) return true;
  address = HostAddress{};
  return false;
}

std::vector<HostAddress> AddressesOf(const addrinfo* list) {
  std::vector<HostAddress> addresses;
  for (const addrinfo* a = list; a; a = a->ai_next) {
    HostAddress address;
    if (a->ai_family == AF_INET && a->ai_addr) {
      const auto* v4 = reinterpret_cast<const sockaddr_in*>(a->ai_addr);
      std::memcpy(address.bytes.data(), &v4->sin_addr, 4);
    } else if (a->ai_family == AF_INET6 && a->ai_addr) {
      const auto* v6 = reinterpret_cast<const sockaddr_in6*>(a->ai_addr);
      address.ipv6 = true;
      std::memcpy(address.bytes.data(), &v6->sin6_addr, 16);
    } else {
      continue;
    }
    const bool seen = std::any_of(addresses.begin(), addresses.end(), [&](const HostAddress& h) {
      return h.ipv6 == address.ipv6 && h.bytes == address.bytes;
    });
    if (!seen) addresses.push_back(address);
  }
  return addresses;
}

}  // namespace

int ResolveHost(const std::string& name, std::vector<HostAddress>& addresses, int64_t timeoutMs,
                const std::atomic<bool>* stop) {
  addresses.clear();
  const std::string host = WithoutBrackets(name);
  if (host.empty()) return wsa::kHostNotFound;
  HostAddress literal;
  if (Literal(host, literal)) {
    addresses.push_back(literal);
    return 0;
  }
  // getaddrinfo cannot be interrupted, so it runs on a helper thread that
  // may outlive an abandoned wait; the job is shared with it.
  struct Job {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    int result = 0;
    std::vector<HostAddress> addresses;
  };
  auto job = std::make_shared<Job>();
  try {
    std::thread([job, host] {
      addrinfo hints{};
      hints.ai_family = AF_UNSPEC;
      hints.ai_socktype = SOCK_STREAM;
      addrinfo* list = nullptr;
      const int rc = ::getaddrinfo(host.c_str(), nullptr, &hints, &list);
      const int savedErrno = errno;
      int result = WsaErrorFromResolver(rc, savedErrno);
      std::vector<HostAddress> found;
      if (rc == 0) found = AddressesOf(list);
      if (rc == 0 && found.empty()) result = wsa::kNoData;
      if (list) ::freeaddrinfo(list);
      std::lock_guard lock(job->mutex);
      job->result = result;
      job->addresses = std::move(found);
      job->finished = true;
      job->done.notify_all();
    }).detach();
  } catch (const std::system_error&) {
    return wsa::kTryAgain;
  }
  const int64_t deadline = TickMs() + Bounded(timeoutMs);
  std::unique_lock lock(job->mutex);
  while (!job->finished) {
    if (Stopping(stop)) return wsa::kInterrupted;
    if (TickMs() >= deadline) return wsa::kTryAgain;
    job->done.wait_for(lock, std::chrono::milliseconds(kSliceMs));
  }
  if (job->result == 0) addresses = job->addresses;
  return job->result;
}

int ResolveIPv4(const std::string& host, uint32_t& address, int64_t timeoutMs,
                const std::atomic<bool>* stop) {
  std::vector<HostAddress> addresses;
  const int rc = ResolveHost(host, addresses, timeoutMs, stop);
  if (rc != 0) return rc;
  for (const HostAddress& a : addresses) {
    if (a.ipv6) continue;
    std::memcpy(&address, a.bytes.data(), 4);
    return 0;
  }
  return wsa::kNoData;
}

struct NetStream::Tls {
  SSL_CTX* context = nullptr;
  SSL* connection = nullptr;
  ~Tls() {
    if (connection) SSL_free(connection);
    if (context) SSL_CTX_free(context);
  }
};

NetStream::NetStream() = default;
NetStream::~NetStream() { Close(); }
NetStream::NetStream(NetStream&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), tls_(std::move(other.tls_)), registry_(other.registry_) {}
NetStream& NetStream::operator=(NetStream&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
    tls_ = std::move(other.tls_);
    registry_ = other.registry_;
  }
  return *this;
}

int NetStream::OpenSocket(bool ipv6) {
  Close();
  IgnoreBrokenPipeOnce();
  fd_ = ::socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd_ < 0) return WsaErrorFromErrno(errno);
  if (registry_) registry_->Add(fd_);
  // Commands go out as soon as they are written; the protocols are lock-step.
  int one = 1;
  ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  return 0;
}

void NetStream::SetTimeouts(int64_t timeoutMs) {
  if (fd_ < 0) return;
  timeval tv{};
  tv.tv_sec = time_t(timeoutMs / 1000);
  tv.tv_usec = suseconds_t((timeoutMs % 1000) * 1000);
  ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
  ::setsockopt(fd_, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
}

int NetStream::CreateTls(std::string_view host, bool verify) {
  tls_.reset();
  OPENSSL_init_ssl(0, nullptr);
  auto tls = std::make_unique<Tls>();
  tls->context = SSL_CTX_new(TLS_client_method());
  if (!tls->context) return 1;
  SSL_CTX_set_min_proto_version(tls->context, TLS1_2_VERSION);
  // A peer that closes without close_notify ends the data like a plain close.
  SSL_CTX_set_options(tls->context, SSL_OP_IGNORE_UNEXPECTED_EOF);
  if (verify) {
    if (SSL_CTX_set_default_verify_paths(tls->context) != 1) return 1;
    SSL_CTX_set_verify(tls->context, SSL_VERIFY_PEER, nullptr);
  }
  tls->connection = SSL_new(tls->context);
  if (!tls->connection) return 2;
  const std::string name = WithoutBrackets(host);
  const bool literal = IsIpLiteral(name);
  if (!name.empty() && !literal) SSL_set_tlsext_host_name(tls->connection, name.c_str());
  if (verify) {
    if (name.empty()) return 2;  // nothing to check the certificate against
    SSL_set_hostflags(tls->connection, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
    const int ok = literal ? X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(tls->connection),
                                                           name.c_str())
                           : SSL_set1_host(tls->connection, name.c_str());
    if (ok != 1) return 2;
  }
  if (fd_ < 0 || SSL_set_fd(tls->connection, fd_) != 1) return 3;
  tls_ = std::move(tls);
  return 0;
}

bool NetStream::hasTls() const { return tls_ && tls_->connection; }

int NetStream::Connect(uint32_t address, uint16_t port, int64_t timeoutMs,
                       const std::atomic<bool>* stop, const std::function<void()>& onWaitStep) {
  HostAddress v4;
  std::memcpy(v4.bytes.data(), &address, 4);
  return Connect(v4, port, timeoutMs, stop, onWaitStep);
}

int NetStream::Connect(const HostAddress& address, uint16_t port, int64_t timeoutMs,
                       const std::atomic<bool>* stop, const std::function<void()>& onWaitStep) {
  if (fd_ < 0) return 10038;
  sockaddr_storage to{};
  socklen_t toLength = 0;
  if (address.ipv6) {
    auto* v6 = reinterpret_cast<sockaddr_in6*>(&to);
    v6->sin6_family = AF_INET6;
    v6->sin6_port = htons(port);
    std::memcpy(&v6->sin6_addr, address.bytes.data(), 16);
    toLength = sizeof *v6;
  } else {
    auto* v4 = reinterpret_cast<sockaddr_in*>(&to);
    v4->sin_family = AF_INET;
    v4->sin_port = htons(port);
    std::memcpy(&v4->sin_addr, address.bytes.data(), 4);
    toLength = sizeof *v4;
  }
  if (::connect(fd_, reinterpret_cast<const sockaddr*>(&to), toLength) == 0) return 0;
  if (errno != EINPROGRESS && errno != EINTR) return WsaErrorFromErrno(errno);
  const int64_t deadline = TickMs() + Bounded(timeoutMs);
  for (;;) {
    const int64_t stepEnd = std::min(deadline, TickMs() + kConnectStepMs);
    const WaitResult result = WaitFd(fd_, POLLOUT, stepEnd, stop);
    if (result == WaitResult::Ready) break;
    if (result == WaitResult::Stopped || result == WaitResult::Failed) return WsaFromWait(result);
    if (TickMs() >= deadline) return wsa::kTimedOut;
    if (onWaitStep) onWaitStep();
  }
  int pending = 0;
  socklen_t length = sizeof pending;
  if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &pending, &length) != 0) {
    return WsaErrorFromErrno(errno);
  }
  return pending == 0 ? 0 : WsaErrorFromErrno(pending);
}

int NetStream::Handshake(int64_t timeoutMs, const std::atomic<bool>* stop, std::string& reason) {
  if (!hasTls()) {
    reason = "no TLS connection";
    return -1;
  }
  ERR_clear_error();
  const int64_t deadline = TickMs() + Bounded(timeoutMs);
  for (;;) {
    errno = 0;
    const int rc = SSL_connect(tls_->connection);
    if (rc == 1) return 0;
    const int error = SSL_get_error(tls_->connection, rc);
    WaitResult wait = WaitResult::Failed;
    if (error == SSL_ERROR_WANT_READ) {
      wait = WaitFd(fd_, POLLIN, deadline, stop);
    } else if (error == SSL_ERROR_WANT_WRITE) {
      wait = WaitFd(fd_, POLLOUT, deadline, stop);
    } else {
      const long verify = SSL_get_verify_result(tls_->connection);
      if (verify != X509_V_OK) {
        reason = std::string("certificate verify failed: ") +
                 X509_verify_cert_error_string(verify);
        ERR_clear_error();
      } else {
        reason = OpenSslQueueText();
        if (reason.empty()) {
          reason = errno != 0 ? std::string("socket error ") + std::to_string(errno)
                              : std::string("connection closed during the handshake");
        }
      }
      return -1;
    }
    if (wait == WaitResult::TimedOut) {
      reason = "handshake timed out";
      return -1;
    }
    if (wait == WaitResult::Stopped) {
      reason = "stop requested";
      return -1;
    }
    if (wait == WaitResult::Failed) {
      reason = "poll failed";
      return -1;
    }
  }
}

WaitResult NetStream::WaitReadable(int64_t timeoutMs, const std::atomic<bool>* stop) {
  if (fd_ < 0) return WaitResult::Failed;
  if (hasTls() && SSL_pending(tls_->connection) > 0) return WaitResult::Ready;
  return WaitFd(fd_, POLLIN, TickMs() + Bounded(timeoutMs), stop);
}

long NetStream::Send(const void* data, std::size_t length, int64_t timeoutMs,
                     const std::atomic<bool>* stop, int& error) {
  error = 0;
  if (fd_ < 0) {
    error = 10038;
    return -1;
  }
  const auto* bytes = static_cast<const char*>(data);
  std::size_t sent = 0;
  const int64_t deadline = TickMs() + Bounded(timeoutMs);
  while (sent < length) {
    short waitFor = POLLOUT;
    if (hasTls()) {
      ERR_clear_error();
      errno = 0;
      const int chunk = int(std::min<std::size_t>(length - sent, 1 << 20));
      const int rc = SSL_write(tls_->connection, bytes + sent, chunk);
      if (rc > 0) {
        sent += std::size_t(rc);
        continue;
      }
      const int sslError = SSL_get_error(tls_->connection, rc);
      if (sslError == SSL_ERROR_WANT_READ) {
        waitFor = POLLIN;
      } else if (sslError != SSL_ERROR_WANT_WRITE) {
        error = sslError == SSL_ERROR_SYSCALL && errno != 0 ? WsaErrorFromErrno(errno)
                                                            : wsa::kConnectionAborted;
        return -1;
      }
    } else {
      const ssize_t rc = ::send(fd_, bytes + sent, length - sent, MSG_NOSIGNAL);
      if (rc >= 0) {
        sent += std::size_t(rc);
        continue;
      }
      if (errno == EINTR) continue;
      if (errno != EAGAIN && errno != EWOULDBLOCK) {
        error = WsaErrorFromErrno(errno);
        return -1;
      }
    }
    const WaitResult wait = WaitFd(fd_, waitFor, deadline, stop);
    if (wait != WaitResult::Ready) {
      error = WsaFromWait(wait);
      return -1;
    }
  }
  return long(sent);
}

long NetStream::Recv(void* buffer, std::size_t capacity, int64_t timeoutMs,
                     const std::atomic<bool>* stop, int& error) {
  error = 0;
  if (fd_ < 0) {
    error = 10038;
    return -1;
  }
  if (capacity == 0) return 0;
  const int64_t deadline = TickMs() + Bounded(timeoutMs);
  for (;;) {
    short waitFor = POLLIN;
    if (hasTls()) {
      ERR_clear_error();
      errno = 0;
      const int rc = SSL_read(tls_->connection, buffer,
                              int(std::min<std::size_t>(capacity, 1 << 30)));
      if (rc > 0) return rc;
      const int sslError = SSL_get_error(tls_->connection, rc);
      if (sslError == SSL_ERROR_ZERO_RETURN) return 0;
      if (sslError == SSL_ERROR_WANT_WRITE) {
        waitFor = POLLOUT;
      } else if (sslError != SSL_ERROR_WANT_READ) {
        if (sslError == SSL_ERROR_SYSCALL && errno == 0) return 0;
        error = sslError == SSL_ERROR_SYSCALL ? WsaErrorFromErrno(errno)
                                              : wsa::kConnectionAborted;
        return -1;
      }
    } else {
      const ssize_t rc = ::recv(fd_, buffer, capacity, 0);
      if (rc >= 0) return long(rc);
      if (errno == EINTR) continue;
      if (errno != EAGAIN && errno != EWOULDBLOCK) {
        error = WsaErrorFromErrno(errno);
        return -1;
      }
    }
    const WaitResult wait = WaitFd(fd_, waitFor, deadline, stop);
    if (wait != WaitResult::Ready) {
      error = WsaFromWait(wait);
      return -1;
    }
  }
}

void NetStream::Close() {
  if (hasTls() && fd_ >= 0) {
    // close_notify first, one attempt only: closing never waits for the peer.
    SSL_shutdown(tls_->connection);
    ERR_clear_error();
  }
  if (fd_ >= 0) ::shutdown(fd_, SHUT_RDWR);
  // Out of the registry before the number can be reused by another socket.
  if (fd_ >= 0 && registry_) registry_->Remove(fd_);
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  tls_.reset();
}

void SocketRegistry::Add(int fd) {
  std::lock_guard lock(mutex_);
  fds_.push_back(fd);
}

void SocketRegistry::Remove(int fd) {
  std::lock_guard lock(mutex_);
  std::erase(fds_, fd);
}

void SocketRegistry::ShutdownAll() {
  std::lock_guard lock(mutex_);
  for (int fd : fds_) ::shutdown(fd, SHUT_RDWR);
}

std::size_t SocketRegistry::size() const {
  std::lock_guard lock(mutex_);
  return fds_.size();
}

uint16_t FreeLoopbackPort(uint16_t low, uint16_t high) {
  if (high < low) return 0;
  const unsigned span = unsigned(high - low) + 1;
  unsigned start = unsigned(TickMs()) ^ unsigned(::getpid());
  for (unsigned attempt = 0; attempt < span && attempt < 2000; ++attempt) {
    const uint16_t port = uint16_t(low + (start + attempt * 7919u) % span);
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool free = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    if (free) return port;
  }
  return 0;
}

}  // namespace velnora::platform
