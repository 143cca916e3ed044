// A throw-away Postfix for tests of the sending side against a second real
// SMTP implementation, one that refuses bare LF line ends.
//
//   PostfixServer postfix({{"plain", "", false}, {"login", "login", false}},
//                         dovecot.saslSocket());
//   if (!PostfixServer::CanStart(why)) GTEST_SKIP() << why;
//   ASSERT_TRUE(postfix.ready()) << postfix.error();
//   ... SMTP on 127.0.0.1:postfix.port(0), AUTH LOGIN only on port(1) ...
//   postfix.Mails(1)   // what arrived through listener 1, once delivered
//
// Everything (main.cf, master.cf, queue, log, the delivered mail) lives in
// one temporary folder that goes with the object. The master runs in the
// foreground as a child of the test and ends with the object or with the
// test process. Postfix's master must start as root: CanStart says so.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/smtp_server.h"
#include "temp_folder.h"
#include "test_ca.h"

namespace velnora::testing {

struct PostfixListener {
  std::string name;       // marks the mail that came in through it
  std::string mechanism;  // the one SASL mechanism offered, "" for none (no AUTH)
  bool implicitTls = false;
};

class PostfixServer {
 public:
  // Whether this process can start Postfix; `why` says why not.
  static bool CanStart(std::string& why);

  // `saslSocket` is a Dovecot authentication socket ("" when no listener
  // offers AUTH); on a listener with a mechanism only authenticated clients
  // may send.
  PostfixServer(std::vector<PostfixListener> listeners, std::string saslSocket);
  ~PostfixServer();
  PostfixServer(const PostfixServer&) = delete;
  PostfixServer& operator=(const PostfixServer&) = delete;

  bool ready() const { return ready_; }
  const std::string& error() const { return error_; }
  uint16_t port(std::size_t listener) const { return ports_.at(listener); }
  std::string Log() const;
  // From now on mail whose "Subject:" is exactly `subject` is refused at the
  // end of DATA with "550 5.7.1 not here" ("" refuses nothing). False when
  // Postfix did not reload.
  bool RefuseSubject(const std::string& subject);

  // The mail delivered through `listener`, oldest first, as the client sent
  // it: the delivery headers Postfix adds are taken off and line ends are
  // CR LF again; the envelope comes from Return-Path and Delivered-To.
  // Delivery runs after the reply to DATA, so this first waits (bounded) until
  // no message is still on its way in the queue.
  std::vector<SinkMail> Mails(std::size_t listener) const;

 private:
  bool WriteConfig(const std::string& saslSocket);
  bool MakeQueue();
  bool WaitForQueue() const;

  TempFolder folder_;
  std::string root_;
  std::vector<PostfixListener> listeners_;
  std::vector<uint16_t> ports_;
  TestCertificates certificates_;
  int masterPid_ = -1;
  bool ready_ = false;
  std::string error_;
};

}  // namespace velnora::testing
