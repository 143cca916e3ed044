// Opening a session: resolve the host, open the socket (and the TLS
// resources), connect, complete the TLS handshake. POP3 and SMTP differ only
// in the texts and settings of their row in kKinds. A host with several
// addresses (IPv6 and IPv4) is tried address by address, the connect
// time-out shared among them.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/clock.h"

#include "platform/codepage.h"
#include "report/time_stamps.h"
#include "transport/account_session.h"
#include "transport/field_text.h"
#include "transport/mail_session.h"

namespace velnora {
namespace {

struct KindTraits {
  const char* logPrefix;      // "POP3: " / "SMTP: "
  const char* operation;      // "OpenRcvSession" / "OpenSendSession"
  const char* errorLineEnd;   // POP3 errors end in CR LF, SMTP ones in LF
  const char* socketError;    // the status after a failed socket()
  const std::string& (*connecting)();  // the status while connecting
  int tag;
  bool logsSocketSetup;       // SMTP notes its time-out and service look-up
};

constexpr KindTraits kPop3Traits{"POP3: ", "OpenRcvSession", "\r\n", ":socket",
                                 []() -> const std::string& { return SJIS(u8" 接続中.."); },
                                 kTagPop3, false};
constexpr KindTraits kSmtpTraits{"SMTP: ", "OpenSendSession", "\n", ":socket:",
                                 []() -> const std::string& { return SJIS(u8" 接続中"); },
                                 kTagSmtp, true};

struct Endpoint {
  std::string host;
  uint16_t port = 0;
  bool tls = false;
};

Endpoint EndpointOf(const AccountSettings& account, SessionKind kind) {
  if (kind == SessionKind::Pop3) {
    return {platform::WithoutBrackets(FieldText(account.popServer)), uint16_t(account.popPort),
            account.popSsl != 0};
  }
  return {platform::WithoutBrackets(FieldText(account.smtpServer)), uint16_t(account.smtpPort),
          account.smtpSsl != 0};
}

class Connector {
 public:
  Connector(TransportEnv& env, const AccountSettings& account, MailSession& session, SessionKind kind)
      : env_(env), account_(account), session_(session),
        traits_(kind == SessionKind::Pop3 ? kPop3Traits : kSmtpTraits),
        endpoint_(EndpointOf(account, kind)) {}

  bool Run() {
    Reset();
    ShowAccountStatus(env_, &account_, traits_.connecting(), StatusIcon::Connecting);
    std::vector<platform::HostAddress> addresses;
    if (!Resolve(addresses) || !ConnectAny(addresses)) return false;
    if (endpoint_.tls && !Handshake()) return false;
    StartCommandDeadline(session_, kReplyAllowanceBytes);  // for the greeting
    return true;
  }

  // The same verified handshake as implicit TLS, on the connected socket.
  bool Upgrade() { return CreateTls() && Handshake(); }

 private:
  void Reset() {
    session_.stream.Close();
    session_.nonBlocking = 0;
    session_.commandStartMs = 0;
    const CommonSettings& common = env_.common;
    session_.timeoutMs = common.customTimeout ? int64_t(common.timeoutSec) * 1000 : 60000;
    if (session_.timeoutMs < 0) session_.timeoutMs = 0;
    session_.readWaitSec =
        common.customTimeout ? (common.timeoutSec <= 0 ? 3600 : common.timeoutSec) : 60;
  }

  void Log(std::string_view text) { SessionLog(env_, text); }
  std::string Prefixed(std::string_view text) const { return traits_.logPrefix + std::string(text); }
  const std::atomic<bool>* StopFlag() { return &env_.flags.stopRequested; }

  bool Fail(const std::string& status, const std::string& logLine) {
    env_.log.SetStatus(status, StatusIcon::Error);
    Log(logLine);
    session_.stream.Close();
    return false;
  }

  bool Resolve(std::vector<platform::HostAddress>& addresses) {
    Log(Prefixed("gethostbyname.. : ") + endpoint_.host + "\r\n");
    if (platform::ResolveHost(endpoint_.host, addresses, session_.timeoutMs, StopFlag()) == 0) return true;
    const std::string text = "Error:" + std::string(traits_.operation) + ":gethostbyname:";
    return Fail(text, text + traits_.errorLineEnd);
  }

  // Each address in turn with its share of the time left: the last one
  // gets all of it, so a single address keeps the whole time-out.
  bool ConnectAny(const std::vector<platform::HostAddress>& addresses) {
    const int64_t end = platform::TickMs() + session_.timeoutMs;
    for (std::size_t i = 0; i < addresses.size(); ++i) {
      const bool last = i + 1 == addresses.size();
      const int64_t left = std::max<int64_t>(end - platform::TickMs(), 1);
      const int64_t share = last ? left : left / int64_t(addresses.size() - i);
      if (addresses.size() > 1) Log(Prefixed("trying ") + addresses[i].Text() + "\r\n");
      if (!OpenSocket(addresses[i].ipv6)) return false;
      const Attempt attempt = Connect(addresses[i], share, last);
      if (attempt == Attempt::Connected) return true;
      if (attempt == Attempt::GaveUp) return false;
      session_.stream.Close();
    }
    return false;
  }

  // The socket, its time-outs and, with TLS, the TLS resources.
  bool OpenSocket(bool ipv6) {
    Log(Prefixed("opening socket.."));
    const int socketError = session_.stream.OpenSocket(ipv6);
    char number[64];
    std::snprintf(number, sizeof number, "socket=%d\r\n", session_.stream.handle());
    Log(number);
    if (socketError != 0) {
      const std::string text = "Error:" + std::string(traits_.operation) + traits_.socketError;
      return Fail(text, text + traits_.errorLineEnd);
    }
    if (traits_.logsSocketSetup) Log("SMTP: setting timeout..\r\n");
    session_.stream.SetTimeouts(session_.timeoutMs);
    if (traits_.logsSocketSetup) Log("SMTP: getservbyname..\r\n");
    return !endpoint_.tls || CreateTls();
  }

  bool CreateTls() {
    char number[64];
    const int step = session_.stream.CreateTls(endpoint_.host, account_.tlsNoVerify == 0);
    if (step == 0) return true;
    std::snprintf(number, sizeof number, "Error:Cannot create SSL resources(code=%d).", step);
    return Fail(number, std::string(number) + "\r\n");
  }

  enum class Attempt { Connected, TryNext, GaveUp };

  Attempt Connect(const platform::HostAddress& address, int64_t timeoutMs, bool last) {
    Log(Prefixed("connecting session.. : "));
    const uint16_t port = endpoint_.port;
    char number[64];
    // The port as it sits in the address structure (network byte order).
    std::snprintf(number, sizeof number, "port=%x\r\n", unsigned(((port & 0xFF) << 8) | (port >> 8)));
    Log(number);
    const bool blocking = endpoint_.tls || !account_.nonBlocking;
    session_.nonBlocking = blocking ? 0 : 1;
    Log(blocking ? "[Blk-Mode]" : "[Non-Blk-Mode]");
    const int rc = session_.stream.Connect(address, port, timeoutMs, StopFlag(), [&] {
      if (!blocking) Log("#");
    });
    if (rc == 0) {
      Log("\r\n");
      Log(Prefixed("receiving response of connect..\r\n"));
      return Attempt::Connected;
    }
    if (!last && rc != platform::wsa::kInterrupted) {
      Log("\r\n" + Prefixed("no connection to ") + address.Text() + " (" + std::to_string(rc) + ")\r\n");
      return Attempt::TryNext;
    }
    blocking ? ReportBlockingFailure() : ReportNonBlockingFailure(rc);
    return Attempt::GaveUp;
  }

  std::string ConnectError() const { return "Error:" + std::string(traits_.operation) + ":connect"; }

  void ReportBlockingFailure() {
    env_.log.SetStatus(ConnectError(), StatusIcon::Error);
    Log("SMTP:shutdown & closesocket.. [Error:" + std::string(traits_.operation) + "]\r\n");
    session_.stream.Close();
    Log(ConnectError() + "\r\n");
  }

  void ReportNonBlockingFailure(int rc) {
    if (rc == platform::wsa::kTimedOut) {
      Log("<timeout>\r\n");
      env_.log.AddActivity(SJIS(u8"受信タイムアウト: connect できませんでした。"),
                           Category::ServerNotice, &account_);
      session_.stream.Close();
      return;
    }
    // Reported here rather than at the first receive: the user sees the
    // same socket error text, and no greeting is awaited in vain.
    ReportSocketError(env_, rc, traits_.tag, &account_);
    env_.log.SetStatus(ConnectError(), StatusIcon::Error);
    session_.stream.Close();
    Log(ConnectError() + "\r\n");
  }

  bool Handshake() {
    std::string reason;
    if (session_.stream.Handshake(session_.timeoutMs, StopFlag(), reason) == 0) return true;
    env_.log.SetStatus("Error:SSL_connect", StatusIcon::Error);
    if (!env_.flags.ShouldStop()) {
      env_.log.AddActivity(SJIS(u8"SSL/TLS接続を確立できませんでした") + " [" + endpoint_.host +
                               "] " + reason,
                           Category::ServerNotice, &account_);
    }
    Log("****:" + FormatClockTime() + "Error:SSL_connect [" + endpoint_.host + "] " + reason + "\r\n");
    session_.stream.Close();
    return false;
  }

  TransportEnv& env_;
  const AccountSettings& account_;
  MailSession& session_;
  const KindTraits& traits_;
  Endpoint endpoint_;
};

}  // namespace

bool ConnectSession(TransportEnv& env, const AccountSettings& account, MailSession& session,
                    SessionKind kind) {
  return Connector(env, account, session, kind).Run();
}

bool UpgradeSessionToTls(TransportEnv& env, const AccountSettings& account, MailSession& session,
                         SessionKind kind) {
  if (Connector(env, account, session, kind).Upgrade()) return true;
  session.stream.Close();
  return false;
}

}  // namespace velnora
