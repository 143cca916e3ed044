// Remote control by mail: a subject made of the remote password and a
// command switches the forwarding of one account or of all accounts off or
// on, and the status report answers it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include "config/settings_image.h"
#include "engine/message/mail_message.h"
#include "report/activity_log.h"

namespace velnora {

// Bytes of the subject value that form the command.
inline constexpr std::size_t kRemoteCommandLength = 17;
// The status report stops listing accounts this close to its capacity.
inline constexpr std::size_t kRemoteReportReserve = 280;

struct RemoteCommand {
  enum Kind { None, AccountOff, AccountOn, AllOff, AllOn };
  Kind kind = None;
  int account = -1;  // for AccountOff and AccountOn
};

// The command text of a whole Subject line: its value (one leading space
// skipped), undecoded and cut to kRemoteCommandLength bytes; empty for a
// line of 10 bytes or less.
std::string_view RemoteCommandText(std::string_view subjectLine);

// "P n OFF", "P n ON", "P ALL OFF", "P ALL ON", compared exactly: n is 0 to
// 399 without leading zeros. An empty password never authorises anything.
RemoteCommand ParseRemoteCommand(std::string_view commandText, std::string_view password);

// Suspensions that a check sets for other accounts while checks run side by
// side: each waits for its account's next check, so no account changes in
// the middle of one.
class DeferredSuspensions {
 public:
  void Set(int account, bool suspended);
  // Applies what waits for `account` to its settings.
  void ApplyTo(int account, AccountSettings& settings);

 private:
  static constexpr int8_t kNone = -1;
  std::mutex mutex_;
  std::array<int8_t, kAccountCount> waiting_ = [] {
    std::array<int8_t, kAccountCount> none{};
    none.fill(kNone);
    return none;
  }();
};

// 1 go on, 0 stop. Applies an accepted command to the settings and records
// it as information for the receiving account; sets code 19 (to be answered
// by the status report) or 18 (not answered, ignored, or the receiving
// account suspended). The password in the subject of a command, accepted or
// mistyped, is overwritten with '*', so that no list, log or report shows it.
// With `deferred`, a command for other accounts than the receiving one
// waits there for their next checks.
int Filter_RemoteControl(MailMessage& message, int accountIndex, SettingsImage& settings,
                         ActivityLog& log, DeferredSuspensions* deferred = nullptr);

// "-REMOTE-", one line "n:OFF:name" or "n:ON :name" per enabled account,
// then an empty line; it stops listing when it comes within
// kRemoteReportReserve bytes of `capacity`.
std::string BuildRemoteStatusReport(const SettingsImage& settings, std::size_t capacity);

}  // namespace velnora
