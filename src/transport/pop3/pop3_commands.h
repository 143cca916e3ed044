// One function per POP3 command on an open session. Unless said otherwise
// each returns 1 when the server answered "+OK", 0 when it answered
// anything else (`reply` then holds its words for the activity list), and
// -1 on a transfer failure (already reported by the session layer).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "config/account_settings.h"
#include "transport/mail_session.h"
#include "transport/transport_env.h"

namespace velnora {

inline constexpr std::size_t kPop3ReplyCapacity = 65536;
// The most messages one check works through, whatever STAT claims: far
// above the largest stored UIDL list (maxHeldMails), so that no-UIDL mode and
// keepForwardingOverLimit reach every real mailbox, and small enough that a
// count from a server never sizes anything by itself (memory follows the
// messages actually listed and fetched).
inline constexpr long kMaxMailboxMessages = 1000000;
inline constexpr std::size_t kRetrChunk = 65536;
// Bytes a UIDL listing may earn time for (see kMinTransferBytesPerSec): a
// line of up to 80 bytes for each of the largest stored list's 50,000 UIDLs.
inline constexpr int64_t kListingAllowanceBytes = 4 << 20;
// Bytes a RETR response of unknown size may earn time for.
inline constexpr int64_t kUnknownSizeAllowanceBytes = 64 << 20;

// "USER name"; the reply is stripped of a left-over line end.
int Pop3User(TransportEnv& env, MailSession& session, const AccountSettings& account,
             std::string& reply);
// "PASS secret", logged masked.
int Pop3Pass(TransportEnv& env, MailSession& session, const AccountSettings& account,
             std::string& reply);
// "APOP name digest" over the greeting's time stamp, logged masked.
int Pop3Apop(TransportEnv& env, MailSession& session, const AccountSettings& account,
             const std::string& greeting, std::string& reply);
// "STLS" (RFC 2595): 1 when the server answered one "+OK" line and nothing
// more, 0 for any other answer, -1 on a transfer failure.
int Pop3Stls(TransportEnv& env, MailSession& session, const AccountSettings& account,
             std::string& reply);
// "STAT"; 0 also when the count is not a number in range. `count` on 1.
int Pop3Stat(TransportEnv& env, MailSession& session, const AccountSettings& account,
             std::string& reply, long& count);
// "LIST n" (the size is not used).
int Pop3List(TransportEnv& env, MailSession& session, const AccountSettings& account, int number,
             std::string& reply);
// "DELE n".
int Pop3Dele(TransportEnv& env, MailSession& session, const AccountSettings& account, int number,
             std::string& reply);
// "UIDL": `firstBlock` receives the first block of the listing (status line
// included), read with `tag` and `capacity`.
int Pop3Uidl(TransportEnv& env, MailSession& session, const AccountSettings& account, int tag,
             std::size_t capacity, std::string& firstBlock);

struct RetrResult {
  long bytes = 0;                 // bytes of the response written to the file
  const char* stateName = "";     // terminator state for the session log
  std::string refusal;            // the server's status line when it refused
  bool fileFailed = false;        // the received file could not be created or written
};

// "RETR n" into the file at `path`: the response bytes exactly as received
// (status line, message, terminating "."), NUL bytes as blanks. 1 complete;
// 0 the server refused; -1 transfer failure, the peer closed mid-message,
// the file could not be written, or the response's deadline passed: the
// time-out plus `listedSize` (the size from LIST, -1 unknown) at the
// slowest accepted rate. The file exists only after 1.
// `progress(bytes)` runs after every chunk.
int Pop3Retr(TransportEnv& env, MailSession& session, const AccountSettings& account, int number,
             long listedSize, const std::string& path, const std::function<void(long)>& progress,
             RetrResult& result);

}  // namespace velnora
