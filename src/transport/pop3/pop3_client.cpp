#include "transport/pop3/pop3_client.h"

#include <cstdio>

#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "report/time_stamps.h"
#include "transport/account_session.h"
#include "transport/field_text.h"
#include "transport/pop3/pop3_commands.h"
#include "transport/pop3/pop3_parse.h"
#include "transport/uidl/uidl_decision.h"
#include "transport/uidl/uidl_fallback.h"
#include "transport/watchdog_progress.h"

namespace velnora {
namespace {

constexpr int64_t kProgressIntervalMs = 200;
constexpr std::size_t kUidlReplyCapacity = 65534;
constexpr std::size_t kMarkAllLineLimit = 4096;

std::string Format(const char* format, auto... values) {
  char text[512];
  std::snprintf(text, sizeof text, format, values...);
  return text;
}

void AuthError(TransportEnv& env, const AccountSettings& account, std::string_view reply) {
  env.log.AddActivity(SJIS(u8"POPサーバー認証エラー"), Category::ServerNotice, &account);
  env.log.AddActivity(reply, Category::ServerReply, &account);
}

void RefreshActivity(TransportEnv& env) { env.flags.lastActivityTick = platform::TickMs(); }

void OverLimitWarning(TransportEnv& env, const AccountSettings& account, AccountRuntime& runtime,
                      int maxHeld) {
  runtime.limitWarned = 1;
  env.log.AddActivity(
      SJIS(u8"メールボックスのメール数が最大メール保持数（") + std::to_string(maxHeld) +
          SJIS(u8"）を越えています。メール数を減らすか、「共通設定」で最大メール保持数を増やして下さい。"),
      Category::ServerNotice, &account);
}

// USER/PASS or APOP; true when logged in.
bool Login(TransportEnv& env, const AccountSettings& account, AccountRuntime& runtime,
           const std::string& greeting) {
  MailSession& session = runtime.session;
  std::string reply;
  if (account.useApop) {
    const int rc = Pop3Apop(env, session, account, greeting, reply);
    if (rc == 0) AuthError(env, account, reply);
    if (rc != 1) return false;
    ShowAccountStatus(env, &account, SJIS(u8" 認証中 ## "), StatusIcon::Connecting);
    return true;
  }
  int rc = Pop3User(env, session, account, reply);
  if (rc == 0) AuthError(env, account, reply);
  if (rc != 1) return false;
  ShowAccountStatus(env, &account, SJIS(u8" 認証中 ## "), StatusIcon::Connecting);
  rc = Pop3Pass(env, session, account, reply);
  if (rc == 0) AuthError(env, account, reply);
  if (rc != 1) return false;
  ShowAccountStatus(env, &account, SJIS(u8" 受信中 ### "), StatusIcon::Receiving);
  return true;
}

// LIST and RETR of message `number` into its temporary file. 1 complete;
// anything else ends the fetch loop. `fileFailed` tells a received file
// that could not be written (a full temporary folder) from a server failure.
int RetrieveMessage(TransportEnv& env, const AccountSettings& account, AccountRuntime& runtime,
                    int number, int j, int mailCount, bool& fileFailed) {
  fileFailed = false;
  std::string reply;
  const int listed = Pop3List(env, runtime.session, account, number, reply);
  if (listed == 0) env.log.AddActivity(reply, Category::ServerReply, &account);
  if (listed != 1) return listed;

  int64_t lastProgress = platform::TickMs();
  WatchdogProgress watchdog(env.flags.lastActivityTick);
  RetrResult result;
  const int rc = Pop3Retr(env, runtime.session, account, number, ParseListSize(reply).value_or(-1),
                          ReceivedMailPath(env, number),
                          [&](long bytes) {
                            watchdog.Moved(bytes);
                            if (platform::TickMs() - lastProgress > kProgressIntervalMs) {
                              lastProgress = platform::TickMs();
                              ShowAccountStatus(
                                  env, &account,
                                  Format(SJIS(u8" 受信中(%d/%d) %ld byte ").c_str(), j, mailCount, bytes),
                                  StatusIcon::Keep);
                            }
                          },
                          result);
  if (rc == 0) env.log.AddActivity(result.refusal, Category::ServerReply, &account);
  fileFailed = result.fileFailed;
  if (rc != 1) return rc;
  SessionLog(env, std::string("POP3: ") + result.stateName + Format(" RcvSize=%ld \r\n", result.bytes));
  env.log.SetStatus(SJIS(u8"処理中"), StatusIcon::Keep);
  if (mailCount > 0) {
    ShowAccountStatus(env, &account,
           Format(SJIS(u8" 処理中(%d/%d) %ld byte ").c_str(), j, mailCount, result.bytes), StatusIcon::Keep);
  } else {
    ShowAccountStatus(env, &account, SJIS(u8" 処理中"), StatusIcon::Keep);
  }
  return 1;
}

// "UIDL" and the first block of its listing. A refusal is reported with the
// server's reply as `replyCategory`. True when the listing follows in `block`.
bool StartUidlListing(TransportEnv& env, const AccountSettings& account, MailSession& session,
                      int tag, std::size_t capacity, std::string& block, Category replyCategory) {
  const int rc = Pop3Uidl(env, session, account, tag, capacity, block);
  if (rc == 0) {
    env.log.AddActivity(SJIS(u8"サーバーがUIDLコマンドを受け付けませんでした"), Category::ServerNotice, &account);
    env.log.AddActivity(block, replyCategory, &account);
  }
  return rc == 1;
}

constexpr int kFetchAttempts = 3;

// Whether position m is to be fetched: without UIDLs every position from
// startIndex on that no earlier check handled; with them a new one (or one
// beyond the stored list, which is always new).
bool IsDue(const AccountRuntime& runtime, bool uidlMode, int m, int maxHeld) {
  if (!uidlMode) {
    return std::size_t(m) >= runtime.handledBeyondStart.size() || !runtime.handledBeyondStart[std::size_t(m)];
  }
  return m >= maxHeld || runtime.isNew[std::size_t(m)];
}

std::string FailureKey(const AccountRuntime& runtime, bool uidlMode, int m) {
  const std::string_view uidl = uidlMode ? runtime.CurrentUidl(m) : std::string_view();
  return uidl.empty() ? "#" + std::to_string(m + 1) : std::string(uidl);
}

bool GaveUpOn(const AccountRuntime& runtime, const std::string& key) {
  const auto found = runtime.fetchFailures.find(key);
  return found != runtime.fetchFailures.end() && found->second >= kFetchAttempts;
}

// One more failed fetch of a message. A received file that cannot be
// written is an error of its own; a message that failed too often is left
// on the server and skipped from now on, so it no longer blocks the rest.
void NoteFetchFailure(TransportEnv& env, const AccountSettings& account, AccountRuntime& runtime,
                      const std::string& key, int m, bool fileFailed) {
  if (fileFailed) {
    if (env.tables) ++env.tables->writeFailures;
    env.log.AddActivity(SJIS(u8"受信したメールを一時フォルダに書き込めませんでした。ディスクの空き容量を確認してください。"), Category::ServerNotice, &account);
  }
  if (++runtime.fetchFailures[key] < kFetchAttempts) return;
  env.log.AddActivity(Format(SJIS(u8"%d番目のメールは%d回続けて受信できませんでした。このメールはサーバーに残し、次のメールから転送を続けます。").c_str(), m + 1, kFetchAttempts), Category::ServerNotice, &account);
}

}  // namespace

std::string ReceivedMailPath(const TransportEnv& env, int number) {
  return platform::JoinPath(env.tempFolder, Format("$vnrmail%d.vnr", number));
}

bool PopSessionDelay(TransportEnv& env, const AccountSettings& account) {
  if (!account.popDelayOn) return true;
  const int total = account.popDelaySec == 0 ? 10 : account.popDelaySec;
  return CountSeconds(env, account, total, StatusIcon::Waiting, [](int second, int all) {
    return Format(SJIS(u8"POP切断待ち.. %d/%d秒").c_str(), second, all);
  });
}

namespace {

// STLS and the verified handshake before any log-in; a server that does not
// take it ends the session, and no USER, PASS or APOP is sent in plain text.
bool StartPop3Tls(TransportEnv& env, const AccountSettings& account, MailSession& session) {
  std::string reply;
  const int rc = Pop3Stls(env, session, account, reply);
  if (rc < 0) return false;
  if (rc == 0) {
    env.log.SetStatus("Error:STLS", StatusIcon::Error);
    env.log.AddActivity(SJIS(u8"STLSで暗号化できないためログインを中止しました") + " [" +
                            std::string(FieldText(account.popServer)) + "]",
                        Category::ServerNotice, &account);
    env.log.AddActivity(reply, Category::ServerReply, &account);
    session.stream.Close();
    return false;
  }
  return UpgradeSessionToTls(env, account, session, SessionKind::Pop3);
}

}  // namespace

int OpenRcvSession(TransportEnv& env, const AccountSettings& account, AccountRuntime& runtime) {
  if (account.popSsl && account.popStartTls) {
    ReportTlsSettingsConflict(env, account, "POP3");
    return -1;
  }
  if (!account.noRecvDelay && !SessionDelay(env, 250)) return -1;
  LogSessionBanner(env, account, "POP3");
  if (!ConnectSession(env, account, runtime.session, SessionKind::Pop3)) return -1;

  std::string greeting;
  if (recv_com(env, runtime.session, greeting, kPop3ReplyCapacity, kTagPop3, &account) < 0) {
    return -1;
  }
  if (!StartsWithOk(greeting)) {
    env.log.AddActivity(greeting, Category::ServerReply, &account);
    return -1;
  }
  if (account.popStartTls && !StartPop3Tls(env, account, runtime.session)) return -1;
  ShowAccountStatus(env, &account, SJIS(u8" 認証中 # "), StatusIcon::Connecting);
  if (!Login(env, account, runtime, greeting)) return -1;

  if (!account.noRecvDelay && !SessionDelay(env, 100)) return -1;
  std::string reply;
  long count = 0;
  const int rc = Pop3Stat(env, runtime.session, account, reply, count);
  if (rc == 0) env.log.AddActivity(reply, Category::ServerReply, &account);
  if (rc != 1) return -1;
  if (count > kMaxMailboxMessages) {
    env.log.AddActivity(SJIS(u8"サーバーが報告したメール数 ") + std::to_string(count) +
                            SJIS(u8" は多すぎるため、最初の ") + std::to_string(kMaxMailboxMessages) +
                            SJIS(u8" 通だけを扱います。"),
                        Category::ServerNotice, &account);
    count = kMaxMailboxMessages;
  }
  runtime.mailCount = runtime.statCount = int32_t(count);
  return int(count);
}

int FetchServerUidls(TransportEnv& env, const AccountSettings& account, AccountRuntime& runtime) {
  if (account.noUidlActive) return 1;
  if (!env.tables) return -1;
  RuntimeTables& tables = *env.tables;
  const int maxHeld = tables.maxHeldMails;

  ShowAccountStatus(env, &account, SJIS(u8" 受信中 UIDL.. "), StatusIcon::Receiving);
  SessionLog(env, "- UIDL-START=" + FormatClockTime() + "\r\n");
  if (!account.noRecvDelay && !SessionDelay(env, 100)) return -1;

  std::string block;
  if (!StartUidlListing(env, account, runtime.session, kTagNone, kUidlReplyCapacity, block,
                        Category::ServerNotice)) {
    return -1;
  }

  runtime.currentUidls.clear();
  UidlListingParser parser([&](long number, std::string_view uidl) {
    if (number - 1 < 0 || number - 1 >= maxHeld) return;
    const std::size_t index = std::size_t(number - 1);
    if (runtime.currentUidls.size() <= index) runtime.currentUidls.resize(index + 1);
    runtime.currentUidls[index] = MakeSlot(uidl);
    if (runtime.storedCount() >= maxHeld && !runtime.limitWarned) {
      OverLimitWarning(env, account, runtime, maxHeld);
    }
  });
  WatchdogProgress watchdog(env.flags.lastActivityTick);
  int64_t listed = 0;
  for (;;) {
    SessionLog(env, Format("- UIDL-RcvLeng=%zu\r\n", block.size()));
    if (parser.Feed(block)) break;
    watchdog.Moved(listed += int64_t(block.size()));
    if (recv_com(env, runtime.session, block, kUidlReplyCapacity, kTagNone, &account) < 0) {
      return -1;
    }
  }
  SessionLog(env, "- UIDL-END=" + FormatClockTime() + "\r\n");
  return 1;
}

namespace {

// One fetch of the new messages of an account over its open session.
class NewMailFetch {
 public:
  NewMailFetch(TransportEnv& env, const AccountSettings& account, AccountRuntime& runtime)
      : env_(env), account_(account), runtime_(runtime), uidlMode_(!account.noUidlActive),
        mailCount_(runtime.mailCount), startIndex_(runtime.startIndex),
        maxHeld_(env.tables ? env.tables->maxHeldMails : 0),
        contentKeys_([&runtime](int p) { return runtime.StoredUidl(p); },
                     uidlMode_ ? std::min(runtime.storedCount(), maxHeld_) : 0) {}

  FetchResult Run() {
    runtime_.fetched.clear();
    if (uidlMode_ && (!env_.tables || FetchServerUidls(env_, account_, runtime_) != 1)) {
      return FetchResult::NoUidlListing;
    }
    ShowAccountStatus(env_, &account_, SJIS(u8" 処理中 UIDL.."), StatusIcon::Receiving);
    const int newCount = CountNew();
    const int end = FetchDue();
    if (stopped_ || env_.flags.ShouldStop()) return FetchResult::Complete;

    FetchResult result = FetchResult::Complete;
    if (end < mailCount_) {
      ReportLeftOver(newCount - fetchedCount_);
      result = FetchResult::EndedEarly;
    }
    // Forward order reached the positions below `end`; reverse order reached
    // the top ones, so the whole count stays for the deletion after forwarding.
    if (!account_.reversePopOrder) runtime_.mailCount = end;
    if (uidlMode_) StoreKnownListing();
    return result;
  }

 private:
  // How many messages are new: all from startIndex on without UIDLs, else
  // those whose UIDL is not stored (isNew says which).
  int CountNew() {
    if (!uidlMode_) return mailCount_ - startIndex_;
    const NewMessageDecision decision = DecideNewMessages(
        [&](int p) { return runtime_.StoredUidl(p); }, std::min(runtime_.storedCount(), maxHeld_),
        [&](int j) { return runtime_.CurrentUidl(j); }, startIndex_, std::min(mailCount_, maxHeld_),
        runtime_.isNew);
    return mailCount_ - startIndex_ - decision.known;
  }

  // Fetches every due message up to the fetch limit, in the account's order;
  // ends at the first failure. Returns the walk position where it ended.
  int FetchDue() {
    const bool limit = env_.common.limitFetch != 0;
    const int fetchLimit = env_.common.fetchLimit > 0 ? env_.common.fetchLimit : 1;
    int j = startIndex_;
    for (; j < mailCount_; ++j) {
      if (env_.flags.ShouldStop()) {
        stopped_ = true;
        break;
      }
      RefreshActivity(env_);
      // Reverse order walks the same positions from the top down.
      const int m = account_.reversePopOrder ? mailCount_ - 1 - (j - startIndex_) : j;
      if (!IsDue(runtime_, uidlMode_, m, maxHeld_)) continue;
      const std::string failureKey = FailureKey(runtime_, uidlMode_, m);
      if (GaveUpOn(runtime_, failureKey)) continue;
      if (limit && fetchedCount_ >= fetchLimit) break;
      ShowAccountStatus(env_, &account_, Format(SJIS(u8" 受信中(%d/%d)").c_str(), j, mailCount_),
                        StatusIcon::Receiving);
      bool fileFailed = false;
      if (RetrieveMessage(env_, account_, runtime_, m + 1, j, mailCount_, fileFailed) != 1) {
        NoteFetchFailure(env_, account_, runtime_, failureKey, m, fileFailed);
        break;
      }
      runtime_.fetchFailures.erase(failureKey);
      if (reached_.size() <= std::size_t(m)) reached_.resize(std::size_t(m) + 1, 0);
      reached_[std::size_t(m)] = 1;
      if (KnownByContent(m)) continue;  // fetched only to be recognised, not counted
      runtime_.fetched.push_back(m);
      ++fetchedCount_;
    }
    return j;
  }

  // A message listed without UIDL is known by its content: its key stands
  // in for the UIDL. True when the key is stored already (the file goes).
  bool KnownByContent(int m) {
    if (!uidlMode_ || m >= maxHeld_ || !runtime_.CurrentUidl(m).empty()) return false;
    const std::string path = ReceivedMailPath(env_, m + 1);
    const std::string key = ContentKeyOfReceivedFile(path);
    if (key.empty()) return false;
    auto& current = runtime_.currentUidls;
    if (current.size() <= std::size_t(m)) current.resize(std::size_t(m) + 1);
    current[std::size_t(m)] = MakeSlot(key);
    if (!contentKeys_.TakeKnown(key)) return false;
    runtime_.isNew[std::size_t(m)] = 0;
    platform::RemoveFile(path);
    return true;
  }

  void ReportLeftOver(int remaining) {
    if (remaining > 0) {
      env_.log.AddActivity(SJIS(u8"取得できなかった新着メールが ") + std::to_string(remaining) +
                               SJIS(u8" 通ありますが、これらは次回に転送されます。"),
                           Category::ServerNotice, &account_);
    } else {
      env_.log.AddActivity(
          SJIS(u8"取得できなかった新着メールがありますが、これらは次回に転送されます。"),
          Category::ServerNotice, &account_);
    }
  }

  // The stored list becomes the server's listing by position, but only with
  // the messages already known: a fetched message is recorded by the
  // forwarding once its outcome is known, so a message that is never
  // handled (a stop, a crash, an early end in either order) stays new.
  void StoreKnownListing() {
    const int end = std::min(mailCount_, maxHeld_);
    for (int p = startIndex_; p < end; ++p) {
      std::string_view uidl =
          runtime_.isNew[std::size_t(p)] ? std::string_view() : runtime_.CurrentUidl(p);
      std::string keptKey;
      if (runtime_.CurrentUidl(p).empty() &&
          !(std::size_t(p) < reached_.size() && reached_[std::size_t(p)])) {
        keptKey = contentKeys_.TakeAny();  // still on the server, not looked at this time
        uidl = keptKey;
      }
      runtime_.SetStoredUidl(p, uidl);
    }
    runtime_.startIndex = 0;
    runtime_.SetStoredCount(end);
  }

  TransportEnv& env_;
  const AccountSettings& account_;
  AccountRuntime& runtime_;
  const bool uidlMode_;
  const int mailCount_;
  const int startIndex_;
  const int maxHeld_;
  ContentKeyMatcher contentKeys_;
  // Positions reached by the fetch; it grows with the messages fetched,
  // never with the count the server claims.
  std::vector<uint8_t> reached_;
  int fetchedCount_ = 0;
  bool stopped_ = false;
};

}  // namespace

FetchResult ReceiveMailFromHost(TransportEnv& env, const AccountSettings& account,
                                AccountRuntime& runtime) {
  return NewMailFetch(env, account, runtime).Run();
}

int MarkAllAsForwarded(TransportEnv& env, const AccountSettings& account,
                       AccountRuntime& runtime) {
  SessionCloser closer(env, runtime.session, account);
  if (OpenRcvSession(env, account, runtime) < 0) {
    ReportOpenFailure(env.log, account, OpenFailure::Receive);
    return -1;
  }
  runtime.startIndex = 0;
  if (account.noUidlActive) {
    closer.InOrder();
    return 1;
  }
  const int maxHeld = env.tables ? env.tables->maxHeldMails : kMinHeldMails;
  ShowAccountStatus(env, &account, SJIS(u8" 受信中 UIDL.. "), StatusIcon::Receiving);
  std::string block;
  if (!StartUidlListing(env, account, runtime.session, kTagPop3, kPop3ReplyCapacity, block,
                        Category::ServerReply)) {
    return -1;
  }
  int stored = 0;
  bool full = false;
  UidlListingParser parser(
      [&](long, std::string_view uidl) {
        if (full) return;
        if (stored >= maxHeld) {
          if (!runtime.limitWarned) {
            OverLimitWarning(env, account, runtime, maxHeld);
            full = true;
          }
          return;
        }
        runtime.SetStoredUidl(stored++, uidl);
      },
      kMarkAllLineLimit);
  WatchdogProgress watchdog(env.flags.lastActivityTick);
  int64_t listed = 0;
  for (;;) {
    const bool finished = parser.Feed(block);
    runtime.SetStoredCount(stored);
    if (finished || full) break;
    watchdog.Moved(listed += int64_t(block.size()));
    if (recv_com(env, runtime.session, block, kPop3ReplyCapacity, kTagPop3, &account) < 0) {
      return -1;
    }
  }
  closer.InOrder();
  return 1;
}

int DeleteMessage(TransportEnv& env, const AccountSettings& account, AccountRuntime& runtime,
                  int number) {
  std::string reply;
  return Pop3Dele(env, runtime.session, account, number, reply);
}

int DeleteAllMails(TransportEnv& env, const AccountSettings& account, AccountRuntime& runtime) {
  SessionCloser closer(env, runtime.session, account);
  if (OpenRcvSession(env, account, runtime) < 0) {
    ReportOpenFailure(env.log, account, OpenFailure::Receive);
    return 0;
  }
  ShowAccountStatus(env, &account, SJIS(u8" メール削除中.."), StatusIcon::Connecting);
  const int mailCount = runtime.mailCount;
  for (int i = 0; i < mailCount; ++i) {
    if (env.flags.ShouldStop()) break;
    RefreshActivity(env);
    const int position = account.reversePopOrder ? mailCount - 1 - i : i;
    if (DeleteMessage(env, account, runtime, position + 1) < 0) return -1;
  }
  closer.InOrder();
  closer.Close();
  runtime.mailCount = runtime.startIndex = 0;
  runtime.handledBeyondStart.clear();
  return 1;
}

}  // namespace velnora
