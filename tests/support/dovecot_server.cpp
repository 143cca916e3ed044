#include "dovecot_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <grp.h>
#include <netinet/in.h>
#include <poll.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/server_programs.h"
#include "support/loopback.h"

namespace velnora::testing {
namespace {

// Reads until the received bytes end with `end` (or 5 s pass).
bool ReadUntil(int fd, std::string& got, const std::string& end) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!(got.size() >= end.size() && got.compare(got.size() - end.size(), end.size(), end) == 0)) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 50) <= 0) continue;
    char buffer[65536];
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) return false;
    got.append(buffer, std::size_t(n));
  }
  return true;
}

bool Command(int fd, const std::string& line, std::string& reply, const std::string& end = "\r\n") {
  if (::send(fd, line.data(), line.size(), MSG_NOSIGNAL) != ssize_t(line.size())) return false;
  reply.clear();
  return ReadUntil(fd, reply, end) && reply.rfind("+OK", 0) == 0;
}

void ChownToMailUser(const std::string& path, bool asRoot) {
  if (!asRoot) return;
  if (const passwd* user = ::getpwnam("dovecot")) {
    if (::chown(path.c_str(), user->pw_uid, user->pw_gid) != 0) { /* test sees the failure later */ }
  }
}

}  // namespace

DovecotServer::DovecotServer(std::vector<DovecotUser> users, DovecotOptions options) {
  root_ = folder_.path();
  if (root_.empty()) {
    error_ = "no temporary folder";
    return;
  }
  asRoot_ = ::geteuid() == 0;
  // Dovecot's unprivileged processes must reach the folder.
  ::chmod(root_.c_str(), 0755);
  if (!MakeTestCertificates(root_, "DNS:localhost", certificates_, error_)) return;

  std::string mailUid = std::to_string(::geteuid());
  std::string mailGid = std::to_string(::getegid());
  if (asRoot_) {
    const passwd* mailUser = ::getpwnam("dovecot");
    if (!mailUser) {
      error_ = "no dovecot user";
      return;
    }
    mailUid = std::to_string(mailUser->pw_uid);
    mailGid = std::to_string(mailUser->pw_gid);
  }
  ::mkdir((root_ + "/home").c_str(), 0755);
  std::ofstream passwdFile(root_ + "/passwd");
  for (const auto& user : users) {
    const std::string home = root_ + "/home/" + user.name;
    for (const char* sub : {"", "/Maildir", "/Maildir/new", "/Maildir/cur", "/Maildir/tmp"}) {
      const std::string dir = home + sub;
      ::mkdir(dir.c_str(), 0700);
      ChownToMailUser(dir, asRoot_);
    }
    passwdFile << user.name << ":{PLAIN}" << user.password << ":" << mailUid << ":" << mailGid
               << "::" << home << "\n";
  }
  passwdFile.close();

  pop3Port_ = FreePort();
  pop3sPort_ = FreePort();
  while (pop3sPort_ == pop3Port_) pop3sPort_ = FreePort();
  // Both ports on ::1 too, where the machine has IPv6 loopback.
  ipv6_ = Ipv6LoopbackPortFree(pop3Port_) && Ipv6LoopbackPortFree(pop3sPort_);
  logFile_ = root_ + "/dovecot.log";
  config_ = root_ + "/dovecot.conf";
  std::ofstream conf(config_);
  conf << "base_dir = " << root_ << "/run\n"
       << "state_dir = " << root_ << "/state\n"
       << "log_path = " << logFile_ << "\n"
       << "info_log_path = " << logFile_ << "\n"
       << "protocols = pop3\n"
       << "listen = 127.0.0.1" << (ipv6_ ? ", ::1" : "") << "\n"
       << "ssl = yes\n"
       << "ssl_cert = <" << certificates_.certFile << "\n"
       << "ssl_key = <" << certificates_.keyFile << "\n"
       << "ssl_min_protocol = TLSv1.2\n"
       << "disable_plaintext_auth = no\n"
       << "auth_mechanisms = plain login apop" << (options.smtpSasl ? " cram-md5" : "") << "\n"
       // Failed log-ins are part of the tests: no growing penalty delays.
       << "auth_failure_delay = 0\n"
       << "login_trusted_networks = 127.0.0.0/8" << (ipv6_ ? " ::1/128" : "") << "\n"
       << "passdb {\n  driver = passwd-file\n  args = " << root_ << "/passwd\n}\n"
       << "userdb {\n  driver = passwd-file\n  args = " << root_ << "/passwd\n}\n"
       << "mail_location = maildir:~/Maildir\n"
       << "pop3_uidl_format = %08Xu%08Xv\n"
       << "service anvil {\n  chroot =\n}\n"
       << "service pop3-login {\n  chroot =\n"
       << "  inet_listener pop3 {\n    port = " << pop3Port_ << "\n  }\n"
       << "  inet_listener pop3s {\n    port = " << pop3sPort_ << "\n    ssl = yes\n  }\n}\n";
  if (options.smtpSasl) {
    // The SMTP server's unprivileged processes connect to it.
    conf << "service auth {\n  unix_listener auth-smtp {\n    mode = 0666\n  }\n}\n";
  }
  if (asRoot_) {
    conf << "mail_uid = dovecot\nmail_gid = dovecot\nfirst_valid_uid = 0\nfirst_valid_gid = 0\n";
  } else {
    const passwd* me = ::getpwuid(::geteuid());
    const std::string name = me ? me->pw_name : "nobody";
    const group* myGroup = ::getgrgid(::getegid());
    conf << "default_login_user = " << name << "\n"
         << "default_internal_user = " << name << "\n"
         << "default_internal_group = " << (myGroup ? myGroup->gr_name : "nogroup") << "\n"
         << "first_valid_uid = " << ::geteuid() << "\n";
  }
  conf.close();

  dovecot_ = platform::FindServerProgram("dovecot");
  doveadm_ = platform::FindServerProgram("doveadm");
  if (dovecot_.empty() || doveadm_.empty()) {
    error_ = "Dovecot is not installed (no dovecot or doveadm on PATH, in /usr/sbin or /sbin)";
    return;
  }
  // The master runs in the foreground as our child and is told to end when
  // this process does, so a crashing test leaves no server behind.
  const std::string startLog = root_ + "/start.log";
  const pid_t child = ::fork();
  if (child == 0) {
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    const int out = ::open(startLog.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (out >= 0) {
      ::dup2(out, 1);
      ::dup2(out, 2);
    }
    // Dovecot finds its own binary from argv[0], which PATH may not hold.
    ::execl(dovecot_.c_str(), dovecot_.c_str(), "-F", "-c", config_.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  if (child < 0) {
    error_ = "fork failed";
    return;
  }
  masterPid_ = child;
  started_ = true;
  if (!WaitForPort(pop3Port_, 10000) || !WaitForPort(pop3sPort_, 10000)) {
    std::ifstream log(startLog);
    std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    error_ = dovecot_ + " did not start: " + text;
    return;
  }
  ready_ = true;
}

DovecotServer::~DovecotServer() {
  if (!started_) return;
  const std::string stop = "'" + doveadm_ + "' -c '" + config_ + "' stop >/dev/null 2>&1";
  if (std::system(stop.c_str()) != 0) ::kill(masterPid_, SIGTERM);
  // Wait for the master to go away before the folder is removed.
  for (int i = 0; i < 200; ++i) {
    if (::waitpid(masterPid_, nullptr, WNOHANG) != 0) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  ::kill(masterPid_, SIGKILL);
  ::waitpid(masterPid_, nullptr, 0);
}

std::string DovecotServer::Maildir(const std::string& user) const {
  return root_ + "/home/" + user + "/Maildir";
}

bool DovecotServer::AddMessage(const std::string& user, const std::string& fileName,
                               const std::string& bytes) {
  const std::string temp = Maildir(user) + "/tmp/" + fileName;
  const std::string path = Maildir(user) + "/new/" + fileName;
  {
    std::ofstream file(temp, std::ios::binary);
    file.write(bytes.data(), std::streamsize(bytes.size()));
    if (!file) return false;
  }
  ChownToMailUser(temp, asRoot_);
  return std::rename(temp.c_str(), path.c_str()) == 0;
}

std::size_t DovecotServer::MessageCount(const std::string& user) const {
  std::size_t count = 0;
  for (const char* sub : {"/new", "/cur"}) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(Maildir(user) + sub, ec)) {
      if (entry.is_regular_file()) ++count;
    }
  }
  return count;
}

std::string DovecotServer::RawRetr(const std::string& user, const std::string& password,
                                   int number) const {
  const int fd = ConnectLoopback(pop3Port_);
  if (fd < 0) return {};
  std::string reply;
  std::string message;
  const bool ok = ReadUntil(fd, reply, "\r\n") && Command(fd, "USER " + user + "\r\n", reply) &&
                  Command(fd, "PASS " + password + "\r\n", reply) &&
                  Command(fd, "RETR " + std::to_string(number) + "\r\n", message, "\r\n.\r\n");
  Command(fd, "QUIT\r\n", reply);
  ::close(fd);
  return ok ? message : std::string();
}

}  // namespace velnora::testing
