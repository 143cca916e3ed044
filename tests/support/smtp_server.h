// The aiosmtpd test server (smtp_sink.py) in a child process, for tests of
// the sending side against a real SMTP implementation.
//
//   TempFolder folder;
//   SmtpSink sink(folder.path());            // waits until both ports listen
//   ... send to 127.0.0.1:sink.plainPort() or, over TLS, sink.tlsPort()
//   sink.Mails()                              // what the server stored
//
// The server ends with the object (its stdin closes); a test changes its
// behaviour at any time with SetControl (see smtp_sink.py).
#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

namespace velnora::testing {

struct SmtpSinkOptions {
  std::string user = "sender";
  std::string password = "secret";
  std::string auth = "LOGIN,PLAIN,CRAM-MD5";  // mechanisms offered after EHLO
};

struct SinkMail {
  std::string mailFrom;
  std::vector<std::string> rcptTo;
  std::string data;  // as the server stored it (transparency dots removed)
};

class SmtpSink {
 public:
  explicit SmtpSink(std::string folder, SmtpSinkOptions options = {});
  ~SmtpSink();
  SmtpSink(const SmtpSink&) = delete;
  SmtpSink& operator=(const SmtpSink&) = delete;

  bool ready() const { return plainPort_ != 0; }
  uint16_t plainPort() const { return plainPort_; }
  uint16_t tlsPort() const { return tlsPort_; }
  uint16_t startTlsPort() const { return startTlsPort_; }  // STARTTLS required
  std::string caFile() const { return folder_ + "/ca.pem"; }
  const std::string& folder() const { return folder_; }

  // Replaces control.json, e.g. R"({"refuse": {"DATA": "554 no"}})".
  void SetControl(const std::string& json) const;
  std::vector<SinkMail> Mails() const;
  // "MECHANISM login ok|fail" per authentication attempt.
  std::vector<std::string> AuthLog() const;

 private:
  std::string folder_;
  pid_t pid_ = -1;
  int stdinFd_ = -1;
  uint16_t plainPort_ = 0;
  uint16_t tlsPort_ = 0;
  uint16_t startTlsPort_ = 0;
};

}  // namespace velnora::testing
