// What the SMTP client tests share: a transport env over a recording
// reporter with the session log on, and an account aimed at a local server.
#pragma once

#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>

#include "config/account_settings.h"
#include "config/common_settings.h"
#include "platform/worker_flags.h"
#include "report/activity_log.h"
#include "support/recording_reporter.h"
#include "support/temp_folder.h"
#include "transport/mail_session.h"
#include "transport/transport_env.h"

namespace velnora::testing {

template <std::size_t N>
void SetField(char (&field)[N], std::string_view text) {
  std::memset(field, 0, N);
  std::memcpy(field, text.data(), std::min(text.size(), N - 1));
}

inline std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

struct SmtpTestEnv {
  SmtpTestEnv() {
    common->sessionLog = 1;
    common->customTimeout = 1;
    common->timeoutSec = 2;
    SetField(account->accountName, "acct");
    SetField(account->smtpServer, "127.0.0.1");
    SetField(account->myAddress, "me@velnora.test");
    SetField(account->forwardTo, "dest@velnora.test");
    account->noSendDelay = 1;
  }

  void AimAt(uint16_t port) { account->smtpPort = static_cast<int16_t>(port); }
  std::string SessionLog() const { return ReadWhole(folder.File("velnora_session.log")); }
  std::string ActivityTexts() const {
    std::string all;
    for (const std::string& text : reporter.ActivityTexts()) all += text + "\n";
    return all;
  }
  bool HasActivity(int code, std::string_view text) const {
    for (const auto& row : reporter.rows)
      if (row.code == code && row.columns[3].find(text) != std::string::npos) return true;
    return false;
  }

  TempFolder folder;
  std::unique_ptr<CommonSettings> common = std::make_unique<CommonSettings>();
  RecordingReporter reporter;
  ActivityLog log{reporter, *common, folder.File("velnora_.log"), folder.File("velnora_session.log")};
  platform::WorkerFlags flags;
  TransportEnv env{*common, log, flags, folder.path()};
  std::unique_ptr<AccountSettings> account = std::make_unique<AccountSettings>();
  MailSession session;
};

}  // namespace velnora::testing
