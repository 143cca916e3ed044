#include "support/smtp_peer.h"

#include "support/postfix_server.h"
#include "support/temp_folder.h"

namespace velnora::testing {
namespace {

// One aiosmtpd sink per route, each offering only the route's mechanism.
class AiosmtpdPeer : public SmtpPeer {
 public:
  explicit AiosmtpdPeer(const std::vector<SmtpPeerRoute>& routes) {
    for (const SmtpPeerRoute& route : routes) {
      SmtpSinkOptions options;
      options.user = route.user;
      options.password = route.password;
      if (!route.mechanism.empty()) options.auth = route.mechanism;
      folders_.push_back(std::make_unique<TempFolder>());
      sinks_.push_back(std::make_unique<SmtpSink>(folders_.back()->path(), options));
      tls_.push_back(route.implicitTls);
    }
  }
  bool ready() const override {
    for (const auto& sink : sinks_) {
      if (!sink->ready()) return false;
    }
    return true;
  }
  std::string error() const override { return "an aiosmtpd sink did not start"; }
  uint16_t port(std::size_t route) const override {
    return tls_.at(route) ? sinks_.at(route)->tlsPort() : sinks_.at(route)->plainPort();
  }
  std::vector<SinkMail> Mails(std::size_t route) const override { return sinks_.at(route)->Mails(); }
  // The sink has no filter of its own: it refuses every message.
  bool RefuseSubject(const std::string& subject) override {
    for (const auto& sink : sinks_) {
      sink->SetControl(subject.empty() ? "{}" : R"({"refuse": {"MESSAGE": "554 5.7.1 not here"}})");
    }
    return true;
  }

 private:
  std::vector<std::unique_ptr<TempFolder>> folders_;  // outlive the sinks
  std::vector<std::unique_ptr<SmtpSink>> sinks_;
  std::vector<bool> tls_;
};

class PostfixPeer : public SmtpPeer {
 public:
  PostfixPeer(const std::vector<SmtpPeerRoute>& routes, const std::string& saslSocket) {
    if (!PostfixServer::CanStart(skip_)) return;
    std::vector<PostfixListener> listeners;
    for (const SmtpPeerRoute& route : routes) listeners.push_back({route.name, route.mechanism, route.implicitTls});
    server_ = std::make_unique<PostfixServer>(listeners, saslSocket);
  }
  std::string skipReason() const override { return skip_; }
  bool ready() const override { return server_ && server_->ready(); }
  std::string error() const override { return server_ ? server_->error() : skip_; }
  std::string Log() const override { return server_ ? server_->Log() : std::string(); }
  uint16_t port(std::size_t route) const override { return server_->port(route); }
  std::vector<SinkMail> Mails(std::size_t route) const override { return server_->Mails(route); }
  bool RefuseSubject(const std::string& subject) override { return server_->RefuseSubject(subject); }

 private:
  std::string skip_;
  std::unique_ptr<PostfixServer> server_;
};

}  // namespace

const char* SmtpPeerName(SmtpPeerKind kind) { return kind == SmtpPeerKind::kPostfix ? "Postfix" : "aiosmtpd"; }

std::unique_ptr<SmtpPeer> MakeSmtpPeer(SmtpPeerKind kind, std::vector<SmtpPeerRoute> routes,
                                       std::string saslSocket) {
  if (kind == SmtpPeerKind::kPostfix) return std::make_unique<PostfixPeer>(routes, saslSocket);
  return std::make_unique<AiosmtpdPeer>(routes);
}

}  // namespace velnora::testing
