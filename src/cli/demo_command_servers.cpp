#include "cli/demo_command_servers.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/net.h"
#include "platform/server_programs.h"

namespace velnora::cli {
namespace {

namespace fs = std::filesystem;

// Ports that fit the settings' 16-bit port fields without sign trouble.
constexpr uint16_t kLowPort = 20000;
constexpr uint16_t kHighPort = 32000;

// An SMTP server, submission-style (STARTTLS before anything else), that
// stores every message it accepts: mail-NNNN.eml (the data) and then
// mail-NNNN.env (the envelope).
constexpr char kSinkScript[] = R"PY(import os, signal, ssl, sys
from aiosmtpd.controller import Controller

folder, port, cert, key = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]
tls = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
tls.load_cert_chain(cert, key)

class Store:
    count = 0
    async def handle_DATA(self, server, session, envelope):
        Store.count += 1
        base = os.path.join(folder, "mail-%04d" % Store.count)
        with open(base + ".eml", "wb") as f:
            f.write(envelope.original_content or envelope.content)
        with open(base + ".env", "w") as f:
            f.write("MAIL FROM:<%s>\n" % envelope.mail_from)
            for rcpt in envelope.rcpt_tos:
                f.write("RCPT TO:<%s>\n" % rcpt)
        return "250 OK"

controller = Controller(Store(), hostname="127.0.0.1", port=port, tls_context=tls,
                        require_starttls=True)
controller.start()
signal.sigwait([signal.SIGTERM, signal.SIGINT])
controller.stop()
)PY";

bool WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  return bool(out);
}

bool RunToEnd(const std::vector<std::string>& argv, const std::string& log) {
  platform::ChildProcess child;
  if (!child.Start(argv, log)) return false;
  const int64_t deadline = platform::TickMs() + 30000;
  while (child.Running()) {
    if (platform::TickMs() > deadline) return false;
    platform::SleepMs(50);
  }
  return true;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The last `count` lines of a server's log, each indented, controls shown
// as \xNN: the reason a server did not start is usually there.
std::string LogTail(const std::string& path, std::size_t count = 12) {
  std::vector<std::string> lines;
  std::istringstream text(ReadFile(path));
  for (std::string line; std::getline(text, line);) {
    lines.push_back(std::move(line));
    if (lines.size() > count) lines.erase(lines.begin());
  }
  std::string tail;
  for (const std::string& line : lines) {
    tail += "\n    ";
    for (char ch : line) {
      const unsigned char c = static_cast<unsigned char>(ch);
      if (c < 0x20 && c != '\t') {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", c);
        tail += hex;
      } else {
        tail += ch;
      }
    }
  }
  return tail.empty() ? "\n    (" + path + " is empty)" : tail;
}

// The distribution's Python, which has the packaged aiosmtpd, before any
// other python3 on the PATH.
std::string SystemPython() {
  return platform::FileExists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
}

}  // namespace

bool DemoServers::MakeCertificate(std::string& problem) {
  const std::string key = folder_ + "/key.pem";
  const std::string cert = folder_ + "/cert.pem";
  if (!RunToEnd({"openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                 "-nodes", "-keyout", key, "-out", cert, "-days", "2", "-subj", "/CN=localhost"},
                folder_ + "/openssl.log") ||
      !platform::FileExists(cert)) {
    problem = "openssl could not make a test certificate (see " + folder_ + "/openssl.log)";
    return false;
  }
  return true;
}

bool DemoServers::WriteDovecot(const std::vector<DemoMailbox>& mailboxes, std::string& problem) {
  // As root the mail and login processes run as Dovecot's own users; as an
  // ordinary user everything runs as that user.
  const bool root = platform::RunningAsRoot();
  const std::string me = platform::CurrentUserName();
  const std::string mailUser = root ? "dovecot" : me;
  const std::string loginUser = root ? "dovenull" : me;
  const std::string mailGroup = root ? "dovecot" : platform::CurrentGroupName();

  std::string users;
  int stamp = 1000000001;
  for (const DemoMailbox& box : mailboxes) {
    users += box.user + ":{PLAIN}" + box.password + "::::::\n";
    const std::string maildir = folder_ + "/home/" + box.user + "/Maildir";
    for (const char* sub : {"/new", "/cur", "/tmp"}) fs::create_directories(maildir + sub);
    int n = 0;
    for (const std::string& text : box.messages) {
      // Increasing names keep the mailbox order.
      const std::string name = std::to_string(stamp++) + ".M" + std::to_string(++n) + ".velnora-demo";
      if (!WriteFile(maildir + "/new/" + name, text)) {
        problem = "cannot write " + maildir;
        return false;
      }
    }
  }
  if (!WriteFile(folder_ + "/users", users)) {
    problem = "cannot write the Dovecot user list";
    return false;
  }
  std::ostringstream conf;
  conf << "base_dir = " << folder_ << "/run\n"
       << "state_dir = " << folder_ << "/state\n"
       << "log_path = " << folder_ << "/dovecot.log\n"
       << "protocols = pop3\nlisten = 127.0.0.1\n"
       << "ssl = yes\nssl_cert = <" << folder_ << "/cert.pem\nssl_key = <" << folder_ << "/key.pem\n"
       << "disable_plaintext_auth = no\nauth_mechanisms = plain apop\n"
       << "default_login_user = " << loginUser << "\ndefault_internal_user = " << mailUser << "\n"
       << "default_internal_group = " << mailGroup << "\n"
       << "first_valid_uid = 1\n"
       << "passdb {\n  driver = passwd-file\n  args = scheme=PLAIN " << folder_ << "/users\n}\n"
       << "userdb {\n  driver = static\n  args = uid=" << mailUser << " gid=" << mailGroup << " home="
       << folder_ << "/home/%u\n}\n"
       << "mail_location = maildir:~/Maildir\npop3_uidl_format = %08Xu%08Xv\n"
       << "service pop3-login {\n  chroot =\n  inet_listener pop3 {\n    port = " << popPort_
       << "\n  }\n  inet_listener pop3s {\n    port = " << popsPort_ << "\n    ssl = yes\n  }\n}\n"
       << "service anvil {\n  chroot =\n}\nservice stats {\n  chroot =\n}\n";
  if (!WriteFile(folder_ + "/dovecot.conf", conf.str())) {
    problem = "cannot write the Dovecot configuration";
    return false;
  }
  if (root && !platform::GiveToUser(folder_ + "/home", mailUser)) {
    problem = "cannot hand the mailboxes to the user " + mailUser;
    return false;
  }
  return true;
}

bool DemoServers::WaitListening(uint16_t port, platform::ChildProcess& child, int timeoutMs) {
  const int64_t deadline = platform::TickMs() + timeoutMs;
  while (platform::TickMs() < deadline) {
    if (!child.Running()) return false;
    platform::NetStream probe;
    uint32_t loopback = 0;
    if (platform::ResolveIPv4("127.0.0.1", loopback, 1000, nullptr) == 0 && probe.OpenSocket() == 0 &&
        probe.Connect(loopback, port, 500, nullptr) == 0) {
      return true;
    }
    platform::SleepMs(100);
  }
  return false;
}

bool DemoServers::Start(const std::vector<DemoMailbox>& mailboxes, std::string& problem) {
  // The servers' own users must reach their files below this folder.
  fs::permissions(folder_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                               fs::perms::others_read | fs::perms::others_exec);
  popPort_ = platform::FreeLoopbackPort(kLowPort, kHighPort);
  do popsPort_ = platform::FreeLoopbackPort(kLowPort, kHighPort); while (popsPort_ == popPort_);
  do smtpPort_ = platform::FreeLoopbackPort(kLowPort, kHighPort);
  while (smtpPort_ == popPort_ || smtpPort_ == popsPort_);
  if (!popPort_ || !popsPort_ || !smtpPort_) {
    problem = "no free loopback ports";
    return false;
  }
  if (!MakeCertificate(problem) || !WriteDovecot(mailboxes, problem)) return false;

  // Debian installs Dovecot in /usr/sbin, off an ordinary user's PATH.
  const std::string dovecot = platform::FindServerProgram("dovecot");
  if (dovecot.empty()) {
    problem = "Dovecot is not installed: no dovecot program on PATH, in /usr/sbin or in /sbin "
              "(Debian package dovecot-pop3d)";
    return false;
  }
  if (!dovecot_.Start({dovecot, "-F", "-c", folder_ + "/dovecot.conf"}, folder_ + "/dovecot.out") ||
      !WaitListening(popPort_, dovecot_, 15000)) {
    failed_ = true;
    problem = "Dovecot did not start (" + dovecot + " -F -c " + folder_ + "/dovecot.conf); the end of " + folder_ +
              "/dovecot.out:" + LogTail(folder_ + "/dovecot.out") + "\nand of " + folder_ + "/dovecot.log:" +
              LogTail(folder_ + "/dovecot.log");
    return false;
  }
  const std::string python = SystemPython();
  fs::create_directories(folder_ + "/smtp");
  if (!WriteFile(folder_ + "/smtp_sink.py", kSinkScript) ||
      !sink_.Start({python, folder_ + "/smtp_sink.py", folder_ + "/smtp", std::to_string(smtpPort_),
                    folder_ + "/cert.pem", folder_ + "/key.pem"},
                   folder_ + "/smtp.log") ||
      !WaitListening(smtpPort_, sink_, 15000)) {
    failed_ = true;
    const std::string log = ReadFile(folder_ + "/smtp.log");
    const bool noModule = log.find("No module named 'aiosmtpd'") != std::string::npos;
    problem = std::string(noModule ? "aiosmtpd is not installed for " + python + " (Debian package python3-aiosmtpd)"
                                   : "the aiosmtpd server did not start (" + python + " " + folder_ + "/smtp_sink.py)") +
              "; the end of " + folder_ + "/smtp.log:" + LogTail(folder_ + "/smtp.log");
    return false;
  }
  return true;
}

void DemoServers::Stop() {
  sink_.Stop();
  dovecot_.Stop();
}

std::vector<ArrivedMail> DemoServers::Arrived() const {
  std::vector<fs::path> envelopes;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder_ + "/smtp", ec)) {
    if (entry.path().extension() == ".env") envelopes.push_back(entry.path());
  }
  std::sort(envelopes.begin(), envelopes.end());
  std::vector<ArrivedMail> mails;
  for (const fs::path& envelope : envelopes) {
    ArrivedMail mail;
    std::istringstream lines(ReadFile(envelope));
    for (std::string line; std::getline(lines, line);) {
      if (line.starts_with("MAIL FROM:<")) mail.mailFrom = line.substr(11, line.size() - 12);
      if (line.starts_with("RCPT TO:<")) mail.rcptTo.push_back(line.substr(9, line.size() - 10));
    }
    fs::path data = envelope;
    mail.data = ReadFile(data.replace_extension(".eml"));
    mails.push_back(std::move(mail));
  }
  return mails;
}

}  // namespace velnora::cli
