#include "transport/mail_session.h"

#include <algorithm>
#include <cstdio>

#include "platform/clock.h"
#include "platform/codepage.h"
#include "transport/field_text.h"
#include "transport/pop3/pop3_parse.h"
#include "report/time_stamps.h"

namespace velnora {
namespace {

constexpr std::size_t kReplyReadSize = 1024;
// A reply stops growing once it holds more than capacity minus this.
constexpr std::size_t kReplyHeadroom = 8192;

const std::atomic<bool>* StopFlag(TransportEnv& env) { return &env.flags.stopRequested; }

void Log(TransportEnv& env, std::string_view text) {
  if (env.common.sessionLog) env.log.WriteSessionLog(text);
}

std::string AccountName(const AccountSettings* account) {
  return account ? std::string(FieldText(account->accountName)) : std::string();
}

std::string Bracketed(const AccountSettings* account, std::string_view text) {
  return "[" + AccountName(account) + "]" + std::string(text);
}

void ReplaceNuls(char* data, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    if (data[i] == '\0') data[i] = ' ';
  }
}

// A failure while the worker is being stopped is the stop, not a fault of
// the server: it goes to the session log only.
bool StoppedByRequest(TransportEnv& env, int code) {
  return code == platform::wsa::kInterrupted && env.flags.ShouldStop();
}

void ReportSocketError(TransportEnv& env, int code, int tag, const AccountSettings* account) {
  const std::string text = FormatSocketError(code, tag);
  if (!StoppedByRequest(env, code)) env.log.AddActivity(text, 4, account);
  Log(env, "ERROR REPORT: " + text + "\r\n");
}

int64_t EffectiveTimeout(const MailSession& session) {
  return session.timeoutMs > 0 ? session.timeoutMs : platform::kLongestWaitMs;
}

// The wait for one socket operation: the time-out, cut to what is left of
// the running command's deadline. 0 or less once that has passed.
int64_t WaitLimit(const MailSession& session, int64_t timeoutMs) {
  return std::min(timeoutMs, CommandTimeLeft(session));
}

// The overall deadline, not the time-out, ended the wait: it has passed
// while the peer was sending (a silent peer gets the ordinary time-out).
bool DeadlinePassed(const MailSession& session) {
  return CommandTimeLeft(session) <= 0 && session.commandReceivedBytes > 0;
}

void ReportDeadline(TransportEnv& env, const AccountSettings* account) {
  if (!env.flags.ShouldStop()) {
    env.log.AddActivity(
        SJIS(u8"受信タイムアウトが発生しました code=04（サーバーの応答が遅すぎるため打ち切りました）"),
        4, account);
  }
  Log(env, "ERROR REPORT: COMMAND DEADLINE PASSED\r\n");
}

struct KindTexts {
  const char* logPrefix;        // "POP3: " / "SMTP: "
  const char* operation;        // "OpenRcvSession" / "OpenSendSession"
  const char* errorLineEnd;     // POP3 errors end in CR LF, SMTP ones in LF
};

KindTexts TextsFor(SessionKind kind) {
  return kind == SessionKind::Pop3 ? KindTexts{"POP3: ", "OpenRcvSession", "\r\n"}
                                   : KindTexts{"SMTP: ", "OpenSendSession", "\n"};
}

}  // namespace

void StartCommandDeadline(MailSession& session, int64_t allowanceBytes) {
  session.commandStartMs = platform::TickMs();
  session.commandAllowanceBytes = allowanceBytes;
  session.commandBytes = 0;
  session.commandReceivedBytes = 0;
}

void SetCommandAllowance(MailSession& session, int64_t allowanceBytes) {
  session.commandAllowanceBytes = std::max(session.commandAllowanceBytes, allowanceBytes);
}

int64_t CommandTimeLeft(const MailSession& session) {
  const int64_t timeout = EffectiveTimeout(session);
  if (session.commandStartMs == 0) return timeout;
  const int64_t earned = std::min(session.commandBytes, session.commandAllowanceBytes) * 1000 /
                         kMinTransferBytesPerSec;
  return session.commandStartMs + timeout + earned - platform::TickMs();
}

std::string_view SentPrefix(int tag) {
  switch (tag) {
    case kTagSmtp: return "SMTP:";
    case kTagPop3:
    case kTagPop3Pass: return "POP3:";
    case kTagApop: return "APOP:";
    default: return "****:";
  }
}

std::string_view ReceivedPrefix(int tag) {
  switch (tag) {
    case kTagSmtp: return "SMTP:";
    case kTagPop3: return "POP3:";
    case kTagApop: return "APOP:";
    default: return "****:";
  }
}

bool SessionDelay(TransportEnv& env, int64_t ms) {
  return platform::SleepMs(ms, StopFlag(env));
}

int ConnectSession(TransportEnv& env, const AccountSettings& account, MailSession& session,
                   SessionKind kind) {
  const bool pop3 = kind == SessionKind::Pop3;
  const KindTexts texts = TextsFor(kind);
  const std::string host(pop3 ? FieldText(account.popServer) : FieldText(account.smtpServer));
  const int rawPort = pop3 ? account.popPort : account.smtpPort;
  const uint16_t port = uint16_t(rawPort);
  const bool tls = pop3 ? account.popSsl != 0 : account.smtpSsl != 0;
  const int tag = pop3 ? kTagPop3 : kTagSmtp;

  session.stream.Close();
  session.nonBlocking = 0;
  session.commandStartMs = 0;
  const CommonSettings& common = env.common;
  session.timeoutMs = common.customTimeout ? int64_t(common.timeoutSec) * 1000 : 60000;
  if (session.timeoutMs < 0) session.timeoutMs = 0;
  session.readWaitSec = common.customTimeout ? (common.timeoutSec <= 0 ? 3600 : common.timeoutSec)
                                             : 60;

  env.log.SetStatus(Bracketed(&account, pop3 ? SJIS(u8" 接続中..") : SJIS(u8" 接続中")), 6);

  const std::string operation = texts.operation;
  auto fail = [&](const std::string& status, const std::string& logLine) {
    env.log.SetStatus(status, 5);
    Log(env, logLine);
    session.stream.Close();
    return -1;
  };

  Log(env, std::string(texts.logPrefix) + "gethostbyname.. : " + host + "\r\n");
  uint32_t address = 0;
  if (platform::ResolveIPv4(host, address, session.timeoutMs, StopFlag(env)) != 0) {
    const std::string text = "Error:" + operation + ":gethostbyname:";
    return fail(text, text + texts.errorLineEnd);
  }

  Log(env, std::string(texts.logPrefix) + "opening socket..");
  const int socketError = session.stream.OpenSocket();
  char number[64];
  std::snprintf(number, sizeof number, "socket=%d\r\n", session.stream.handle());
  Log(env, number);
  if (socketError != 0) {
    const std::string text = "Error:" + operation + (pop3 ? ":socket" : ":socket:");
    return fail(text, text + texts.errorLineEnd);
  }

  if (!pop3) Log(env, "SMTP: setting timeout..\r\n");
  session.stream.SetTimeouts(session.timeoutMs);
  if (!pop3) Log(env, "SMTP: getservbyname..\r\n");

  if (tls) {
    const int step = session.stream.CreateTls(host, account.tlsNoVerify == 0);
    if (step != 0) {
      std::snprintf(number, sizeof number, "Error:Cannot create SSL resources(code=%d).", step);
      return fail(number, std::string(number) + "\r\n");
    }
  }

  Log(env, std::string(texts.logPrefix) + "connecting session.. : ");
  // The port as it sits in the address structure (network byte order).
  std::snprintf(number, sizeof number, "port=%x\r\n", unsigned(((port & 0xFF) << 8) | (port >> 8)));
  Log(env, number);

  const std::string connectError = "Error:" + operation + ":connect";
  if (tls || !account.nonBlocking) {
    session.nonBlocking = 0;
    Log(env, "[Blk-Mode]");
    const int rc = session.stream.Connect(address, port, session.timeoutMs, StopFlag(env));
    if (rc != 0) {
      env.log.SetStatus(connectError, 5);
      Log(env, "SMTP:shutdown & closesocket.. [Error:" + operation + "]\r\n");
      session.stream.Close();
      Log(env, connectError + "\r\n");
      return -1;
    }
  } else {
    session.nonBlocking = 1;
    Log(env, "[Non-Blk-Mode]");
    const int rc = session.stream.Connect(address, port, session.timeoutMs, StopFlag(env),
                                          [&] { Log(env, "#"); });
    if (rc == platform::wsa::kTimedOut) {
      Log(env, "<timeout>\r\n");
      env.log.AddActivity(SJIS(u8"受信タイムアウト: connect できませんでした。"), 4, &account);
      session.stream.Close();
      return -1;
    }
    if (rc != 0) {
      // Reported here rather than at the first receive: the user sees the
      // same socket error text, and no greeting is awaited in vain.
      ReportSocketError(env, rc, tag, &account);
      env.log.SetStatus(connectError, 5);
      session.stream.Close();
      Log(env, connectError + "\r\n");
      return -1;
    }
  }

  Log(env, "\r\n");
  Log(env, std::string(texts.logPrefix) + "receiving response of connect..\r\n");

  if (tls) {
    std::string reason;
    if (session.stream.Handshake(session.timeoutMs, StopFlag(env), reason) != 0) {
      env.log.SetStatus("Error:SSL_connect", 5);
      if (!env.flags.ShouldStop()) {
        const std::string text = SJIS(u8"SSL/TLS接続を確立できませんでした") + " [" + host +
                                 "] " + reason;
        env.log.AddActivity(text, 4, &account);
      }
      Log(env, "****:" + FormatClockTime() + "Error:SSL_connect [" + host + "] " + reason +
                   "\r\n");
      session.stream.Close();
      return -1;
    }
  }
  StartCommandDeadline(session, kReplyAllowanceBytes);  // for the greeting
  return 0;
}

void CloseSession(TransportEnv& env, MailSession& session, bool sendQuit,
                  const AccountSettings* account) {
  if (sendQuit && session.isOpen()) {
    if (SendCommandLine(env, session, "QUIT\r\n", kTagClosing, nullptr) >= 0) {
      std::string reply;
      recv_com(env, session, reply, 4096 + kReplyHeadroom, kTagClosing, nullptr);
    }
    env.log.SetStatus(Bracketed(account, SJIS(u8" 終了中")), 99);
  }
  session.stream.Close();
}

bool IsSingleCommandLine(std::string_view line) {
  if (!line.ends_with("\r\n")) return false;
  return line.substr(0, line.size() - 2).find_first_of(std::string_view("\r\n\0", 3)) ==
         std::string_view::npos;
}

long SendCommandLine(TransportEnv& env, MailSession& session, std::string_view line, int tag,
                     const AccountSettings* account) {
  if (!IsSingleCommandLine(line)) {
    // The line came from settings or a mail; sent, its line break would
    // start a command of its own. Its text is not logged: it may be a password.
    env.log.AddActivity(
        SJIS(u8"送信するコマンドに改行などの制御文字が含まれているため、送信しませんでした。"
             u8"アカウントの設定を確認して下さい。"),
        4, account);
    const std::string_view verb = line.substr(0, std::min(line.find_first_of(" \r\n"), line.size()));
    Log(env, "ERROR REPORT: command with a line break refused: " +
                 std::string(verb.substr(0, std::min<std::size_t>(verb.size(), 8))) + "\r\n");
    return -1;
  }
  StartCommandDeadline(session, kReplyAllowanceBytes);
  return SendCommand(env, session, line, tag, account);
}

long SendCommand(TransportEnv& env, MailSession& session, std::string_view data, int tag,
                 const AccountSettings* account) {
  const std::string stamp = FormatClockTime();
  int error = 0;
  const int64_t limit = WaitLimit(session, EffectiveTimeout(session));
  const long sent = limit <= 0 ? -1
                               : session.stream.Send(data.data(), data.size(), limit,
                                                     StopFlag(env), error);
  if (sent > 0) session.commandBytes += sent;
  if (tag != kTagNone) {
    std::string line(SentPrefix(tag));
    line += stamp;
    line += "[->]";
    if (tag == kTagPop3Pass) {
      line += "PASS *****\r\n";
    } else if (tag == kTagApop) {
      line += "APOP ***** *****\r\n";
    } else {
      line += data;
    }
    Log(env, line);
  }
  if (sent >= 0) return sent;
  if (DeadlinePassed(session)) {
    ReportDeadline(env, account);
  } else if (error == platform::wsa::kTimedOut) {
    env.log.AddActivity(SJIS(u8"受信タイムアウトが発生しました code=01"), 4, account);
    Log(env, "ERROR REPORT: WSAETIMEDOUT\r\n");
  } else {
    ReportSocketError(env, error, tag, account);
  }
  return -1;
}

int WaitReadable(TransportEnv& env, MailSession& session, const AccountSettings* account) {
  const int64_t limit = WaitLimit(session, int64_t(session.readWaitSec) * 1000);
  const auto result = limit <= 0 ? platform::WaitResult::TimedOut
                                 : session.stream.WaitReadable(limit, StopFlag(env));
  switch (result) {
    case platform::WaitResult::Ready: return 1;
    case platform::WaitResult::TimedOut:
      if (DeadlinePassed(session)) {
        ReportDeadline(env, account);
        return -1;
      }
      env.log.AddActivity(SJIS(u8"受信タイムアウトが発生しました code=02"), 4, account);
      Log(env, "ERROR REPORT: select()=TIMEOUT\r\n");
      return -1;
    case platform::WaitResult::Stopped:
      Log(env, "ERROR REPORT: select()=STOPPED\r\n");
      return -1;
    default:
      env.log.AddActivity(SJIS(u8"受信エラーが発生しました code=03"), 4, account);
      Log(env, "ERROR REPORT: select()=SOCKET_ERROR\r\n");
      return -1;
  }
}

long recv_com(TransportEnv& env, MailSession& session, std::string& reply, std::size_t capacity,
              int tag, const AccountSettings* account) {
  reply.clear();
  const std::size_t limit = capacity > kReplyHeadroom ? capacity - kReplyHeadroom : 0;
  bool closed = false;
  bool failed = false;
  int error = 0;
  char chunk[kReplyReadSize];
  ReplyEndTracker end;
  std::size_t lastLength = reply.size();
  for (;;) {
    if (session.nonBlocking && WaitReadable(env, session, account) < 0) return -1;
    const std::size_t before = reply.size();
    const int64_t waitMs = WaitLimit(session, EffectiveTimeout(session));
    const long n =
        waitMs <= 0 ? -1 : session.stream.Recv(chunk, sizeof chunk, waitMs, StopFlag(env), error);
    if (n < 0) {
      failed = true;
      break;
    }
    session.commandBytes += n;
    session.commandReceivedBytes += n;
    if (n == 0) {
      closed = true;
      Log(env, "****: ERR recv=0 detected..(2): the connection has been gracefully closed.\r\n");
      break;
    }
    ReplaceNuls(chunk, std::size_t(n));
    reply.append(chunk, std::size_t(n));
    lastLength = reply.size();
    end.Feed(std::string_view(chunk, std::size_t(n)));
    if (end.complete()) break;
    if (before > limit) break;
  }
  if (tag != kTagNone) {
    Log(env, std::string(ReceivedPrefix(tag)) + FormatClockTime() + "[<-]" + reply);
  }
  if (failed) {
    if (DeadlinePassed(session)) {
      ReportDeadline(env, account);
    } else {
      ReportSocketError(env, error, tag, account);
    }
    return -1;
  }
  if (closed || lastLength == 0) return -1;
  return long(reply.size());
}

long RecvChunk(TransportEnv& env, MailSession& session, std::string& chunk, std::size_t capacity,
               int tag, const AccountSettings* account) {
  chunk.clear();
  if (capacity <= 2) return -1;
  if (session.nonBlocking && WaitReadable(env, session, account) < 0) return -1;
  chunk.resize(capacity - 2);
  int error = 0;
  const int64_t limit = WaitLimit(session, EffectiveTimeout(session));
  const long n = limit <= 0 ? -1
                            : session.stream.Recv(chunk.data(), chunk.size(), limit,
                                                  StopFlag(env), error);
  chunk.resize(n > 0 ? std::size_t(n) : 0);
  if (n < 0) {
    if (DeadlinePassed(session)) {
      ReportDeadline(env, account);
    } else {
      ReportSocketError(env, error, tag, account);
    }
    return -1;
  }
  session.commandBytes += n;
  session.commandReceivedBytes += n;
  ReplaceNuls(chunk.data(), chunk.size());
  if (tag != kTagNone && n > 0) {
    Log(env, std::string(ReceivedPrefix(tag)) + FormatClockTime() + "[<-]" + chunk);
  }
  return n;
}

}  // namespace velnora
