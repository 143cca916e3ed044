// One conversation with a mail server, POP3 or SMTP, plain or over TLS:
// opening, sending a command, receiving a reply or a chunk of data, closing,
// and the user-visible texts of socket errors. Nothing above this layer
// touches a socket.
//
// Every wait is bounded by the session's time-out and ends early when the
// worker is asked to stop (env.flags.stopRequested).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "config/account_settings.h"
#include "platform/net.h"
#include "transport/transport_env.h"

namespace velnora {

// Log tags: they only select how a send or receive appears in the session log.
inline constexpr int kTagNone = 0;      // not logged
inline constexpr int kTagSmtp = 1;
inline constexpr int kTagPop3 = 2;
inline constexpr int kTagClosing = 3;
inline constexpr int kTagPop3Pass = 4;  // logged as "PASS *****"
inline constexpr int kTagApop = 5;      // logged as "APOP ***** *****"

enum class SessionKind { Pop3, Smtp };

// The slowest transfer a session accepts. Every command (and the greeting)
// has an overall deadline: the time-out, plus the time its bytes take at
// this rate, for at most the bytes the command is expected to carry. A peer
// that answers one byte every few seconds never resets the time-out for
// ever; a large transfer at any real speed is never cut short.
inline constexpr int64_t kMinTransferBytesPerSec = 1024;
// Bytes a reply of one line (or of unknown size) may earn time for.
inline constexpr int64_t kReplyAllowanceBytes = 65536;

struct MailSession {
  platform::NetStream stream;  // socket and, when set up, its TLS connection
  int32_t nonBlocking = 0;     // 1: every receive waits for readability first
  int64_t timeoutMs = 60000;   // send/receive window, recomputed at every open
  int readWaitSec = 60;        // readability wait in non-blocking mode

  // The running command's deadline (StartCommandDeadline); 0: none runs.
  int64_t commandStartMs = 0;
  int64_t commandAllowanceBytes = 0;  // bytes that earn time, at most
  int64_t commandBytes = 0;           // bytes sent and received since the start
  int64_t commandReceivedBytes = 0;   // of which received

  int socket() const { return stream.handle(); }
  bool isOpen() const { return stream.isOpen(); }
};

// Resolves, connects and (with TLS) completes the handshake: true when
// connected; a failed open leaves the session closed. The caller reads the
// greeting.
bool ConnectSession(TransportEnv& env, const AccountSettings& account, MailSession& session,
                   SessionKind kind);

// Turns a connected plain session into a TLS one after the server accepted
// STARTTLS or STLS: the handshake of implicit TLS (SNI, TLS 1.2 or later,
// chain and host name unless tlsNoVerify). False, with an activity entry
// naming the host, when it fails; the session is then closed.
bool UpgradeSessionToTls(TransportEnv& env, const AccountSettings& account, MailSession& session,
                         SessionKind kind);

// Optional QUIT (one reply read, failures ignored), then shutdown and close.
void CloseSession(TransportEnv& env, MailSession& session, bool sendQuit,
                  const AccountSettings* account);

// Starts the overall deadline of a command or transfer now; it may earn
// time for up to `allowanceBytes` bytes at kMinTransferBytesPerSec.
void StartCommandDeadline(MailSession& session, int64_t allowanceBytes);
// Raises the running command's allowance (a transfer whose size is known
// once the command was sent).
void SetCommandAllowance(MailSession& session, int64_t allowanceBytes);
// Milliseconds left before the running command's deadline (it can be 0 or
// less); without a command, the time-out.
int64_t CommandTimeLeft(const MailSession& session);

// True when `line` is one command line: it ends with CR LF and holds no
// other CR, LF or NUL. Text from settings or a mail that would break out of
// its line never passes.
bool IsSingleCommandLine(std::string_view line);

// Sends one command line (IsSingleCommandLine) and starts its deadline with
// kReplyAllowanceBytes. A line that is not one is refused with an activity
// entry and nothing is sent. Bytes sent, or -1.
long SendCommandLine(TransportEnv& env, MailSession& session, std::string_view line, int tag,
                     const AccountSettings* account);

// Sends `data` whole (no check: message text after DATA, or a command line
// already checked). Bytes sent, or -1 after reporting the error.
long SendCommand(TransportEnv& env, MailSession& session, std::string_view data, int tag,
                 const AccountSettings* account);

// Receives one reply: chunks until the bytes received end with CR LF, the
// reply nears `capacity`, or the peer closes. NUL bytes become blanks.
// Returns the reply length, or -1 (also when the peer closed).
long recv_com(TransportEnv& env, MailSession& session, std::string& reply, std::size_t capacity,
              int tag, const AccountSettings* account);

// Receives one chunk of a data transfer into `chunk` (at most capacity - 2
// bytes). The count, 0 when the peer closed, or -1 after reporting the error.
long RecvChunk(TransportEnv& env, MailSession& session, std::string& chunk, std::size_t capacity,
               int tag, const AccountSettings* account);

// Waits until the session can be read (non-blocking mode). 1, or -1 after
// reporting a time-out or error.
int WaitReadable(TransportEnv& env, MailSession& session, const AccountSettings* account);

// Reports a socket error: an activity entry (none when the stop request
// caused it) and a session-log line.
void ReportSocketError(TransportEnv& env, int code, int tag, const AccountSettings* account);

// The activity text for a Windows Sockets error code; `tag` picks the
// protocol prefix ("POP3: " for 2, 4 and 5, else "SMTP: ").
std::string FormatSocketError(int code, int tag);

// Session-log prefix of a sent line / a received reply for a tag.
std::string_view SentPrefix(int tag);
std::string_view ReceivedPrefix(int tag);

// A configured delay: waits `ms`, ending early on a stop request. False when stopped.
bool SessionDelay(TransportEnv& env, int64_t ms);

}  // namespace velnora
