#include "fake_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace velnora::testing {
namespace {

constexpr int kSegmentPauseMs = 30;
constexpr int kLineWaitMs = 15000;

bool SendAll(int fd, const std::string& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t rc = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (rc < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    sent += std::size_t(rc);
  }
  return true;
}

void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace

FakeServer::FakeServer(Loopback loopback) {
  if (loopback == Loopback::IPv6) {
    listenFd_ = ::socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in6 address{};
    address.sin6_family = AF_INET6;
    address.sin6_addr = in6addr_loopback;
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::listen(listenFd_, 8) == 0) {
      socklen_t length = sizeof address;
      ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length);
      port_ = ntohs(address.sin6_port);
    }
    return;
  }
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  int one = 1;
  ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      ::listen(listenFd_, 8) == 0) {
    socklen_t length = sizeof address;
    ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
  }
}

FakeServer::~FakeServer() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  if (listenFd_ >= 0) ::close(listenFd_);
}

FakeServer& FakeServer::Send(std::string bytes) {
  scripts_.back().push_back({Step::kSend, std::move(bytes)});
  return *this;
}
FakeServer& FakeServer::SendSegments(std::vector<std::string> pieces) {
  for (auto& piece : pieces) Send(std::move(piece));
  return *this;
}
FakeServer& FakeServer::Expect(std::string line) {
  scripts_.back().push_back({Step::kExpect, std::move(line)});
  return *this;
}
FakeServer& FakeServer::ExpectPrefix(std::string prefix) {
  scripts_.back().push_back({Step::kExpectPrefix, std::move(prefix)});
  return *this;
}
FakeServer& FakeServer::ReadLine() {
  scripts_.back().push_back({Step::kReadLine, {}});
  return *this;
}
FakeServer& FakeServer::Close() {
  scripts_.back().push_back({Step::kClose, {}});
  return *this;
}
FakeServer& FakeServer::Hang(int ms) {
  scripts_.back().push_back({Step::kHang, {}, ms});
  return *this;
}
FakeServer& FakeServer::NextConnection() {
  scripts_.emplace_back();
  return *this;
}

void FakeServer::Start() { thread_ = std::thread([this] { Run(); }); }

bool FakeServer::Wait(int timeoutMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!finished_) {
    if (std::chrono::steady_clock::now() >= end) return false;
    Pause(5);
  }
  if (thread_.joinable()) thread_.join();
  return true;
}

void FakeServer::Run() {
  for (std::size_t index = 0; index < scripts_.size() && !stop_; ++index) {
    int fd = -1;
    while (!stop_) {
      pollfd p{listenFd_, POLLIN, 0};
      if (::poll(&p, 1, 20) > 0) {
        fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0) break;
      }
    }
    if (fd < 0) break;
    ++accepted_;
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    {
      std::lock_guard lock(mutex_);
      received_.resize(index + 1);
    }
    RunConnection(fd, scripts_[index], index);
    ::close(fd);
  }
  finished_ = true;
}

bool FakeServer::RunConnection(int fd, const Script& script, std::size_t index) {
  std::string pending;
  for (const Step& step : script) {
    if (stop_) return false;
    std::string line;
    switch (step.kind) {
      case Step::kSend:
        if (!SendAll(fd, step.text)) {
          Fail("send failed: " + step.text);
          return false;
        }
        Pause(kSegmentPauseMs);
        break;
      case Step::kExpect:
      case Step::kExpectPrefix:
      case Step::kReadLine:
        if (!ReadOneLine(fd, index, pending, line)) {
          Fail("connection ended while waiting for: " + step.text);
          return false;
        }
        if ((step.kind == Step::kExpect && line != step.text) ||
            (step.kind == Step::kExpectPrefix && line.rfind(step.text, 0) != 0)) {
          Fail("expected '" + step.text + "', got '" + line + "'");
          return false;
        }
        break;
      case Step::kClose:
        return true;
      case Step::kHang: {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(step.ms);
        while (!stop_ && std::chrono::steady_clock::now() < end) {
          pollfd p{fd, POLLIN, 0};
          if (::poll(&p, 1, 20) > 0) {
            char buffer[4096];
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) return true;  // the client gave up
            Record(index, buffer, std::size_t(n));
          }
        }
        break;
      }
    }
  }
  // End of script: linger briefly so the client reads what was sent, and
  // record anything it still sends (QUIT and the like).
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
  while (!stop_ && std::chrono::steady_clock::now() < end) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 20) > 0) {
      char buffer[4096];
      const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
      if (n <= 0) break;
      Record(index, buffer, std::size_t(n));
    }
  }
  return true;
}

bool FakeServer::ReadOneLine(int fd, std::size_t index, std::string& pending, std::string& line) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kLineWaitMs);
  for (;;) {
    const auto lf = pending.find('\n');
    if (lf != std::string::npos) {
      line = pending.substr(0, lf + 1);
      pending.erase(0, lf + 1);
      return true;
    }
    if (stop_ || std::chrono::steady_clock::now() >= end) return false;
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 20) <= 0) continue;
    char buffer[4096];
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) return false;
    Record(index, buffer, std::size_t(n));
    pending.append(buffer, std::size_t(n));
  }
}

void FakeServer::Record(std::size_t index, const char* data, std::size_t length) {
  std::lock_guard lock(mutex_);
  if (received_.size() <= index) received_.resize(index + 1);
  received_[index].append(data, length);
}

void FakeServer::Fail(std::string text) {
  std::lock_guard lock(mutex_);
  failures_.push_back(std::move(text));
}

std::string FakeServer::Received() const {
  std::lock_guard lock(mutex_);
  std::string all;
  for (const auto& r : received_) all += r;
  return all;
}

std::string FakeServer::ReceivedOn(std::size_t connection) const {
  std::lock_guard lock(mutex_);
  return connection < received_.size() ? received_[connection] : std::string();
}

std::vector<std::string> FakeServer::Failures() const {
  std::lock_guard lock(mutex_);
  return failures_;
}

}  // namespace velnora::testing
