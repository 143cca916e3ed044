#include "transport/mail_session.h"

#include <algorithm>
#include <cstdio>

#include "platform/clock.h"
#include "platform/codepage.h"
#include "transport/account_session.h"
#include "transport/field_text.h"
#include "transport/pop3/pop3_parse.h"
#include "report/time_stamps.h"

namespace velnora {
namespace {

constexpr std::size_t kReplyReadSize = 1024;
// A reply stops growing once it holds more than capacity minus this.
constexpr std::size_t kReplyHeadroom = 8192;

const std::atomic<bool>* StopFlag(TransportEnv& env) { return &env.flags.stopRequested; }

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
        Category::ServerNotice, account);
  }
  SessionLog(env, "ERROR REPORT: COMMAND DEADLINE PASSED\r\n");
}

}  // namespace

void ReportSocketError(TransportEnv& env, int code, int tag, const AccountSettings* account) {
  const std::string text = FormatSocketError(code, tag);
  if (!StoppedByRequest(env, code)) env.log.AddActivity(text, Category::ServerNotice, account);
  SessionLog(env, "ERROR REPORT: " + text + "\r\n");
}

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

void CloseSession(TransportEnv& env, MailSession& session, bool sendQuit,
                  const AccountSettings* account) {
  if (sendQuit && session.isOpen()) {
    if (SendCommandLine(env, session, "QUIT\r\n", kTagClosing, nullptr) >= 0) {
      std::string reply;
      recv_com(env, session, reply, 4096 + kReplyHeadroom, kTagClosing, nullptr);
    }
    ShowAccountStatus(env, account, SJIS(u8" 終了中"), StatusIcon::Keep);
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
        Category::ServerNotice, account);
    const std::string_view verb = line.substr(0, std::min(line.find_first_of(" \r\n"), line.size()));
    SessionLog(env, "ERROR REPORT: command with a line break refused: " +
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
    SessionLog(env, line);
  }
  if (sent >= 0) return sent;
  if (DeadlinePassed(session)) {
    ReportDeadline(env, account);
  } else if (error == platform::wsa::kTimedOut) {
    env.log.AddActivity(SJIS(u8"受信タイムアウトが発生しました code=01"), Category::ServerNotice, account);
    SessionLog(env, "ERROR REPORT: WSAETIMEDOUT\r\n");
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
      env.log.AddActivity(SJIS(u8"受信タイムアウトが発生しました code=02"), Category::ServerNotice, account);
      SessionLog(env, "ERROR REPORT: select()=TIMEOUT\r\n");
      return -1;
    case platform::WaitResult::Stopped:
      SessionLog(env, "ERROR REPORT: select()=STOPPED\r\n");
      return -1;
    default:
      env.log.AddActivity(SJIS(u8"受信エラーが発生しました code=03"), Category::ServerNotice, account);
      SessionLog(env, "ERROR REPORT: select()=SOCKET_ERROR\r\n");
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
      SessionLog(env, "****: ERR recv=0 detected..(2): the connection has been gracefully closed.\r\n");
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
    SessionLog(env, std::string(ReceivedPrefix(tag)) + FormatClockTime() + "[<-]" + reply);
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
    SessionLog(env, std::string(ReceivedPrefix(tag)) + FormatClockTime() + "[<-]" + chunk);
  }
  return n;
}

}  // namespace velnora
