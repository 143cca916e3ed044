// The throw-away mail servers of velnora-cli demo: Dovecot (POP3 and POP3
// over TLS) and an aiosmtpd sink, both on free loopback ports inside one
// folder, both ended when the object goes.
#pragma once

#include <string>
#include <vector>

#include "platform/child_process.h"

namespace velnora::cli {

struct DemoMailbox {
  std::string user;
  std::string password;
  std::vector<std::string> messages;  // whole texts, CR LF line ends
};

struct ArrivedMail {
  std::string mailFrom;
  std::vector<std::string> rcptTo;
  std::string data;
};

class DemoServers {
 public:
  explicit DemoServers(std::string folder) : folder_(std::move(folder)) {}
  ~DemoServers() { Stop(); }
  DemoServers(const DemoServers&) = delete;
  DemoServers& operator=(const DemoServers&) = delete;

  // Fills the mailboxes and starts both servers. False with `problem` set.
  bool Start(const std::vector<DemoMailbox>& mailboxes, std::string& problem);
  void Stop();

  uint16_t popPort() const { return popPort_; }
  uint16_t popsPort() const { return popsPort_; }
  uint16_t smtpPort() const { return smtpPort_; }
  // Whether a server was started and did not come up: its folder is worth keeping.
  bool startFailed() const { return failed_; }
  // What the SMTP sink accepted, in order.
  std::vector<ArrivedMail> Arrived() const;

 private:
  bool MakeCertificate(std::string& problem);
  bool WriteDovecot(const std::vector<DemoMailbox>& mailboxes, std::string& problem);
  bool WaitListening(uint16_t port, platform::ChildProcess& child, int timeoutMs);

  std::string folder_;
  uint16_t popPort_ = 0, popsPort_ = 0, smtpPort_ = 0;
  bool failed_ = false;
  platform::ChildProcess dovecot_;
  platform::ChildProcess sink_;
};

}  // namespace velnora::cli
