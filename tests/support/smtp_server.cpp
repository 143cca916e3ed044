#include "support/smtp_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "support/test_paths.h"
#include "support/test_text.h"

namespace velnora::testing {
namespace {

constexpr int kStartTimeoutMs = 20000;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace

SmtpSink::SmtpSink(std::string folder, SmtpSinkOptions options) : folder_(std::move(folder)) {
  int toChild[2], fromChild[2];
  if (pipe2(toChild, O_CLOEXEC) != 0) return;
  if (pipe2(fromChild, O_CLOEXEC) != 0) {
    close(toChild[0]);
    close(toChild[1]);
    return;
  }
  std::string script = SourceDir() + "/tests/support/smtp_sink.py";
  std::vector<std::string> args = {"/usr/bin/python3", script, "--folder", folder_,
                                   "--user", options.user, "--password", options.password,
                                   "--auth", options.auth, "--exit-on-stdin-eof"};
  std::vector<char*> argv;  // built before fork: the child only execs
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_ = fork();
  if (pid_ == 0) {
    dup2(toChild[0], 0);
    dup2(fromChild[1], 1);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(toChild[0]);
  close(fromChild[1]);
  stdinFd_ = toChild[1];
  if (pid_ < 0) {
    close(fromChild[0]);
    return;
  }

  // Wait for "READY <plain> <tls> <starttls>".
  std::string output;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
  while (output.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
    pollfd p{fromChild[0], POLLIN, 0};
    if (poll(&p, 1, 200) <= 0) continue;
    char buffer[256];
    ssize_t n = read(fromChild[0], buffer, sizeof buffer);
    if (n <= 0) break;
    output.append(buffer, static_cast<std::size_t>(n));
  }
  close(fromChild[0]);
  unsigned plain = 0, tls = 0, startTls = 0;
  if (std::sscanf(output.c_str(), "READY %u %u %u", &plain, &tls, &startTls) == 3) {
    plainPort_ = static_cast<uint16_t>(plain);
    tlsPort_ = static_cast<uint16_t>(tls);
    startTlsPort_ = static_cast<uint16_t>(startTls);
  }
}

SmtpSink::~SmtpSink() {
  if (stdinFd_ >= 0) close(stdinFd_);  // the server ends on end of input
  if (pid_ <= 0) return;
  for (int i = 0; i < 50; ++i) {
    if (waitpid(pid_, nullptr, WNOHANG) == pid_) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
}

void SmtpSink::SetControl(const std::string& json) const {
  std::string temp = folder_ + "/control.json.tmp";
  std::ofstream(temp, std::ios::binary) << json;
  std::filesystem::rename(temp, folder_ + "/control.json");
}

std::vector<SinkMail> SmtpSink::Mails() const {
  std::vector<SinkMail> mails;
  for (int n = 1;; ++n) {
    char base[32];
    std::snprintf(base, sizeof base, "/mail-%04d", n);
    std::string envelope = folder_ + base + ".env";
    if (!std::filesystem::exists(envelope)) break;
    SinkMail mail;
    for (const std::string& line : Lines(FileText(envelope))) {
      if (line.starts_with("MAIL FROM:<")) mail.mailFrom = line.substr(11, line.size() - 12);
      if (line.starts_with("RCPT TO:<")) mail.rcptTo.push_back(line.substr(9, line.size() - 10));
    }
    mail.data = FileText(folder_ + base + ".eml");
    mails.push_back(std::move(mail));
  }
  return mails;
}

std::vector<std::string> SmtpSink::AuthLog() const { return Lines(FileText(folder_ + "/auth.log")); }

}  // namespace velnora::testing
