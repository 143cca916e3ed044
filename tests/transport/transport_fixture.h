// What the transport tests share: an env with its own settings, activity
// log, flags and temporary folder, a mail session, and an account pointing at
// a local test server, either its POP3 side or its SMTP side. Texts in
// assertions are code page 932 like the program's.
#pragma once

#include <algorithm>
#include <memory>
#include <optional>
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
#include "support/test_text.h"
#include "transport/account_runtime.h"
#include "transport/mail_session.h"
#include "transport/transport_env.h"

namespace velnora::testing {

// The account a fixture starts with: POP3 (user, password) or SMTP (own and
// destination addresses, session log on, a short time-out).
enum class TestAccount { Pop3, Smtp };

class TransportFixture {
 public:
  explicit TransportFixture(int maxHeld = 1000) : TransportFixture(TestAccount::Pop3, maxHeld) {}
  explicit TransportFixture(TestAccount kind, int maxHeld = 1000)
      : common_(std::make_unique<CommonSettings>()),
        account_(std::make_unique<AccountSettings>()),
        log_(reporter_, *common_, folder_.File("velnora_.log"), folder_.File("velnora_session.log")),
        tables_(std::make_unique<RuntimeTables>(maxHeld)),
        env_{*common_, log_, flags_, folder_.path(), tables_.get()} {
    common_->customTimeout = 1;
    if (kind == TestAccount::Smtp) {
      common_->sessionLog = 1;
      common_->timeoutSec = 2;
      SetText(account_->accountName, "acct");
      SetText(account_->smtpServer, "127.0.0.1");
      SetText(account_->myAddress, "me@velnora.test");
      SetText(account_->forwardTo, "dest@velnora.test");
      account_->noSendDelay = 1;
      return;
    }
    common_->maxHeldMails = common_->maxHeldMailsNext = uint16_t(maxHeld);
    common_->timeoutSec = 5;
    SetText(account_->accountName, "test");
    SetText(account_->popServer, "127.0.0.1");
    SetText(account_->popUser, "alice");
    SetText(account_->popPassword, "s3cret-pw");
    account_->noRecvDelay = 1;
    account_->accountNumber = 0;
  }

  TransportEnv& env() { return env_; }
  const TransportEnv& env() const { return env_; }
  CommonSettings& common() { return *common_; }
  AccountSettings& account() { return *account_; }
  AccountRuntime& runtime() { return tables_->accounts[0]; }
  RuntimeTables& tables() { return *tables_; }
  platform::WorkerFlags& flags() { return flags_; }
  RecordingReporter& reporter() { return reporter_; }
  ActivityLog& log() { return log_; }
  MailSession& session() { return session_; }
  const TempFolder& folder() const { return folder_; }

  void UsePort(uint16_t port) { account_->popPort = int16_t(port); }
  void UseSmtpPort(uint16_t port) { account_->smtpPort = int16_t(port); }

  std::vector<std::string> Activities() const { return reporter_.ActivityTexts(); }
  std::vector<int> ActivityCodes() const {
    std::vector<int> codes;
    for (const auto& row : reporter_.rows) codes.push_back(row.code);
    return codes;
  }
  // An activity row whose text contains `text`, of category `code` when one is given.
  bool HasActivity(std::optional<int> code, std::string_view text) const {
    return std::any_of(reporter_.rows.begin(), reporter_.rows.end(), [&](const auto& row) {
      return (!code || row.code == *code) && row.columns[3].find(text) != std::string::npos;
    });
  }
  bool HasActivity(std::string_view text) const { return HasActivity(std::nullopt, text); }
  // All activity texts, one a line, for a failure message.
  std::string ActivityTexts() const {
    std::string all;
    for (const std::string& text : reporter_.ActivityTexts()) all += text + "\n";
    return all;
  }
  bool HasStatus(std::string_view text) const {
    return std::any_of(reporter_.statuses.begin(), reporter_.statuses.end(),
                       [&](const auto& s) { return s.first.find(text) != std::string::npos; });
  }
  std::string SessionLog() const { return FileText(folder_.File("velnora_session.log")); }

 private:
  TempFolder folder_;
  RecordingReporter reporter_;
  std::unique_ptr<CommonSettings> common_;
  std::unique_ptr<AccountSettings> account_;
  platform::WorkerFlags flags_;
  ActivityLog log_;
  std::unique_ptr<RuntimeTables> tables_;
  TransportEnv env_;
  MailSession session_;
};

}  // namespace velnora::testing
