// What the transport tests share: an env with its own settings, activity
// log, flags and temporary folder, and a POP3 account pointing at a local
// test server. Texts in assertions are code page 932 like the program's.
#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "config/account_settings.h"
#include "config/common_settings.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/worker_flags.h"
#include "report/activity_log.h"
#include "support/recording_reporter.h"
#include "support/temp_folder.h"
#include "transport/account_runtime.h"
#include "transport/transport_env.h"

namespace velnora::testing {

template <std::size_t N>
void SetField(char (&field)[N], std::string_view text) {
  std::fill(field, field + N, '\0');
  std::copy_n(text.data(), std::min(text.size(), N - 1), field);
}

inline std::string ReadWholeFile(const std::string& path) {
  std::string bytes;
  if (platform::FilePtr file = platform::OpenFile(path, "rb")) {
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) bytes.append(buffer, n);
  }
  return bytes;
}

class TransportFixture {
 public:
  explicit TransportFixture(int maxHeld = 1000)
      : common_(std::make_unique<CommonSettings>()),
        account_(std::make_unique<AccountSettings>()),
        log_(reporter_, *common_, folder_.File("velnora_.log"), folder_.File("velnora_session.log")),
        tables_(std::make_unique<RuntimeTables>(maxHeld)),
        env_{*common_, log_, flags_, folder_.path(), tables_.get()} {
    common_->maxHeldMails = common_->maxHeldMailsNext = uint16_t(maxHeld);
    common_->customTimeout = 1;
    common_->timeoutSec = 5;
    SetField(account_->accountName, "test");
    SetField(account_->popServer, "127.0.0.1");
    SetField(account_->popUser, "alice");
    SetField(account_->popPassword, "s3cret-pw");
    account_->noRecvDelay = 1;
    account_->accountNumber = 0;
  }

  TransportEnv& env() { return env_; }
  CommonSettings& common() { return *common_; }
  AccountSettings& account() { return *account_; }
  AccountRuntime& runtime() { return tables_->accounts[0]; }
  RuntimeTables& tables() { return *tables_; }
  platform::WorkerFlags& flags() { return flags_; }
  RecordingReporter& reporter() { return reporter_; }
  const TempFolder& folder() const { return folder_; }

  void UsePort(uint16_t port) { account_->popPort = int16_t(port); }

  std::vector<std::string> Activities() const { return reporter_.ActivityTexts(); }
  std::vector<int> ActivityCodes() const {
    std::vector<int> codes;
    for (const auto& row : reporter_.rows) codes.push_back(row.code);
    return codes;
  }
  bool HasActivity(std::string_view text) const {
    const auto all = Activities();
    return std::any_of(all.begin(), all.end(),
                       [&](const std::string& t) { return t.find(text) != std::string::npos; });
  }
  bool HasStatus(std::string_view text) const {
    return std::any_of(reporter_.statuses.begin(), reporter_.statuses.end(),
                       [&](const auto& s) { return s.first.find(text) != std::string::npos; });
  }
  std::string SessionLog() const { return ReadWholeFile(folder_.File("velnora_session.log")); }

 private:
  TempFolder folder_;
  RecordingReporter reporter_;
  std::unique_ptr<CommonSettings> common_;
  std::unique_ptr<AccountSettings> account_;
  platform::WorkerFlags flags_;
  ActivityLog log_;
  std::unique_ptr<RuntimeTables> tables_;
  TransportEnv env_;
};

}  // namespace velnora::testing
