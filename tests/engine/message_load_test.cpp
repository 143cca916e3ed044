// Loading the files the POP3 client writes: the RETR response as received,
// dot-stuffed and ended by a "." line.
#include "engine/message/message_load.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <memory>

#include "config/account_settings.h"
#include "config/common_settings.h"
#include "engine/message/header_parse.h"
#include "platform/codepage.h"
#include "support/recording_reporter.h"
#include "support/temp_folder.h"

namespace velnora {
namespace {

struct StuffingCase {
  const char* received;
  const char* loaded;
};

class DotStuffingTest : public ::testing::TestWithParam<StuffingCase> {};

TEST_P(DotStuffingTest, GivesTheTextAsWritten) {
  std::string text = GetParam().received;
  text.resize(RemoveDotStuffing(text.data(), text.size()));
  EXPECT_EQ(text, GetParam().loaded);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DotStuffingTest,
    ::testing::Values(StuffingCase{"a\r\n..b\r\n.\r\n", "a\r\n.b\r\n"},
                      StuffingCase{"..\r\n.\r\n", ".\r\n"},  // a line of one dot
                      StuffingCase{"...x\r\n", "..x\r\n"},
                      StuffingCase{"a..b\r\n.x\r\n", "a..b\r\n.x\r\n"},
                      StuffingCase{"a\r\n.\r\nafter\r\n", "a\r\n"},
                      StuffingCase{"a\r\n.", "a\r\n"},
                      // Only a "." line after CR LF ends the text: after a
                      // bare LF it is the sender's.
                      StuffingCase{"a\n.\n", "a\n.\n"},
                      StuffingCase{"a\n.\r\nb\r\n.\r\n", "a\n.\r\nb\r\n"},
                      StuffingCase{"a\r\n.\n..b\r\n.\r\n", "a\r\n.\n.b\r\n"},
                      StuffingCase{"a\r\n.\r", "a\r\n"},
                      StuffingCase{"a\r.\r\n", "a\r.\r\n"},  // a lone CR ends no line
                      StuffingCase{"", ""}));

class MessageLoadTest : public ::testing::Test {
 protected:
  MessageLoadTest()
      : common_(std::make_unique<CommonSettings>()),
        account_(std::make_unique<AccountSettings>()),
        log_(reporter_, *common_, folder_.File("velnora_.log"),
             folder_.File("velnora_session.log")) {
    account_->accountNumber = 1;
    std::strcpy(account_->accountName, "Home");
  }

  std::string Write(const std::string& name, const std::string& content) {
    std::string path = folder_.File(name);
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }

  testing::TempFolder folder_;
  testing::RecordingReporter reporter_;
  std::unique_ptr<CommonSettings> common_;
  std::unique_ptr<AccountSettings> account_;
  ActivityLog log_;
};

TEST_F(MessageLoadTest, BodyIsTheMessageAsItsSenderWroteIt) {
  const std::string file =
      "+OK 60 octets\r\nSubject: dots\r\n\r\n..leading dot\r\n..\r\nlast\r\n..\r\n.\r\n";
  MailMessage m;
  ASSERT_EQ(LoadMessageFile(Write("$vnrmail1.vnr", file), m, log_, *account_),
            LoadStatus::Loaded);
  EXPECT_EQ(m.fileSize, static_cast<int32_t>(file.size()));
  EXPECT_EQ(m.buffer.size(), 1048576u);
  ParseMailContent(m);
  EXPECT_EQ(m.subject, "Subject: dots");
  // The sender's last line really is a dot; only the end line is gone.
  EXPECT_EQ(m.Body(), ".leading dot\r\n.\r\nlast\r\n.\r\n");
  EXPECT_TRUE(reporter_.rows.empty());
}

// A NUL (never valid in mail) cannot hide the rest of the message from the
// stages that read the text up to its terminator.
TEST_F(MessageLoadTest, NulBytesBecomeBlanksSoNothingAfterThemIsLost) {
  MailMessage m;
  const std::string file("+OK\r\nSubject: n\0ul\r\n\r\nbefore\0after\r\n--b\r\nattached\r\n.\r\n", 54);
  ASSERT_EQ(LoadMessageFile(Write("n.vnr", file), m, log_, *account_), LoadStatus::Loaded);
  ParseMailContent(m);
  EXPECT_EQ(m.subject, "Subject: n ul");
  EXPECT_EQ(m.Body(), "before after\r\n--b\r\nattached\r\n");
}

TEST_F(MessageLoadTest, EndLineIsDroppedAlsoWithoutBlankLine) {
  MailMessage m;
  ASSERT_EQ(LoadMessageFile(Write("m.vnr", "+OK\r\nSubject: x\r\n.\r\n"), m, log_, *account_),
            LoadStatus::Loaded);
  ParseMailContent(m);
  EXPECT_EQ(m.body, nullptr);
  EXPECT_EQ(m.Header(), std::string_view("+OK\0\nSubject: x\r\n", 17));
}

TEST_F(MessageLoadTest, LargeFileGetsTwiceItsSize) {
  std::string file = "Subject: big\r\n\r\n";
  file.resize(600000, 'x');
  MailMessage m;
  ASSERT_EQ(LoadMessageFile(Write("big.vnr", file), m, log_, *account_), LoadStatus::Loaded);
  EXPECT_EQ(m.buffer.size(), 1200000u);
  ParseMailContent(m);
  EXPECT_EQ(m.Body().size(), 600000u - 16);
  EXPECT_EQ(m.bodyCapacity, 1200000u - 16);
}

TEST_F(MessageLoadTest, MissingOrEmptyFileIsReportedAndReturned) {
  const std::string& text = SJIS(
      u8"エラー：テンポラリファイルがありません。（他のウイルスチェッカが削除したかも知れません。）");
  MailMessage m;
  EXPECT_EQ(LoadMessageFile(folder_.File("none.vnr"), m, log_, *account_), LoadStatus::Missing);
  EXPECT_EQ(LoadMessageFile(Write("empty.vnr", ""), m, log_, *account_), LoadStatus::Missing);
  EXPECT_TRUE(m.buffer.empty());
  ASSERT_EQ(reporter_.rows.size(), 2u);
  EXPECT_EQ(reporter_.rows[0].code, 4);
  EXPECT_EQ(reporter_.rows[0].columns[3], text);
  EXPECT_EQ(reporter_.rows[0].columns[1], "1 : Home");
  ASSERT_EQ(reporter_.statuses.size(), 2u);
  EXPECT_EQ(reporter_.statuses[0].first, text);
  EXPECT_EQ(reporter_.statuses[0].second, 5);
}

TEST_F(MessageLoadTest, LoadingReplacesThePreviousMessage) {
  MailMessage m;
  ASSERT_EQ(LoadMessageFile(Write("a.vnr", "Subject: first\r\n\r\nA"), m, log_, *account_),
            LoadStatus::Loaded);
  ParseMailContent(m);
  m.resultCode = Category::FromFiltered;
  ASSERT_EQ(LoadMessageFile(Write("b.vnr", "To: t\r\n\r\nB"), m, log_, *account_),
            LoadStatus::Loaded);
  EXPECT_EQ(m.resultCode, Category::Forwarded);
  EXPECT_TRUE(m.subject.empty());
  ParseMailContent(m);
  EXPECT_EQ(m.Body(), "B");
}

}  // namespace
}  // namespace velnora
