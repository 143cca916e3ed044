#include "support/postfix_server.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <tuple>

#include "platform/server_programs.h"
#include "support/loopback.h"
#include "support/test_text.h"

namespace velnora::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kStartTimeoutMs = 15000;
constexpr int kDeliveryTimeoutMs = 20000;
constexpr char kListenerHeader[] = "X-Velnora-Listener: ";

// The first line of a command's output ("" on failure).
std::string FirstLineOf(const std::string& command) {
  std::string line;
  if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[512];
    if (std::fgets(buffer, sizeof buffer, pipe)) line = buffer;
    ::pclose(pipe);
  }
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return line;
}

bool MakeDir(const std::string& path, mode_t mode, uid_t uid, gid_t gid) {
  if (::mkdir(path.c_str(), mode) != 0 && errno != EEXIST) return false;
  return ::chown(path.c_str(), uid, gid) == 0 && ::chmod(path.c_str(), mode) == 0;
}

// A regular expression for exactly `text` in a Postfix regexp table.
std::string ExactPattern(const std::string& text) {
  std::string pattern = "/^";
  for (char c : text) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != ' ' && c != ':') pattern += '\\';
    pattern += c;
  }
  return pattern + "$/";
}

// The time stamp and microseconds in a maildir file name
// ("1796756453.Vfe00Ia726a7M616163.host"): the order of delivery.
std::tuple<long long, long long, std::string> DeliveryOrder(const std::string& name) {
  const long long seconds = std::atoll(name.c_str());
  const std::size_t m = name.find('M', name.find('.'));
  const long long micros = m == std::string::npos ? 0 : std::atoll(name.c_str() + m + 1);
  return {seconds, micros, name};
}

}  // namespace

bool PostfixServer::CanStart(std::string& why) {
  if (platform::FindServerProgram("postfix").empty() || platform::FindServerProgram("postconf").empty()) {
    why = "Postfix is not installed (no postfix or postconf on PATH, in /usr/sbin or /sbin)";
    return false;
  }
  if (::geteuid() != 0) {
    why = "Postfix's master must start as root; the tests through Postfix are skipped for an ordinary user";
    return false;
  }
  if (!::getpwnam("postfix")) {
    why = "no postfix user";
    return false;
  }
  return true;
}

PostfixServer::PostfixServer(std::vector<PostfixListener> listeners, std::string saslSocket)
    : listeners_(std::move(listeners)) {
  if (!CanStart(error_)) return;
  root_ = folder_.path();
  if (root_.empty()) {
    error_ = "no temporary folder";
    return;
  }
  // Postfix's unprivileged processes must reach the folder and the TLS key.
  ::chmod(root_.c_str(), 0755);
  if (!MakeTestCertificates(root_, "DNS:localhost", certificates_, error_)) return;
  for (std::size_t i = 0; i < listeners_.size(); ++i) {
    uint16_t port = FreePort();
    while (std::find(ports_.begin(), ports_.end(), port) != ports_.end()) port = FreePort();
    ports_.push_back(port);
  }
  if (!MakeQueue() || !WriteConfig(saslSocket)) return;

  const std::string daemons =
      FirstLineOf("'" + platform::FindServerProgram("postconf") + "' -c '" + root_ + "/conf' -h daemon_directory");
  const std::string master = daemons + "/master";
  const std::string config = root_ + "/conf";
  const std::string out = root_ + "/master.out";
  const pid_t child = ::fork();
  if (child == 0) {
    // A process group of its own: the master ends its children by signalling
    // its group, which must not be the test's.
    ::setsid();
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd >= 0) {
      ::dup2(fd, 1);
      ::dup2(fd, 2);
    }
    ::execl(master.c_str(), "master", "-c", config.c_str(), "-d", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  if (child < 0) {
    error_ = "fork failed";
    return;
  }
  masterPid_ = child;
  for (uint16_t port : ports_) {
    if (!WaitForPort(port, kStartTimeoutMs)) {
      error_ = master + " did not start: " + FileText(out) + Log();
      return;
    }
  }
  ready_ = true;
}

PostfixServer::~PostfixServer() {
  if (masterPid_ <= 0) return;
  // The master ends every Postfix process it started, then itself.
  ::kill(masterPid_, SIGTERM);
  for (int i = 0; i < 200; ++i) {
    if (::waitpid(masterPid_, nullptr, WNOHANG) != 0) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  ::kill(-masterPid_, SIGKILL);
  ::waitpid(masterPid_, nullptr, 0);
}

bool PostfixServer::MakeQueue() {
  const passwd* owner = ::getpwnam("postfix");
  const group* drop = ::getgrnam("postdrop");
  const uid_t uid = owner->pw_uid;
  const gid_t gid = owner->pw_gid;
  const gid_t dropGid = drop ? drop->gr_gid : gid;
  const std::string queue = root_ + "/queue";
  bool ok = MakeDir(queue, 0755, 0, 0) && MakeDir(queue + "/pid", 0755, 0, 0) &&
            MakeDir(root_ + "/conf", 0755, 0, 0) && MakeDir(root_ + "/data", 0700, uid, gid) &&
            MakeDir(root_ + "/mail", 0700, uid, gid) && MakeDir(queue + "/maildrop", 0730, uid, dropGid) &&
            MakeDir(queue + "/public", 0710, uid, dropGid);
  for (const char* sub : {"active", "bounce", "corrupt", "defer", "deferred", "flush", "hold", "incoming",
                          "private", "saved", "trace"}) {
    ok = ok && MakeDir(queue + "/" + sub, 0700, uid, 0);
  }
  if (!ok) error_ = "cannot make the Postfix queue in " + queue;
  return ok;
}

bool PostfixServer::WriteConfig(const std::string& saslSocket) {
  const passwd* owner = ::getpwnam("postfix");
  std::ofstream main(root_ + "/conf/main.cf");
  main << "compatibility_level = 3.6\n"
       << "queue_directory = " << root_ << "/queue\n"
       << "data_directory = " << root_ << "/data\n"
       << "maillog_file = " << root_ << "/maillog\n"
       << "maillog_file_prefixes = " << root_ << "\n"
       << "mail_owner = postfix\n"
       << "myhostname = peer.velnora.test\n"
       << "mydestination =\n"
       << "inet_interfaces = loopback-only\n"
       << "inet_protocols = ipv4\n"
       << "mynetworks = 127.0.0.0/8\n"
       << "alias_maps =\nalias_database =\nbiff = no\n"
       // Headers arrive as the client sent them: no rewriting for local clients.
       << "local_header_rewrite_clients =\n"
       << "enable_original_recipient = no\n"
       << "virtual_mailbox_domains = velnora.test\n"
       << "virtual_mailbox_base = " << root_ << "/mail\n"
       << "virtual_mailbox_maps = static:inbox/\n"
       << "virtual_minimum_uid = 1\n"
       << "virtual_uid_maps = static:" << owner->pw_uid << "\n"
       << "virtual_gid_maps = static:" << owner->pw_gid << "\n"
       // Mail with a bare LF is refused ("yes" would only normalise it), and
       // pipelining is checked, for every client, loopback included.
       << "smtpd_forbid_bare_newline = reject\n"
       << "smtpd_forbid_bare_newline_exclusions =\n"
       << "smtpd_forbid_unauth_pipelining = yes\n"
       << "smtpd_tls_cert_file = " << certificates_.certFile << "\n"
       << "smtpd_tls_key_file = " << certificates_.keyFile << "\n"
       << "smtpd_tls_security_level = none\n";
  if (!saslSocket.empty()) main << "smtpd_sasl_type = dovecot\nsmtpd_sasl_path = " << saslSocket << "\n";
  main << "header_checks = regexp:" << root_ << "/conf/header_checks\n";
  main.close();
  std::ofstream(root_ + "/conf/header_checks").flush();

  std::ofstream master(root_ + "/conf/master.cf");
  for (std::size_t i = 0; i < listeners_.size(); ++i) {
    const PostfixListener& listener = listeners_[i];
    master << "127.0.0.1:" << ports_[i] << " inet n - n - - smtpd\n"
           << "  -o { syslog_name = postfix/" << listener.name << " }\n"
           << "  -o { smtpd_data_restrictions = check_client_access static:{PREPEND " << kListenerHeader
           << listener.name << "} }\n";
    if (!listener.mechanism.empty()) {
      master << "  -o smtpd_sasl_auth_enable=yes\n"
             << "  -o { smtpd_sasl_mechanism_filter = " << listener.mechanism << " }\n"
             << "  -o { smtpd_client_restrictions = permit_sasl_authenticated, reject }\n";
    }
    if (listener.implicitTls) master << "  -o smtpd_tls_wrappermode=yes\n  -o smtpd_tls_security_level=encrypt\n";
  }
  master << "pickup    unix  n - n 60 1 pickup\n"
            "cleanup   unix  n - n - 0 cleanup\n"
            "qmgr      unix  n - n 300 1 qmgr\n"
            "rewrite   unix  - - n - - trivial-rewrite\n"
            "bounce    unix  - - n - 0 bounce\n"
            "defer     unix  - - n - 0 bounce\n"
            "trace     unix  - - n - 0 bounce\n"
            "verify    unix  - - n - 1 verify\n"
            "flush     unix  n - n 1000? 0 flush\n"
            "proxymap  unix  - - n - - proxymap\n"
            "smtp      unix  - - n - - smtp\n"
            "showq     unix  n - n - - showq\n"
            "error     unix  - - n - - error\n"
            "retry     unix  - - n - - error\n"
            "discard   unix  - - n - - discard\n"
            "virtual   unix  - n n - - virtual\n"
            "anvil     unix  - - n - 1 anvil\n"
            "tlsmgr    unix  - - n 1000? 1 tlsmgr\n"
            "scache    unix  - - n - 1 scache\n"
            "postlog   unix-dgram n - n - 1 postlogd\n";
  master.close();
  if (!main || !master) {
    error_ = "cannot write the Postfix configuration";
    return false;
  }
  return true;
}

std::string PostfixServer::Log() const { return FileText(root_ + "/maillog"); }

bool PostfixServer::RefuseSubject(const std::string& subject) {
  if (!ready_) return false;
  {
    std::ofstream checks(root_ + "/conf/header_checks");
    if (!subject.empty()) checks << ExactPattern("Subject: " + subject) << " REJECT 5.7.1 not here\n";
  }
  // After a reload the master hands new connections to new processes, which
  // read the table afresh; it logs each reload.
  const auto reloads = [this] {
    const std::string log = Log();
    int count = 0;
    for (std::size_t at = log.find("]: reload -- "); at != std::string::npos; at = log.find("]: reload -- ", at + 1)) {
      ++count;
    }
    return count;
  };
  const int before = reloads();
  ::kill(masterPid_, SIGHUP);
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
  while (std::chrono::steady_clock::now() < end) {
    if (reloads() > before) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

bool PostfixServer::WaitForQueue() const {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kDeliveryTimeoutMs);
  while (std::chrono::steady_clock::now() < end) {
    bool busy = false;
    for (const char* sub : {"/queue/maildrop", "/queue/incoming", "/queue/active"}) {
      std::error_code ec;
      for (auto it = fs::recursive_directory_iterator(root_ + sub, ec);
           !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_regular_file(ec)) busy = true;
      }
    }
    if (!busy) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

std::vector<SinkMail> PostfixServer::Mails(std::size_t listener) const {
  std::vector<SinkMail> mails;
  if (!WaitForQueue()) return mails;
  std::vector<std::tuple<long long, long long, std::string>> files;
  for (const char* sub : {"/mail/inbox/new/", "/mail/inbox/cur/"}) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(root_ + sub, ec)) {
      if (!entry.is_regular_file()) continue;
      auto [seconds, micros, name] = DeliveryOrder(entry.path().filename().string());
      files.emplace_back(seconds, micros, root_ + sub + name);
    }
  }
  std::sort(files.begin(), files.end());
  const std::string wanted = std::string(kListenerHeader) + listeners_.at(listener).name;
  for (const auto& [seconds, micros, path] : files) {
    const std::string text = FileText(path);
    SinkMail mail;
    bool through = false;
    std::size_t at = 0;
    // Postfix's own lines on top: Return-Path, Delivered-To, the listener
    // mark, then its Received header with its continuation lines.
    while (at < text.size()) {
      const std::size_t end = text.find('\n', at);
      if (end == std::string::npos) break;
      const std::string line = text.substr(at, end - at);
      if (line.starts_with("Return-Path: <")) {
        mail.mailFrom = line.substr(14, line.size() - 15);
      } else if (line.starts_with("Delivered-To: ")) {
        mail.rcptTo.push_back(line.substr(14));
      } else if (line.starts_with(kListenerHeader)) {
        through = line == wanted;
      } else if (line.starts_with("Received: ")) {
        at = end + 1;
        while (at < text.size() && (text[at] == '\t' || text[at] == ' ')) {
          const std::size_t next = text.find('\n', at);
          at = next == std::string::npos ? text.size() : next + 1;
        }
        break;
      } else {
        break;
      }
      at = end + 1;
    }
    if (!through) continue;
    // The mailbox keeps LF line ends; on the wire every line ended in CR LF.
    for (std::size_t i = at; i < text.size(); ++i) {
      if (text[i] == '\n') mail.data += '\r';
      mail.data += text[i];
    }
    mails.push_back(std::move(mail));
  }
  return mails;
}

}  // namespace velnora::testing
