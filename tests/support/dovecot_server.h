// A throw-away Dovecot POP3 server for tests against a real implementation.
//
//   DovecotServer dovecot({{"alice", "wonderland"}});   // starts, waits for its ports
//   ASSERT_TRUE(dovecot.ready()) << dovecot.error();
//   dovecot.AddMessage("alice", "1.eml", "Subject: x\r\n\r\nbody\r\n");
//   ... POP3 on 127.0.0.1:dovecot.pop3Port(), pop3s (implicit TLS) on
//   dovecot.pop3sPort() with a certificate for "localhost" only, signed by
//   the test CA dovecot.caFile() (set SSL_CERT_FILE to it) ...
//   dovecot.RawRetr("alice", "wonderland", 1)   // the server's own RETR bytes
//   DovecotServer(users, {.smtpSasl = true}).saslSocket()   // AUTH for Postfix
//
// Everything (configuration, sockets, state, log, mailboxes) lives in one
// temporary folder that goes with the object; the server is stopped with
// "doveadm stop" and also ends when the test process dies. As root the mail is owned by the "dovecot" user; otherwise
// the server runs as the current user. USER/PASS, APOP and plain text
// log-ins are allowed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "test_ca.h"
#include "temp_folder.h"

namespace velnora::testing {

struct DovecotUser {
  std::string name;
  std::string password;
};

struct DovecotOptions {
  // Also authenticate an SMTP server's clients (Postfix's smtpd_sasl_type =
  // dovecot) through saslSocket(), with CRAM-MD5 among the mechanisms.
  bool smtpSasl = false;
};

class DovecotServer {
 public:
  explicit DovecotServer(std::vector<DovecotUser> users = {{"alice", "wonderland"}}, DovecotOptions options = {});
  ~DovecotServer();
  DovecotServer(const DovecotServer&) = delete;
  DovecotServer& operator=(const DovecotServer&) = delete;

  bool ready() const { return ready_; }
  const std::string& error() const { return error_; }
  uint16_t pop3Port() const { return pop3Port_; }
  uint16_t pop3sPort() const { return pop3sPort_; }
  bool listensOnIpv6() const { return ipv6_; }  // the ports on ::1 as well
  const std::string& caFile() const { return certificates_.caFile; }
  const std::string& logFile() const { return logFile_; }
  // The authentication socket for an SMTP server (with options.smtpSasl).
  std::string saslSocket() const { return root_ + "/run/auth-smtp"; }

  // Puts a message file into the user's Maildir/new/.
  bool AddMessage(const std::string& user, const std::string& fileName, const std::string& bytes);
  // Message files left in the user's mailbox (new/ and cur/).
  std::size_t MessageCount(const std::string& user) const;
  // The complete response to "RETR n" from a plain log-in of our own (for
  // comparing with what the client stored); empty on any failure.
  std::string RawRetr(const std::string& user, const std::string& password, int number) const;

 private:
  std::string Maildir(const std::string& user) const;

  TempFolder folder_;
  std::string root_;
  std::string config_;
  std::string dovecot_;  // the programs' full paths
  std::string doveadm_;
  std::string logFile_;
  TestCertificates certificates_;
  uint16_t pop3Port_ = 0;
  uint16_t pop3sPort_ = 0;
  bool ipv6_ = false;
  bool started_ = false;
  int masterPid_ = -1;
  bool ready_ = false;
  bool asRoot_ = false;
  std::string error_;
};

}  // namespace velnora::testing
