// Shared pieces of the filter tests: parsed messages and a settings table
// with an activity log in a private folder.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "config/settings_image.h"
#include "engine/message/header_parse.h"
#include "engine/message/mail_message.h"
#include "report/activity_log.h"
#include "support/recording_reporter.h"
#include "support/temp_folder.h"
#include "support/test_text.h"

namespace velnora::testing {

inline MailMessage Parsed(std::string_view text) {
  MailMessage m;
  EXPECT_TRUE(SetMessageText(m, text));
  ParseMailContent(m);
  return m;
}

inline std::unique_ptr<AccountSettings> BlankAccount() {
  return std::make_unique<AccountSettings>();
}

// A whole settings table (zeroed) and the activity log that the filter
// stage reports to.
class FilterTables {
 public:
  FilterTables()
      : settings(std::make_unique<SettingsImage>()),
        log(reporter, settings->common, folder.File("velnora_.log"),
            folder.File("velnora_session.log")) {
    log.SetOpenRetry(1, 0);
  }

  AccountSettings& account(int i) { return settings->accounts[i]; }
  CommonSettings& common() { return settings->common; }

  TempFolder folder;
  RecordingReporter reporter;
  std::unique_ptr<SettingsImage> settings;
  ActivityLog log;
};

}  // namespace velnora::testing
