// Activity rows, forwarding-log lines and the session log, checked through
// the rows a Reporter receives and the bytes that reach the files.
#include "report/activity_log.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>
#include <thread>
#include <vector>

#include "config/account_settings.h"
#include "config/common_settings.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "support/recording_reporter.h"
#include "support/temp_folder.h"
#include "support/test_text.h"

namespace velnora {
namespace {

using testing::FileText;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t lf; (lf = text.find('\n', start)) != std::string::npos; start = lf + 1) {
    lines.push_back(text.substr(start, lf - start));
  }
  return lines;
}

class ActivityLogTest : public ::testing::Test {
 protected:
  ActivityLogTest()
      : common_(std::make_unique<CommonSettings>()),
        account_(std::make_unique<AccountSettings>()),
        log_(reporter_, *common_, folder_.File("velnora_.log"),
             folder_.File("velnora_session.log")) {
    account_->accountNumber = 3;
    std::strcpy(account_->accountName, "Office");
    std::strcpy(account_->popUser, "alice");
  }

  std::vector<std::string> LogLines() { return Lines(FileText(log_.forwardingLogPath())); }

  testing::TempFolder folder_;
  testing::RecordingReporter reporter_;
  std::unique_ptr<CommonSettings> common_;
  std::unique_ptr<AccountSettings> account_;
  ActivityLog log_;
};

TEST_F(ActivityLogTest, EventRowAndLogLineCarryTheAccountWithItsNumber) {
  log_.AddActivity("connect;failed\r\n", Category::ServerReply, account_.get());
  std::strcpy(account_->accountName, "");
  log_.AddActivity("second", Category::ServerNotice, account_.get());
  log_.AddActivity("", Category::Information, nullptr);

  ASSERT_EQ(reporter_.rows.size(), 3u);
  const ActivityRow& first = reporter_.rows[0];
  EXPECT_EQ(first.row, 0);
  EXPECT_EQ(first.code, 20);
  EXPECT_EQ(first.columns[0], "Info");
  EXPECT_EQ(first.columns[1], "3 : Office");
  EXPECT_EQ(first.columns[3], "connect,failed  ");
  EXPECT_EQ(first.columns[4], "(Velnora System)");
  EXPECT_EQ(first.columns[5], " ");
  EXPECT_EQ(reporter_.rows[1].columns[1], "3 : (alice)");
  EXPECT_EQ(reporter_.rows[2].columns[1], "");
  EXPECT_EQ(reporter_.rows[2].columns[3], "");

  auto lines = LogLines();
  ASSERT_EQ(lines.size(), 3u);
  const std::string& time = first.columns[2];
  EXPECT_EQ(lines[0], "V1;20;Info;" + time + ";connect,failed  ;(Velnora System); ; ;3 : Office;");
  EXPECT_EQ(lines[1], "V1;4;Info;" + reporter_.rows[1].columns[2] +
                          ";second;(Velnora System); ; ;3 : (alice);");
  EXPECT_EQ(lines[2], "V1;3;Info;" + reporter_.rows[2].columns[2] + ";;(Velnora System); ; ;;");
}

TEST_F(ActivityLogTest, ServerTextReachesTheLogWithItsControlsVisible) {
  log_.AddActivity("-ERR \x1B]2;owned\x07\x1B[2J\x1B[1;1Hbye", Category::ServerReply, account_.get());
  auto lines = LogLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "V1;20;Info;" + reporter_.rows[0].columns[2] +
                          ";-ERR ^[]2,owned^G^[[2J^[[1,1Hbye;(Velnora System); ; ;3 : Office;");
}

TEST_F(ActivityLogTest, RowTimeIsTheListStamp) {
  log_.AddActivity("x", Category::Information, nullptr);
  ASSERT_EQ(reporter_.rows.size(), 1u);
  EXPECT_TRUE(std::regex_match(reporter_.rows[0].columns[2],
                               std::regex(R"(\d\d/\d\d/\d\d \d\d:\d\d)")))
      << reporter_.rows[0].columns[2];
}

TEST_F(ActivityLogTest, TheRowAfterTheLimitClearsTheListButNotTheFile) {
  for (int i = 0; i < 3000; ++i) log_.AddActivity("row " + std::to_string(i), Category::Information, nullptr);
  EXPECT_EQ(reporter_.clears, 0);
  log_.AddActivity("row 3000", Category::Information, nullptr);

  EXPECT_EQ(reporter_.clears, 1);
  ASSERT_EQ(reporter_.rows.size(), 3002u);
  const ActivityRow& notice = reporter_.rows[3000];
  EXPECT_EQ(notice.row, 0);
  EXPECT_EQ(notice.code, 3);
  EXPECT_EQ(notice.columns[3],
            SJIS(u8"ログが3000を越えたため、ウィンドウ上のリストをクリアしました。"));
  EXPECT_EQ(reporter_.rows[3001].row, 1);
  EXPECT_EQ(reporter_.rows[3001].columns[3], "row 3000");
  EXPECT_EQ(log_.rowCount(), 2);

  auto lines = LogLines();
  ASSERT_EQ(lines.size(), 3002u);
  EXPECT_NE(lines[3000].find(notice.columns[3]), std::string::npos);
  EXPECT_NE(lines[3001].find(";row 3000;"), std::string::npos);
}

struct HistoryFilterCase {
  int code;
  bool noDuplicates;
  bool noErrors;
  bool written;
};

class EventHistoryFilterTest : public ActivityLogTest,
                               public ::testing::WithParamInterface<HistoryFilterCase> {};

TEST_P(EventHistoryFilterTest, DecidesWhetherTheEventReachesTheFile) {
  const auto& c = GetParam();
  common_->noHistoryForDuplicates = c.noDuplicates;
  common_->noHistoryForErrors = c.noErrors;
  log_.AddActivity("text", static_cast<Category>(c.code), nullptr);
  EXPECT_EQ(reporter_.rows.size(), 1u);  // always shown
  EXPECT_EQ(LogLines().size(), c.written ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Codes, EventHistoryFilterTest,
                         ::testing::Values(HistoryFilterCase{3, false, false, true},
                                           HistoryFilterCase{3, false, true, false},
                                           HistoryFilterCase{4, false, true, false},
                                           HistoryFilterCase{20, false, true, false},
                                           HistoryFilterCase{21, false, true, false},
                                           HistoryFilterCase{22, false, true, false},
                                           HistoryFilterCase{1, false, true, true},
                                           HistoryFilterCase{23, false, true, true},
                                           HistoryFilterCase{5, true, false, false},
                                           HistoryFilterCase{5, false, true, true},
                                           HistoryFilterCase{20, true, false, true}));

TEST_F(ActivityLogTest, RowIsShownWhenTheLogCannotBeOpened) {
  ActivityLog broken(reporter_, *common_, folder_.File("missing/velnora_.log"),
                     folder_.File("velnora_session.log"));
  broken.SetOpenRetry(2, 1);
  broken.AddActivity("still shown", Category::ServerNotice, nullptr);
  ASSERT_EQ(reporter_.rows.size(), 1u);
  EXPECT_EQ(reporter_.rows[0].columns[3], "still shown");
  EXPECT_FALSE(broken.SyncForwardingLog());
  EXPECT_FALSE(platform::FileExists(folder_.File("missing/velnora_.log")));
}

TEST_F(ActivityLogTest, SyncForwardingLogKeepsTheLines) {
  log_.AddActivity("kept", Category::Information, nullptr);
  EXPECT_TRUE(log_.SyncForwardingLog());
  EXPECT_EQ(LogLines().size(), 1u);
}

// ---- message rows ----

MessageActivity Message(std::string_view subject, std::string_view from, std::string_view to) {
  MessageActivity m;
  m.fileSize = 1234;
  m.statCount = 7;
  m.subject = subject;
  m.from = from;
  m.to = to;
  m.messageId = "Message-ID: <abc@example.jp>";
  m.date = "Date: Tue, 08 Dec 2026 10:00:00 +0900";
  return m;
}

TEST_F(ActivityLogTest, MessageRowColumnsAndLogLine) {
  log_.AddMessageActivity(Message("Subject: Hello;you\r\n\tthere", "From: Bob <bob@example.jp>",
                                  "To: alice@example.jp"),
                          *account_);
  ASSERT_EQ(reporter_.rows.size(), 1u);
  const ActivityRow& row = reporter_.rows[0];
  EXPECT_EQ(row.code, 0);
  EXPECT_EQ(row.columns[0], "1234(7)");
  EXPECT_EQ(row.columns[1], "3 : Office");
  EXPECT_EQ(row.columns[3], "Hello,you   there");
  EXPECT_EQ(row.columns[4], "Bob <bob@example.jp>");
  EXPECT_EQ(row.columns[5], "alice@example.jp");

  auto lines = LogLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "V1;0;1234(7);" + row.columns[2] +
                          ";Hello,you   there;Bob <bob@example.jp>;alice@example.jp;"
                          " <abc@example.jp>;Office;");
}

TEST_F(ActivityLogTest, MessageLogLineUsesThePopUserForAnUnnamedAccount) {
  std::strcpy(account_->accountName, "");
  MessageActivity m = Message("Subject: s", "From: f@x", "To: t@x");
  m.statCount = -1;
  log_.AddMessageActivity(m, *account_);
  ASSERT_EQ(reporter_.rows.size(), 1u);
  EXPECT_EQ(reporter_.rows[0].columns[0], "1234(----)");
  EXPECT_EQ(reporter_.rows[0].columns[1], "3 : (alice)");
  auto lines = LogLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(lines[0].ends_with("; <abc@example.jp>;(alice);")) << lines[0];
}

struct ColumnCase {
  const char* subject;
  const char* from;
  const char* to;
  const char* shownSubject;
  const char* shownFrom;
  const char* shownTo;
};

class MessageColumnTest : public ActivityLogTest,
                          public ::testing::WithParamInterface<ColumnCase> {};

TEST_P(MessageColumnTest, ShortOrEmptyHeadersShowPlaceholders) {
  const auto& c = GetParam();
  log_.AddMessageActivity(Message(c.subject, c.from, c.to), *account_);
  ASSERT_EQ(reporter_.rows.size(), 1u);
  EXPECT_EQ(reporter_.rows[0].columns[3], c.shownSubject);
  EXPECT_EQ(reporter_.rows[0].columns[4], c.shownFrom);
  EXPECT_EQ(reporter_.rows[0].columns[5], c.shownTo);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, MessageColumnTest,
    ::testing::Values(ColumnCase{"", "", "", "(No Subject)", "(none)", "(none)"},
                      ColumnCase{"Subject:", "From:", "To:", "(No Subject)", "(none)", "(none)"},
                      ColumnCase{"Subject: ", "From: ", "To: ", "(No Subject)", "(none)", "(none)"},
                      ColumnCase{"Subject:x", "From:x", "To:x", "x", "(none)", "(none)"},
                      ColumnCase{"Subject:xy", "From:xy", "To:xy", "xy", "xy", "xy"},
                      ColumnCase{"Subject: x", "From: xy", "To: x", "x", "xy", "x"},
                      ColumnCase{"Subject:  x", "From:  x", "To:  x", " x", " x", " x"},
                      ColumnCase{"subject: low", "FROM: up", "tO: mixed", "low", "up", "mixed"}));

TEST_F(ActivityLogTest, EncodedWordsAreShownInTheLocalCodePage) {
  log_.AddMessageActivity(Message("Subject: =?ISO-2022-JP?B?GyRCJUYlOSVIGyhC?=",
                                  "From: =?UTF-8?B?5bGx55Sw?= <y@example.jp>",
                                  "To: =?utf-8?b?5Lu25ZCNO+OBp+OBmQ==?="),
                          *account_);
  ASSERT_EQ(reporter_.rows.size(), 1u);
  EXPECT_EQ(reporter_.rows[0].columns[3], SJIS(u8"テスト"));
  EXPECT_EQ(reporter_.rows[0].columns[4], SJIS(u8"山田") + " <y@example.jp>");
  EXPECT_EQ(reporter_.rows[0].columns[5], SJIS(u8"件名,です"));  // decoded, then sanitised
  auto lines = LogLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find(";" + SJIS(u8"件名,です") + ";"), std::string::npos);
}

struct CategoryCase {
  int resultCode;
  bool deleteAfterForward;
  bool spamEraser;
  int shown;
};

class MessageCategoryTest : public ActivityLogTest,
                            public ::testing::WithParamInterface<CategoryCase> {};

TEST_P(MessageCategoryTest, SpamEraserTurnsForwardedCodesIntoDeleted) {
  const auto& c = GetParam();
  account_->deleteAfterForward = c.deleteAfterForward;
  account_->spamEraser = c.spamEraser;
  MessageActivity m = Message("Subject: s", "From: f@x", "To: t@x");
  m.resultCode = static_cast<Category>(c.resultCode);
  log_.AddMessageActivity(m, *account_);
  ASSERT_EQ(reporter_.rows.size(), 1u);
  EXPECT_EQ(reporter_.rows[0].code, c.shown);
  auto lines = LogLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(lines[0].starts_with("V1;" + std::to_string(c.shown) + ";")) << lines[0];
}

INSTANTIATE_TEST_SUITE_P(Codes, MessageCategoryTest,
                         ::testing::Values(CategoryCase{0, true, true, 23},
                                           CategoryCase{2, true, true, 23},
                                           CategoryCase{7, true, true, 23},
                                           CategoryCase{0, true, false, 0},
                                           CategoryCase{0, false, true, 0},
                                           CategoryCase{5, true, true, 5},
                                           CategoryCase{16, true, true, 16}));

TEST_F(ActivityLogTest, DuplicateMessagesStayOutOfTheHistoryWhenAsked) {
  common_->noHistoryForDuplicates = 1;
  common_->noHistoryForErrors = 1;
  MessageActivity m = Message("Subject: s", "From: f@x", "To: t@x");
  m.resultCode = Category::Duplicate;
  log_.AddMessageActivity(m, *account_);
  m.resultCode = Category::ServerReply;  // only events are held back as errors
  log_.AddMessageActivity(m, *account_);
  EXPECT_EQ(reporter_.rows.size(), 2u);
  auto lines = LogLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(lines[0].starts_with("V1;20;"));
}

TEST_F(ActivityLogTest, MessageWithoutMessageIdIsRecordedByDateSubjectAndFrom) {
  MessageActivity m = Message("Subject: a;b", "From: f@x", "To: t@x");
  m.messageId = "Message-ID: x";  // 13 bytes: too short to identify
  log_.AddMessageActivity(m, *account_);
  m.messageId = {};
  log_.AddMessageActivity(m, *account_);
  auto lines = LogLines();
  ASSERT_EQ(lines.size(), 2u);
  const std::string key = ";VNRID-Date: Tue, 08 Dec 2026 10:00:00 +0900Subject: a,bFrom: f@x;";
  EXPECT_NE(lines[0].find(key), std::string::npos) << lines[0];
  EXPECT_NE(lines[1].find(key), std::string::npos) << lines[1];
}

// ---- session log ----

TEST_F(ActivityLogTest, SessionLogDropsTraceLinesAndRepeats) {
  common_->sessionLog = 1;
  for (std::string_view text : {"POP3: a\r\n", "POP3: a\r\n", "####: trace\r\n", "POP3: b\r\n",
                                "POP3: a\r\n", "POP3: a\r\n"}) {
    log_.WriteSessionLog(text);
  }
  EXPECT_EQ(FileText(log_.sessionLogPath()), "POP3: a\r\nPOP3: b\r\nPOP3: a\r\n");
  EXPECT_EQ(reporter_.sessionLog.size(), 3u);
}

// Checks side by side write pieces of lines; each line comes out whole with
// its own check's tag, whatever the other wrote meanwhile.
TEST_F(ActivityLogTest, TaggedSessionTextsAreWrittenAsWholeLines) {
  common_->sessionLog = 1;
  log_.WriteTaggedSessionLog("[1] ", "POP3: opening socket..");
  log_.WriteTaggedSessionLog("[2] ", "POP3: USER b\r\nPOP3: PASS");
  log_.WriteTaggedSessionLog("[1] ", "socket=5\r\n");
  log_.WriteTaggedSessionLog("[2] ", " ****\r\n");
  EXPECT_EQ(FileText(log_.sessionLogPath()),
            "[2] POP3: USER b\r\n[1] POP3: opening socket..socket=5\r\n[2] POP3: PASS ****\r\n");
}

TEST_F(ActivityLogTest, SessionLogRemembersTextsWhileSwitchedOff) {
  log_.WriteSessionLog("SMTP: x\r\n");
  EXPECT_FALSE(platform::FileExists(log_.sessionLogPath()));
  common_->sessionLog = 1;
  log_.WriteSessionLog("SMTP: x\r\n");  // same as the previous text
  log_.WriteSessionLog("SMTP: y\r\n");
  EXPECT_EQ(FileText(log_.sessionLogPath()), "SMTP: y\r\n");
}

TEST_F(ActivityLogTest, SessionLogRefusesOverlongText) {
  common_->sessionLog = 1;
  log_.WriteSessionLog(std::string(65534, 'a'));
  log_.WriteSessionLog(std::string(65533, 'b'));
  EXPECT_EQ(FileText(log_.sessionLogPath()), std::string(65533, 'b'));
}

TEST_F(ActivityLogTest, LargeSessionLogIsRenamedAsideAtTheCheckingWrite) {
  common_->sessionLog = 1;
  const std::string aside = folder_.File("velnora_session_renamed.log");
  { std::ofstream(aside) << "old"; }
  { std::ofstream(log_.sessionLogPath()) << "start\r\n"; }
  std::filesystem::resize_file(log_.sessionLogPath(), 20971520);

  for (int i = 0; i < 50; ++i) log_.WriteSessionLog("line " + std::to_string(i) + "\r\n");
  EXPECT_FALSE(platform::FileExists(aside) && platform::FileSize(aside) > 3);
  EXPECT_TRUE(reporter_.rows.empty());

  log_.WriteSessionLog("line 50\r\n");
  EXPECT_GT(platform::FileSize(aside), 20971519);
  EXPECT_EQ(FileText(log_.sessionLogPath()), "line 50\r\n");
  ASSERT_EQ(reporter_.rows.size(), 1u);
  EXPECT_EQ(reporter_.rows[0].code, 3);
  EXPECT_EQ(reporter_.rows[0].columns[3], SJIS(u8"通信ログファイルをリネームして待避しました。"));
}

TEST_F(ActivityLogTest, SmallSessionLogIsKeptAtTheCheckingWrite) {
  common_->sessionLog = 1;
  for (int i = 0; i < 120; ++i) log_.WriteSessionLog("line " + std::to_string(i) + "\r\n");
  EXPECT_FALSE(platform::FileExists(folder_.File("velnora_session_renamed.log")));
  EXPECT_EQ(Lines(FileText(log_.sessionLogPath())).size(), 120u);
}

TEST_F(ActivityLogTest, TwoThreadsLoseNeitherRowsNorSessionLines) {
  common_->sessionLog = 1;
  auto work = [this](const std::string& who) {
    for (int i = 0; i < 300; ++i) {
      log_.AddActivity(who + std::to_string(i), Category::Information, nullptr);
      log_.WriteSessionLog(who + std::to_string(i) + "\r\n");
    }
  };
  std::thread worker(work, "worker ");
  work("window ");
  worker.join();

  EXPECT_EQ(LogLines().size(), 600u);
  EXPECT_EQ(Lines(FileText(log_.sessionLogPath())).size(), 600u);
  std::vector<bool> seen(600);
  for (const auto& row : reporter_.rows) {
    ASSERT_LT(row.row, 600);
    EXPECT_FALSE(seen[static_cast<size_t>(row.row)]) << "row index used twice: " << row.row;
    seen[static_cast<size_t>(row.row)] = true;
  }
}

TEST_F(ActivityLogTest, StatusGoesToTheReporter) {
  log_.SetStatus("ERROR: OpenRcvSession.", StatusIcon::Error);
  ASSERT_EQ(reporter_.statuses.size(), 1u);
  EXPECT_EQ(reporter_.statuses[0].first, "ERROR: OpenRcvSession.");
  EXPECT_EQ(reporter_.statuses[0].second, 5);
}

}  // namespace
}  // namespace velnora
