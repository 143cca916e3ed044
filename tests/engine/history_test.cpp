// Duplicate prevention reads back what the activity list wrote; trimming
// keeps the newer half of the forwarding log.
#include "engine/history/history.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>
#include <vector>

#include "config/account_settings.h"
#include "config/common_settings.h"
#include "engine/filter_test_support.h"
#include "engine/message/header_parse.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "support/recording_reporter.h"
#include "support/temp_folder.h"
#include "support/test_text.h"

namespace velnora {
namespace {

using testing::FileText;
using testing::Parsed;

struct KeyCase {
  const char* history;
  const char* key;
  const char* label;
  bool allAccounts;
  bool found;
};

class HistoryKeyTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(HistoryKeyTest, MatchesTheEighthAndNinthNonEmptyFields) {
  const auto& c = GetParam();
  EXPECT_EQ(HistoryHoldsKey(c.history, c.key, c.label, c.allAccounts), c.found);
}

INSTANTIATE_TEST_SUITE_P(
    Records, HistoryKeyTest,
    ::testing::Values(
        KeyCase{"V1;0;1(2);t;s;f;r; <a@x>;Home;\n", " <a@x>", "Home", false, true},
        KeyCase{"V1;0;1(2);t;s;f;r; <a@x>;Home;\n", " <a@x>", "Work", false, false},
        KeyCase{"V1;0;1(2);t;s;f;r; <a@x>;Home;\n", " <a@x>", "Work", true, true},
        KeyCase{"V1;0;1(2);t;s;f;r; <a@x>;Home;\n", " <A@x>", "Home", false, false},
        KeyCase{"V1;0;;1(2);;t;s;f;r; <a@x>;;Home;\n", " <a@x>", "Home", false, true},
        KeyCase{"V1;0;1(2);t;s;f;r; <a@x>;\n", " <a@x>", "Home", true, false},  // no label
        KeyCase{"V1;3;Info;t;text;(Velnora System); ; ;0 : Home;\n", " ", "0 : Home", true,
                false},
        KeyCase{"x\nV1;0;1(2);t;s;f;r;k1;Home;\nV1;0;1(2);t;s;f;r;k2;Home;", "k2", "Home",
                false, true},
        KeyCase{"", "k", "Home", true, false}));

class HistoryTest : public ::testing::Test {
 protected:
  HistoryTest()
      : common_(std::make_unique<CommonSettings>()),
        home_(std::make_unique<AccountSettings>()),
        work_(std::make_unique<AccountSettings>()),
        log_(reporter_, *common_, folder_.File("velnora_.log"),
             folder_.File("velnora_session.log")) {
    common_->preventDuplicates = 1;
    common_->trimHistory = 1;
    common_->historyLimit = 10;
    home_->accountNumber = 0;
    std::strcpy(home_->accountName, "Home");
    work_->accountNumber = 1;
    std::strcpy(work_->popUser, "worker");
  }

  void Record(const MailMessage& m, const AccountSettings& account) {
    log_.AddMessageActivity(ActivityOf(m, 1), account);
  }

  testing::TempFolder folder_;
  testing::RecordingReporter reporter_;
  std::unique_ptr<CommonSettings> common_;
  std::unique_ptr<AccountSettings> home_;
  std::unique_ptr<AccountSettings> work_;
  ActivityLog log_;
};

TEST_F(HistoryTest, RecordedMessageIsRecognisedForItsAccount) {
  MailMessage m = Parsed("Message-ID: <1@example.jp>\r\nSubject: a;b\r\n\r\nx");
  EXPECT_FALSE(IsAlreadyForwarded(m, *home_, *common_, log_));  // no log yet
  Record(m, *home_);
  EXPECT_TRUE(IsAlreadyForwarded(m, *home_, *common_, log_));
  EXPECT_FALSE(IsAlreadyForwarded(m, *work_, *common_, log_));
  common_->duplicateCheckAllAccounts = 1;
  EXPECT_TRUE(IsAlreadyForwarded(m, *work_, *common_, log_));

  MailMessage other = Parsed("Message-ID: <2@example.jp>\r\n\r\nx");
  EXPECT_FALSE(IsAlreadyForwarded(other, *home_, *common_, log_));
}

TEST_F(HistoryTest, UnnamedAccountIsRecognisedByItsUser) {
  MailMessage m = Parsed("Message-ID: <w@example.jp>\r\n\r\nx");
  Record(m, *work_);
  EXPECT_TRUE(IsAlreadyForwarded(m, *work_, *common_, log_));
  EXPECT_FALSE(IsAlreadyForwarded(m, *home_, *common_, log_));
}

TEST_F(HistoryTest, MessageWithoutIdIsRecognisedByDateSubjectAndFrom) {
  const std::string header = "Date: Tue, 08 Dec 2026 10:00:00 +0900\r\nSubject:  tabs\there\r\n"
                             "From: f@x\r\n";
  MailMessage m = Parsed(header + "\r\nbody");
  Record(m, *home_);
  EXPECT_TRUE(IsAlreadyForwarded(Parsed(header + "\r\nother body"), *home_, *common_, log_));
  EXPECT_FALSE(IsAlreadyForwarded(Parsed("Date: Wed, 09 Dec 2026 10:00:00 +0900\r\n"
                                         "Subject:  tabs\there\r\nFrom: f@x\r\n\r\nbody"),
                                  *home_, *common_, log_));
}

TEST_F(HistoryTest, KeyWithControlsIsRecognisedAsWritten) {
  MailMessage m = Parsed("Message-ID: <\x1B[0m\x07@example.jp>\r\n\r\nx");
  Record(m, *home_);
  EXPECT_TRUE(IsAlreadyForwarded(m, *home_, *common_, log_));
}

// What the log holds of a message for the account that checks it: found as
// a duplicate, and shown as forwarded from this account (so that a server
// copy left behind by an interruption may be deleted).
struct RecordCase {
  const char* name;
  const char* accountName;
  const char* recorded;  // recorded with recordedCode by the same account
  int recordedCode;
  const char* checked;
  bool found;
  bool forwardedHere;
};

class HistoryRecordTest : public HistoryTest, public ::testing::WithParamInterface<RecordCase> {};

TEST_P(HistoryRecordTest, TheCheckReadsWhatTheLogWrote) {
  const RecordCase& c = GetParam();
  auto account = std::make_unique<AccountSettings>();
  std::strcpy(account->accountName, c.accountName);
  MailMessage recorded = Parsed(c.recorded);
  recorded.resultCode = static_cast<Category>(c.recordedCode);
  Record(recorded, *account);
  bool forwardedHere = !c.forwardedHere;
  EXPECT_EQ(IsAlreadyForwarded(Parsed(c.checked), *account, *common_, log_, nullptr, &forwardedHere), c.found);
  EXPECT_EQ(forwardedHere, c.forwardedHere);
}

constexpr const char* kWithId = "Message-ID: <1@example.jp>\r\n\r\nx";

INSTANTIATE_TEST_SUITE_P(
    Records, HistoryRecordTest,
    ::testing::Values(
        RecordCase{"Forwarded", "Home", kWithId, 0, kWithId, true, true},
        RecordCase{"NameWithSemicolon", "Ho;me", kWithId, 0, kWithId, true, true},
        RecordCase{"NameWithTab", "Ho\tme", kWithId, 0, kWithId, true, true},
        RecordCase{"SenderReplaced", "Home", kWithId, 25, kWithId, true, true},
        RecordCase{"OnlyAsDuplicate", "Home", kWithId, 5, kWithId, true, false},
        RecordCase{"OnlyAsFiltered", "Home", kWithId, 12, kWithId, true, false},
        RecordCase{"HeaderlessMails", "Home", "+OK\r\nfirst text\r\n", 0, "+OK\r\nother text\r\n", false, false},
        RecordCase{"SameHeaderlessMail", "Home", "+OK\r\ntext\r\n", 0, "+OK\r\ntext\r\n", false, false}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(HistoryTest, SwitchesTurnTheCheckOff) {
  MailMessage m = Parsed("Message-ID: <1@example.jp>\r\n\r\nx");
  Record(m, *home_);
  common_->preventDuplicates = 0;
  EXPECT_FALSE(IsAlreadyForwarded(m, *home_, *common_, log_));
  common_->preventDuplicates = 1;
  home_->noDuplicateCheck = 1;
  EXPECT_FALSE(IsAlreadyForwarded(m, *home_, *common_, log_));
}

void WriteLines(const std::string& path, int count) {
  std::ofstream out(path, std::ios::binary);
  for (int i = 1; i <= count; ++i) out << "V1;3;line " << i << ";\n";
}

TEST_F(HistoryTest, OverLongHistoryKeepsItsNewerHalf) {
  WriteLines(log_.forwardingLogPath(), 11);
  EXPECT_EQ(TrimHistory(*common_, log_), 5);
  const std::string notice =
      SJIS(u8"古い履歴の半分を自動的に削除しました。残りの履歴数 : ") + "5";
  ASSERT_EQ(reporter_.rows.size(), 1u);
  EXPECT_EQ(reporter_.rows[0].code, 3);
  EXPECT_EQ(reporter_.rows[0].columns[3], notice);

  const std::string content = FileText(log_.forwardingLogPath());
  const std::string kept = "V1;3;line 7;\nV1;3;line 8;\nV1;3;line 9;\nV1;3;line 10;\n"
                           "V1;3;line 11;\n";
  ASSERT_TRUE(content.starts_with(kept)) << content;
  EXPECT_NE(content.find(notice, kept.size()), std::string::npos);  // the notice is recorded too
  EXPECT_FALSE(platform::FileExists(log_.forwardingLogPath() + ".new"));
}

TEST_F(HistoryTest, HistoryWithinTheLimitIsNotTouched) {
  WriteLines(log_.forwardingLogPath(), 10);
  const std::string before = FileText(log_.forwardingLogPath());
  EXPECT_EQ(TrimHistory(*common_, log_), -1);
  common_->trimHistory = 0;
  WriteLines(log_.forwardingLogPath(), 30);
  EXPECT_EQ(TrimHistory(*common_, log_), -1);
  EXPECT_TRUE(reporter_.rows.empty());
  EXPECT_EQ(before.size(), 10 * std::string("V1;3;line 1;\n").size() + 1);
}

TEST_F(HistoryTest, RowsAddedDuringTrimmingAreNotLost) {
  WriteLines(log_.forwardingLogPath(), 2000);
  std::thread worker([this] {
    for (int i = 0; i < 400; ++i) log_.AddActivity("row " + std::to_string(i), Category::Information, nullptr);
  });
  while (log_.rowCount() < 50) std::this_thread::yield();
  const int kept = TrimHistory(*common_, log_);
  worker.join();
  ASSERT_GT(kept, 0);

  // The rows that survive are one unbroken run that ends with the last row.
  std::istringstream in(FileText(log_.forwardingLogPath()));
  std::vector<int> rows;
  for (std::string line; std::getline(in, line);) {
    const size_t at = line.find(";row ");
    if (at != std::string::npos) rows.push_back(std::stoi(line.substr(at + 5)));
  }
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows.back(), 399);
  for (size_t i = 1; i < rows.size(); ++i) EXPECT_EQ(rows[i], rows[i - 1] + 1);
}

TEST_F(HistoryTest, MissingHistoryIsNotCreated) {
  EXPECT_EQ(TrimHistory(*common_, log_), -1);
  EXPECT_FALSE(platform::FileExists(log_.forwardingLogPath()));
}

}  // namespace
}  // namespace velnora
