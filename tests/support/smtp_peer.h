// The SMTP server that forwarding tests send to, one of two real
// implementations: aiosmtpd (one sink per route) or Postfix (one server with
// a listener per route, authenticating through Dovecot). A test written
// against SmtpPeer runs unchanged through both.
//
//   auto peer = MakeSmtpPeer(GetParam(), routes, dovecot.saslSocket());
//   if (!peer->skipReason().empty()) GTEST_SKIP() << peer->skipReason();
//   ... send through 127.0.0.1:peer->port(i) ...
//   peer->Mails(i)   // what arrived through route i, once delivered
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "support/smtp_server.h"

namespace velnora::testing {

enum class SmtpPeerKind { kAiosmtpd, kPostfix };

// "aiosmtpd" / "Postfix", for test names.
const char* SmtpPeerName(SmtpPeerKind kind);

struct SmtpPeerRoute {
  std::string name;
  std::string mechanism;  // the SASL mechanism offered, "" for none
  std::string user;       // the SMTP log-in (with a mechanism)
  std::string password;
  bool implicitTls = false;
};

class SmtpPeer {
 public:
  virtual ~SmtpPeer() = default;
  // Why this peer cannot run here ("" when it can): the test is skipped.
  virtual std::string skipReason() const { return {}; }
  virtual bool ready() const = 0;
  virtual std::string error() const = 0;
  // The server's log, for failure messages ("" when it keeps none).
  virtual std::string Log() const { return {}; }
  virtual uint16_t port(std::size_t route) const = 0;
  // Mail that arrived through `route`, oldest first, as the client sent it.
  virtual std::vector<SinkMail> Mails(std::size_t route) const = 0;
  // From now on mail with this subject is refused for good at the end of
  // DATA (aiosmtpd refuses every message); "" accepts everything again.
  virtual bool RefuseSubject(const std::string& subject) = 0;
};

// For Postfix the routes' log-ins must be users of the Dovecot whose
// authentication socket `saslSocket` is.
std::unique_ptr<SmtpPeer> MakeSmtpPeer(SmtpPeerKind kind, std::vector<SmtpPeerRoute> routes,
                                       std::string saslSocket);

}  // namespace velnora::testing
