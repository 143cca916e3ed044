#include "report/log_fields.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include "config/account_settings.h"
#include "platform/codepage.h"

namespace velnora {
namespace {

TEST(LogFieldsTest, CategoryTexts) {
  EXPECT_EQ(CategoryText(0), SJIS(u8"全てそのまま転送済み"));
  EXPECT_EQ(CategoryText(5), SJIS(u8"二重転送制限で未転送"));
  EXPECT_EQ(CategoryText(12), SJIS(u8"Subject(件名)制限で未転送"));
  EXPECT_EQ(CategoryText(22), SJIS(u8"SMTP 552エラー"));
  EXPECT_EQ(CategoryText(23), SJIS(u8"スパム削除機能でメールを削除"));
  EXPECT_EQ(CategoryText(24), "");
  EXPECT_EQ(CategoryText(-1), "");
  EXPECT_EQ(CategoryText(99), "");
}

TEST(LogFieldsTest, SanitisingKeepsFieldsOnOneLine) {
  EXPECT_EQ(SanitizedLogField("a;b\tc\r\nd"), "a,b c  d");
  EXPECT_EQ(SanitizedLogField(";;"), ",,");
  // Shift_JIS text passes unchanged: no trail byte is a separator.
  const std::string japanese = SJIS(u8"表示；ソ");
  EXPECT_EQ(SanitizedLogField(japanese), japanese);
}

TEST(LogFieldsTest, ControlsAreWrittenAsCaretPairs) {
  const std::pair<std::string, std::string> cases[] = {
      {"550 \x1B[31mred\x1B[0m", "550 ^[[31mred^[[0m"},
      {"\x1B]0;title\x07rest", "^[]0,title^Grest"},
      {std::string("a\0b\x7F" "c\x1F", 6), "a^@b^?c^_"},
      {"\x08\x0B\x0C", "^H^K^L"},
      {SJIS(u8"表示\x1Bソ"), SJIS(u8"表示^[ソ")},
  };
  for (const auto& [raw, written] : cases) EXPECT_EQ(SanitizedLogField(raw), written) << raw;
}

TEST(LogFieldsTest, SyntheticIdTakesWholeLinesWhileTheyFit) {
  EXPECT_EQ(MakeSyntheticMessageId("Date: d", "Subject: s;x", "From: f\r\n g"),
            "VNRID-Date: dSubject: s,xFrom: f   g");
  // A piece goes in only while the result stays shorter than limit - 1:
  // "VNRID-abc" (9) does not, "VNRID-de" (8) does, and then "f" no longer fits.
  EXPECT_EQ(MakeSyntheticMessageId("abc", "de", "f", 10), "VNRID-de");
  EXPECT_EQ(MakeSyntheticMessageId("ab", "c", "d", 10), "VNRID-ab");
  EXPECT_EQ(MakeSyntheticMessageId(std::string(300, 'x'), "Subject: s", "From: f"),
            "VNRID-Subject: sFrom: f");
}

TEST(LogFieldsTest, MessageKeyPrefersTheMessageId) {
  EXPECT_EQ(MessageKey("Message-ID: <a@b>", "Date: d", "", ""), " <a@b>");
  EXPECT_EQ(MessageKey("Message-Id:<ab;c>", "Date: d", "", ""), "<ab,c>");
  EXPECT_EQ(MessageKey("Message-ID: x", "Date: d", "", ""), "VNRID-Date: d");  // 13 bytes
  EXPECT_EQ(MessageKey("", "Date: d", "Subject: s", "From: f"), "VNRID-Date: dSubject: sFrom: f");
  const std::string longId = "Message-ID: <" + std::string(5000, 'i') + ">";
  EXPECT_EQ(MessageKey(longId, "", "", "").size(), kMaxMessageIdLine - 11);
}

TEST(LogFieldsTest, AccountLabelFallsBackToTheUser) {
  auto account = std::make_unique<AccountSettings>();
  std::strcpy(account->popUser, "alice");
  EXPECT_EQ(AccountLabel(*account), "(alice)");
  std::strcpy(account->accountName, "Office");
  EXPECT_EQ(AccountLabel(*account), "Office");
}

}  // namespace
}  // namespace velnora
