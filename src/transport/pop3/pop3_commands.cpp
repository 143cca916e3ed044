#include "transport/pop3/pop3_commands.h"

#include <cstdio>

#include "platform/codepage.h"
#include "platform/files.h"
#include "transport/account_session.h"
#include "transport/field_text.h"
#include "transport/md5.h"
#include "transport/pop3/pop3_parse.h"

namespace velnora {
namespace {

// One command and its one-line reply.
int Exchange(TransportEnv& env, MailSession& session, const AccountSettings& account,
             std::string_view command, int tag, std::string& reply, bool strip) {
  if (SendCommandLine(env, session, command, tag, &account) < 0) return -1;
  if (recv_com(env, session, reply, kPop3ReplyCapacity, tag, &account) < 0) return -1;
  if (strip) reply = std::string(StripLeadingLineEnds(reply));
  return StartsWithOk(reply) ? 1 : 0;
}

std::string Numbered(const char* command, int number) {
  char text[48];
  std::snprintf(text, sizeof text, "%s %d\r\n", command, number);
  return text;
}

}  // namespace

int Pop3User(TransportEnv& env, MailSession& session, const AccountSettings& account,
             std::string& reply) {
  const std::string command = "USER " + std::string(FieldText(account.popUser)) + "\r\n";
  return Exchange(env, session, account, command, kTagPop3, reply, true);
}

int Pop3Pass(TransportEnv& env, MailSession& session, const AccountSettings& account,
             std::string& reply) {
  const std::string command = "PASS " + std::string(FieldText(account.popPassword)) + "\r\n";
  return Exchange(env, session, account, command, kTagPop3Pass, reply, false);
}

int Pop3Apop(TransportEnv& env, MailSession& session, const AccountSettings& account,
             const std::string& greeting, std::string& reply) {
  std::string digest;
  Md5Hex(ApopTimestamp(greeting) + std::string(FieldText(account.popPassword)), digest);
  const std::string command =
      "APOP " + std::string(FieldText(account.popUser)) + " " + digest + "\r\n";
  return Exchange(env, session, account, command, kTagApop, reply, false);
}

int Pop3Stls(TransportEnv& env, MailSession& session, const AccountSettings& account,
             std::string& reply) {
  const int rc = Exchange(env, session, account, "STLS\r\n", kTagPop3, reply, false);
  // Bytes after the one line may be an attacker's, injected before the
  // handshake: they are never read as replies.
  if (rc == 1 && reply.find("\r\n") + 2 != reply.size()) return 0;
  return rc;
}

int Pop3Stat(TransportEnv& env, MailSession& session, const AccountSettings& account,
             std::string& reply, long& count) {
  const int rc = Exchange(env, session, account, "STAT\r\n", kTagPop3, reply, true);
  if (rc != 1) return rc;
  const auto parsed = ParseStatCount(reply);
  if (!parsed) return 0;
  count = *parsed;
  return 1;
}

int Pop3List(TransportEnv& env, MailSession& session, const AccountSettings& account, int number,
             std::string& reply) {
  return Exchange(env, session, account, Numbered("LIST", number), kTagPop3, reply, true);
}

int Pop3Dele(TransportEnv& env, MailSession& session, const AccountSettings& account, int number,
             std::string& reply) {
  return Exchange(env, session, account, Numbered("DELE", number), kTagPop3, reply, true);
}

int Pop3Uidl(TransportEnv& env, MailSession& session, const AccountSettings& account, int tag,
             std::size_t capacity, std::string& firstBlock) {
  if (SendCommandLine(env, session, "UIDL\r\n", kTagPop3, &account) < 0) return -1;
  SetCommandAllowance(session, kListingAllowanceBytes);
  if (recv_com(env, session, firstBlock, capacity, tag, &account) < 0) return -1;
  return StartsWithOk(firstBlock) ? 1 : 0;
}

namespace {

// Receives the RETR response into `file` until its end line: 1 complete,
// 0 refused ("-ERR"), -1 a failure (reported; result.fileFailed for the file).
int ReceiveRetrText(TransportEnv& env, MailSession& session, const AccountSettings& account,
                    RetrTerminator& terminator, std::FILE* file,
                    const std::function<void(long)>& progress, RetrResult& result) {
  std::string chunk;
  while (!terminator.complete()) {
    const long n = RecvChunk(env, session, chunk, kRetrChunk, kTagNone, &account);
    if (n < 0) return -1;
    if (n == 0) {
      // The server closed in the middle of the message: what arrived is not
      // the message, so it is not kept and the message stays new.
      SessionLog(env, "POP3: ERR: recv()=0 detected..(1)\r\n");
      return -1;
    }
    const std::size_t used = terminator.Feed(chunk);
    result.bytes += long(used);
    if (used < chunk.size()) {
      // Nothing may follow the end of a response before the next command:
      // the server is out of step, and whatever it sent is no message.
      env.log.AddActivity(SJIS(u8"POP3: 受信したメールの終わりの後に余分なデータが届きました。"
                               u8"プロトコルエラーのため受信を中止します。"),
                          Category::ServerNotice, &account);
      SessionLog(env, "POP3: ERR: data after the end of the RETR response\r\n");
      return -1;
    }
    if (std::fwrite(chunk.data(), 1, used, file) != used) {
      result.fileFailed = true;
      return -1;
    }
    if (terminator.refused()) {
      // "-ERR" instead of the message: no end line will follow.
      const std::size_t lineEnd = chunk.find('\n');
      result.refusal = chunk.substr(0, lineEnd == std::string::npos ? chunk.size() : lineEnd + 1);
      return 0;
    }
    if (progress) progress(result.bytes);
  }
  return 1;
}

}  // namespace

int Pop3Retr(TransportEnv& env, MailSession& session, const AccountSettings& account, int number,
             long listedSize, const std::string& path, const std::function<void(long)>& progress,
             RetrResult& result) {
  result = RetrResult{};
  if (SendCommandLine(env, session, Numbered("RETR", number), kTagPop3, &account) < 0) return -1;
  // Dot-stuffing and line ends at most double the listed size.
  SetCommandAllowance(session, listedSize >= 0 ? 2 * int64_t(listedSize) + kReplyAllowanceBytes
                                               : kUnknownSizeAllowanceBytes);
  platform::ClearReadOnly(path);
  platform::FilePtr file = platform::OpenFile(path, "wb");
  if (!file) {
    result.fileFailed = true;
    return -1;
  }

  RetrTerminator terminator;
  int outcome = ReceiveRetrText(env, session, account, terminator, file.get(), progress, result);
  const bool flushed = std::fflush(file.get()) == 0;
  file.reset();
  if (outcome == 1 && !flushed) {
    result.fileFailed = true;
    outcome = -1;
  }
  if (outcome != 1) {
    platform::RemoveFile(path);
    return outcome;
  }
  result.stateName = terminator.StateName();
  return 1;
}

}  // namespace velnora
