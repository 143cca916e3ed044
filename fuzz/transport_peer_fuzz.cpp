// Plays a scripted POP3 or SMTP server from the fuzz input against the real
// clients over a loopback connection: connection, greeting, log-in, STAT,
// UIDL, LIST, RETR and DELE, or greeting, HELO/EHLO, AUTH and whole
// transactions. The input is an option byte, then the server's replies in
// order, separated by lines "--":
//
//   byte 0, bit 0:  0 POP3, 1 SMTP
//   POP3 bits:      1 APOP, 2 no UIDL, 3 newest first, 4 fetch at most 2,
//                   5 non-blocking receive, 6..7 fetch / fetch and DELE 1 /
//                   mark all as forwarded / delete all
//   SMTP bits:      1 AUTH, 2 envelope sender from the mail, 3 two parts,
//                   4 two destinations, 5 non-blocking receive,
//                   6 permanent refusals drop the message
//
// After each reply the server waits for the client's next command line (or,
// after a 3xx reply to DATA, for the end of the text), but never longer
// than a short idle time, so a reply the client does not take as complete
// is followed by the next one like a further TCP segment. When the script
// ends the server closes its side; every run ends within a fraction of a
// second.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "config/account_settings.h"
#include "config/common_settings.h"
#include "fuzz_quiet.h"
#include "fuzz_support.h"
#include "platform/files.h"
#include "platform/worker_flags.h"
#include "report/activity_log.h"
#include "report/reporter.h"
#include "transport/account_runtime.h"
#include "transport/mail_session.h"
#include "transport/pop3/pop3_client.h"
#include "transport/smtp/smtp_client.h"
#include "transport/transport_env.h"

namespace {

using namespace velnora;

constexpr std::size_t kMaxReplies = 64;
// How long the server waits for a command before it plays the next reply.
constexpr int kIdleMs = 10;
// The client's send and receive time-out (seconds): only reached when the
// server thread is starved.
constexpr int kClientTimeoutSec = 1;
// STAT counts above this are not fetched: the fetch loop sizes its
// per-message table from the count before any message is listed.
constexpr long kFetchedCountLimit = 4096;
constexpr int kMaxHeld = 1000;

using fuzz::QuietReporter;
using fuzz::SetText;

// The replies of the script: a line "--" ends each one (its line end
// belongs to the reply before it).
std::vector<std::string_view> SplitScript(std::string_view script) {
  std::vector<std::string_view> replies;
  std::size_t start = 0;
  for (std::size_t at = 0; at + 3 <= script.size() && replies.size() + 1 < kMaxReplies;) {
    const std::size_t found = script.find("--\n", at);
    if (found == std::string_view::npos) break;
    if (found == start || script[found - 1] == '\n') {
      replies.push_back(script.substr(start, found - start));
      start = found + 3;
    }
    at = found + 1;
  }
  replies.push_back(script.substr(start));
  return replies;
}

bool IsDataCommand(std::string_view line) {
  if (line.size() < 4) return false;
  for (std::size_t i = 0; i < 4; ++i) {
    if (std::toupper(static_cast<unsigned char>(line[i])) != "DATA"[i]) return false;
  }
  return line.size() == 4 || line[4] == '\r' || line[4] == '\n' || line[4] == ' ';
}

// The server side of one connection, on its own thread.
class ScriptedServer {
 public:
  ScriptedServer() {
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listenFd_ < 0 || ::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listenFd_, 8) != 0 ||
        ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      std::perror("scripted server");
      std::abort();
    }
    port_ = ntohs(address.sin_port);
  }
  ~ScriptedServer() { ::close(listenFd_); }

  uint16_t port() const { return port_; }

  void Start(std::vector<std::string_view> replies) {
    replies_ = std::move(replies);
    clientDone_ = false;
    thread_ = std::thread([this] { Serve(); });
  }
  // The client has finished: any wait of the server ends now.
  void Finish() {
    clientDone_ = true;
    thread_.join();
  }

 private:
  enum class Wait { Data, Idle, Closed };

  void Serve() {
    const int fd = Accept();
    if (fd < 0) return;
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    pending_.clear();
    std::string lastCommand;
    for (std::size_t i = 0; i < replies_.size(); ++i) {
      if (!SendAll(fd, replies_[i])) break;
      if (i + 1 == replies_.size()) break;
      const bool text = IsDataCommand(lastCommand) && replies_[i].starts_with("3");
      if (!AwaitCommand(fd, text, lastCommand)) break;
    }
    ::shutdown(fd, SHUT_WR);
    // Reads until the client closes, so that its last command is not met
    // by a reset.
    for (char buffer[4096];;) {
      if (Readable(fd, 1000) != Wait::Data) break;
      if (::recv(fd, buffer, sizeof buffer, 0) <= 0) break;
    }
    ::close(fd);
  }

  int Accept() {
    for (int waited = 0; waited < 2000 && !clientDone_; waited += kIdleMs) {
      pollfd p{listenFd_, POLLIN, 0};
      if (::poll(&p, 1, kIdleMs) == 1) return ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    }
    return -1;
  }

  Wait Readable(int fd, int limitMs) {
    for (int waited = 0; waited < limitMs; waited += kIdleMs) {
      pollfd p{fd, POLLIN, 0};
      const int rc = ::poll(&p, 1, kIdleMs);
      if (rc == 1) return Wait::Data;
      if (rc < 0 || clientDone_) return Wait::Closed;
    }
    return Wait::Idle;
  }

  bool SendAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
      const ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
      if (n > 0) {
        bytes.remove_prefix(std::size_t(n));
        continue;
      }
      if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return false;
      pollfd p{fd, POLLOUT, 0};
      if (::poll(&p, 1, kIdleMs) < 0 || clientDone_) return false;
    }
    return true;
  }

  // Takes the client's next command line (or the text up to its end line)
  // out of what it sent. False once the client has closed.
  bool AwaitCommand(int fd, bool text, std::string& command) {
    for (;;) {
      const std::size_t end = text ? TextEnd() : pending_.find('\n');
      if (end != std::string::npos) {
        command = pending_.substr(0, end + 1);
        pending_.erase(0, end + 1);
        return true;
      }
      const Wait wait = Readable(fd, kIdleMs);
      if (wait == Wait::Idle) return true;  // no command: play the next reply anyway
      if (wait == Wait::Closed) return false;
      char buffer[4096];
      const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
      if (n <= 0) return false;
      pending_.append(buffer, std::size_t(n));
    }
  }

  // The last byte of the text's end line "." in pending_, or npos.
  std::size_t TextEnd() const {
    if (pending_.starts_with(".\r\n")) return 2;
    const std::size_t found = pending_.find("\r\n.\r\n");
    return found == std::string::npos ? found : found + 4;
  }

  int listenFd_ = -1;
  uint16_t port_ = 0;
  std::vector<std::string_view> replies_;
  std::string pending_;
  std::atomic<bool> clientDone_{false};
  std::thread thread_;
};

// What lives for the whole run: the server, a private folder and the
// settings; each input gets fresh runtime tables and an empty folder.
struct Scene {
  Scene() {
    folder = fuzz::MakeRunFolder();
    common->customTimeout = 1;
    common->timeoutSec = kClientTimeoutSec;
    common->sessionLog = 1;
    common->maxHeldMails = common->maxHeldMailsNext = kMaxHeld;
    common->fetchLimit = 2;
    log = std::make_unique<ActivityLog>(reporter, *common, folder + "/velnora_.log",
                                        folder + "/velnora_session.log");
    log->SetOpenRetry(1, 0);
  }
  ~Scene() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
  void EmptyFolder() {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
      std::filesystem::remove(entry.path(), ignored);
    }
  }

  ScriptedServer server;
  std::string folder;
  QuietReporter reporter;
  std::unique_ptr<CommonSettings> common = std::make_unique<CommonSettings>();
  std::unique_ptr<ActivityLog> log;
  platform::WorkerFlags flags;
};

Scene& TheScene() {
  static Scene scene;
  return scene;
}

bool Bit(uint8_t options, int n) { return ((options >> n) & 1) != 0; }

std::unique_ptr<AccountSettings> MakeAccount(uint16_t port) {
  auto account = std::make_unique<AccountSettings>();
  SetText(account->accountName, "fuzz");
  SetText(account->popServer, "127.0.0.1");
  SetText(account->smtpServer, "127.0.0.1");
  SetText(account->popUser, "alice");
  SetText(account->popPassword, "s3cret-pw");
  SetText(account->myAddress, "me@velnora.test");
  SetText(account->forwardTo, "dest@velnora.test");
  account->popPort = account->smtpPort = int16_t(port);
  account->noRecvDelay = account->noSendDelay = 1;
  return account;
}

// A message the POP3 client kept is a whole RETR response: "+OK" and the
// end line. Anything else must have been discarded.
void CheckReceivedFiles(const TransportEnv& env, long count) {
  for (long n = 1; n <= std::min(count, kFetchedCountLimit); ++n) {
    const std::string path = ReceivedMailPath(env, int(n));
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) continue;
    std::string bytes;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
      bytes.append(buffer, got);
    }
    std::fclose(file);
    FUZZ_CHECK(bytes.size() >= 4 && bytes[0] == '+' && (bytes[1] | 0x20) == 'o' &&
               (bytes[2] | 0x20) == 'k');
    FUZZ_CHECK(bytes.ends_with("\n.\r\n"));
    FUZZ_CHECK(bytes.find('\0') == std::string::npos);
  }
}

void PlayPop3(Scene& scene, TransportEnv& env, AccountSettings& account, uint8_t options) {
  account.useApop = Bit(options, 1);
  account.noUidlActive = Bit(options, 2);
  account.reversePopOrder = Bit(options, 3);
  scene.common->limitFetch = Bit(options, 4);
  account.nonBlocking = Bit(options, 5);
  RuntimeTables& tables = *env.tables;
  AccountRuntime& runtime = tables.accounts[0];
  switch (options >> 6) {
    case 2:
      FUZZ_CHECK(MarkAllAsForwarded(env, account, runtime) >= -1);
      FUZZ_CHECK(runtime.storedCount() >= 0 && runtime.storedCount() <= kMaxHeld);
      return;
    case 3: {
      const int rc = DeleteAllMails(env, account, runtime);
      FUZZ_CHECK(rc >= -1 && rc <= 1);
      return;
    }
    default: break;
  }
  const int count = OpenRcvSession(env, account, runtime);
  if (count >= 0 && count <= kFetchedCountLimit) {
    ReceiveMailFromHost(env, account, runtime);
    FUZZ_CHECK(runtime.mailCount >= 0 && runtime.mailCount <= count);
    FUZZ_CHECK(runtime.storedCount() >= 0 && runtime.storedCount() <= kMaxHeld);
    CheckReceivedFiles(env, count);
    if (options >> 6 == 1 && count > 0) {
      const int deleted = DeleteMessage(env, account, runtime, 1);
      FUZZ_CHECK(deleted >= -1 && deleted <= 1);
    }
  }
  CloseSession(env, runtime.session, count >= 0, &account);
}

void WritePart(const std::string& path, std::string_view text) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) std::abort();
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);
}

void PlaySmtp(TransportEnv& env, AccountSettings& account, uint8_t options) {
  account.smtpAuth = Bit(options, 1);
  account.mailFromIsSender = Bit(options, 2);
  const int parts = Bit(options, 3) ? 2 : 1;
  if (Bit(options, 4)) SetText(account.forwardTo, "dest@velnora.test second@velnora.test");
  account.nonBlocking = Bit(options, 5);
  account.noResendOn550 = Bit(options, 6);
  for (int part = 0; part < parts; ++part) {
    WritePart(PartFilePath(env.tempFolder, part),
              "<orig@sender.test>\r\nFrom: orig@sender.test\r\nSubject: part " +
                  std::to_string(part) + "\r\n\r\nfirst line\r\n.\r\n..two dots\r\nlast\r\n");
  }
  MailSession session;
  if (!OpenSendSession(env, account, session)) {
    CloseSession(env, session, false, &account);
    return;
  }
  const int greet = SmtpGreet(env, account, session);
  FUZZ_CHECK(greet >= -1 && greet <= 1);
  if (greet == 1) {
    const SendResult sent = SendSplitParts(env, account, session, parts);
    // A part file goes once the server has taken it.
    if (sent == SendResult::Sent) {
      for (int part = 0; part < parts; ++part) {
        FUZZ_CHECK(!platform::FileExists(PartFilePath(env.tempFolder, part)));
      }
    }
  }
  CloseSession(env, session, greet >= 0, &account);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size == 0) return 0;
  Scene& scene = TheScene();
  scene.EmptyFolder();
  const uint8_t options = bytes[0];
  auto tables = std::make_unique<RuntimeTables>(kMaxHeld);
  TransportEnv env{*scene.common, *scene.log, scene.flags, scene.folder, tables.get()};
  auto account = MakeAccount(scene.server.port());

  scene.server.Start(SplitScript(velnora::fuzz::AsText(bytes + 1, size - 1)));
  if (Bit(options, 0)) {
    PlaySmtp(env, *account, options);
  } else {
    PlayPop3(scene, env, *account, options);
  }
  scene.server.Finish();
  return 0;
}
