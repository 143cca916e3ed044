#include "engine/filter/remote_control.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "platform/codepage.h"
#include "transport/field_text.h"

namespace velnora {
namespace {


bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A decimal account number as the commands write it: no sign, no leading zero.
int AccountNumber(std::string_view digits) {
  if (!AllDigits(digits) || digits.size() > 3) return -1;
  if (digits.size() > 1 && digits.front() == '0') return -1;
  int n = -1;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
  if (error != std::errc() || end != digits.data() + digits.size()) return -1;
  return n < kAccountCount ? n : -1;
}

std::string Formatted(const std::string& pattern, int n) {
  char text[256];
  std::snprintf(text, sizeof text, pattern.c_str(), n);
  return text;
}

std::string ActivityText(const RemoteCommand& command) {
  switch (command.kind) {
    case RemoteCommand::AccountOff:
      return Formatted(SJIS(u8"リモート操作：アカウント[%d]の転送を停止しました"), command.account);
    case RemoteCommand::AccountOn:
      return Formatted(SJIS(u8"リモート操作：アカウント[%d]の転送を再開しました"), command.account);
    case RemoteCommand::AllOff:
      return SJIS(u8"リモート操作：全てのアカウントの転送を停止しました");
    case RemoteCommand::AllOn:
      return SJIS(u8"リモート操作：全てのアカウントの転送を再開しました");
    case RemoteCommand::None:
      break;
  }
  return {};
}

void Apply(const RemoteCommand& command, SettingsImage& settings, int receiver,
           DeferredSuspensions* deferred) {
  auto set = [&](int account, bool suspended) {
    if (deferred && account != receiver) {
      deferred->Set(account, suspended);
    } else {
      settings.accounts[account].remoteSuspended = suspended ? 1 : 0;
    }
  };
  switch (command.kind) {
    case RemoteCommand::AccountOff:
    case RemoteCommand::AccountOn:
      set(command.account, command.kind == RemoteCommand::AccountOff);
      break;
    case RemoteCommand::AllOff:
    case RemoteCommand::AllOn:
      for (int i = 0; i < kAccountCount; ++i) set(i, command.kind == RemoteCommand::AllOff);
      break;
    case RemoteCommand::None:
      break;
  }
}

// The password is the first bytes of the command text, which lies inside
// the subject line in the message buffer.
void MaskPassword(MailMessage& message, std::string_view commandText, std::size_t passwordLength) {
  if (message.buffer.empty()) return;
  const char* begin = message.buffer.data();
  const char* end = begin + message.buffer.size();
  if (commandText.data() < begin || commandText.data() + passwordLength > end) return;
  const auto at = static_cast<std::size_t>(commandText.data() - begin);
  std::fill_n(message.buffer.begin() + static_cast<std::ptrdiff_t>(at), passwordLength, '*');
}

bool EqualsNoCase(std::string_view text, std::string_view upper) {
  return text.size() == upper.size() &&
         std::equal(text.begin(), text.end(), upper.begin(), [](char a, char b) {
           return (a >= 'a' && a <= 'z' ? static_cast<char>(a - 'a' + 'A') : a) == b;
         });
}

// A mistyped command ("P 400 OFF", "P 3 of", "P all on") carries the
// password just the same and is masked too: the password, a number or ALL,
// and ON, OFF or OF in any letter case, nothing more. An ordinary subject
// that merely begins with the password ("P 3 days left") is left alone.
bool LooksLikeCommandAttempt(std::string_view text, std::string_view password) {
  if (password.empty() || !text.starts_with(password) || text.size() <= password.size() + 1 ||
      text[password.size()] != ' ') {
    return false;
  }
  const std::string_view rest = text.substr(password.size() + 1);
  const std::size_t blank = rest.find(' ');
  if (blank == std::string_view::npos) return false;
  const std::string_view target = rest.substr(0, blank);
  const std::string_view word = rest.substr(blank + 1);
  return (AllDigits(target) || EqualsNoCase(target, "ALL")) &&
         (EqualsNoCase(word, "ON") || EqualsNoCase(word, "OFF") || EqualsNoCase(word, "OF"));
}

}  // namespace

std::string_view RemoteCommandText(std::string_view subjectLine) {
  constexpr std::size_t kName = 8;  // "Subject:"
  if (subjectLine.size() <= 10) return {};
  std::string_view value = subjectLine.substr(kName);
  if (value.front() == ' ') value.remove_prefix(1);
  return value.substr(0, std::min(value.size(), kRemoteCommandLength));
}

RemoteCommand ParseRemoteCommand(std::string_view text, std::string_view password) {
  RemoteCommand command;
  if (password.empty() || text.size() <= password.size() || !text.starts_with(password) ||
      text[password.size()] != ' ') {
    return command;
  }
  const std::string_view rest = text.substr(password.size() + 1);
  if (rest == "ALL OFF") {
    command.kind = RemoteCommand::AllOff;
  } else if (rest == "ALL ON") {
    command.kind = RemoteCommand::AllOn;
  } else {
    const std::size_t blank = rest.find(' ');
    if (blank == std::string_view::npos) return command;
    const std::string_view word = rest.substr(blank + 1);
    const int n = AccountNumber(rest.substr(0, blank));
    if (n < 0 || (word != "OFF" && word != "ON")) return command;
    command.kind = word == "OFF" ? RemoteCommand::AccountOff : RemoteCommand::AccountOn;
    command.account = n;
  }
  return command;
}

void DeferredSuspensions::Set(int account, bool suspended) {
  if (account < 0 || account >= kAccountCount) return;
  std::lock_guard lock(mutex_);
  waiting_[std::size_t(account)] = suspended ? 1 : 0;
}

void DeferredSuspensions::ApplyTo(int account, AccountSettings& settings) {
  if (account < 0 || account >= kAccountCount) return;
  std::lock_guard lock(mutex_);
  int8_t& waiting = waiting_[std::size_t(account)];
  if (waiting == kNone) return;
  settings.remoteSuspended = waiting;
  waiting = kNone;
}

int Filter_RemoteControl(MailMessage& message, int accountIndex, SettingsImage& settings,
                         ActivityLog& log, DeferredSuspensions* deferred) {
  const CommonSettings& common = settings.common;
  AccountSettings& receiver = settings.accounts[accountIndex];
  if (!common.remoteControl) return 1;
  const std::string_view password = FieldText(common.remotePassword);
  const std::string_view text = RemoteCommandText(message.subject);
  const RemoteCommand command = ParseRemoteCommand(text, password);
  if (command.kind != RemoteCommand::None || LooksLikeCommandAttempt(text, password)) {
    MaskPassword(message, text, password.size());
  }
  if (command.kind != RemoteCommand::None) {
    if (receiver.ignoreRemoteControl) {
      message.resultCode = Category::RemoteNotAnswered;
      return 0;
    }
    Apply(command, settings, accountIndex, deferred);
    log.AddActivity(ActivityText(command), Category::Information, &receiver);
    log.RefreshAccountList();
    if (common.remoteStatusReport) {
      message.resultCode = Category::RemoteAnswered;
      return 1;
    }
    message.resultCode = Category::RemoteNotAnswered;
    return 0;
  }
  if (receiver.remoteSuspended == 1) {
    message.resultCode = Category::RemoteNotAnswered;
    return 0;
  }
  return 1;
}

std::string BuildRemoteStatusReport(const SettingsImage& settings, std::size_t capacity) {
  std::string report = "-REMOTE-\r\n";
  for (int n = 0; n < kAccountCount; ++n) {
    if (report.size() + kRemoteReportReserve >= capacity) break;
    const AccountSettings& account = settings.accounts[n];
    if (!account.enabled) continue;
    report += std::to_string(n);
    report += account.remoteSuspended == 1 ? ":OFF:" : ":ON :";
    report += FieldText(account.accountName);
    report += "\r\n";
  }
  report += "\r\n";
  return report;
}

}  // namespace velnora
