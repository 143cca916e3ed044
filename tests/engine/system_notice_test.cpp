// The mailbox-overflow notice byte for byte, and what it looks like on the
// wire: no stray end line, destinations as stored, no header broken by a
// line break in a settings text.
#include "engine/compose/system_notice.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/filter_test_support.h"
#include "platform/codepage.h"
#include "transport/smtp/smtp_data.h"

namespace velnora {
namespace {

using testing::SetText;

class SystemNoticeTest : public ::testing::Test {
 protected:
  SystemNoticeTest() : account(testing::BlankAccount()) {
    SetText(account->forwardTo, "a@x.jp   b@y.jp");
    SetText(account->myAddress, "me@example.jp");
    SetText(account->accountName, "Home");
    SetText(account->popUser, "taro");
    SetText(account->popServer, "pop.example.jp");
    stamp.resentDate = "Tue, 08 Dec 2026 19:05:09 +0900";
    stamp.compactStamp = "261208-100509";
    stamp.random = 0x0A3F;
  }
  std::unique_ptr<AccountSettings> account;
  NoticeStamp stamp;
};

TEST_F(SystemNoticeTest, ComposesTheWholeNotice) {
  const std::string expected =
      "no-reply@velnora.invalid\r\n"
      "Sender: Velnora-System <no-reply@velnora.invalid>\r\n"
      "From: Velnora-System <no-reply@velnora.invalid>\r\n"
      "To: a@x.jp   b@y.jp\r\n"
      "Resent-Date: Tue, 08 Dec 2026 19:05:09 +0900\r\n"
      "Resent-Message-ID: <261208-100509-0A3F-52000@velnora>\r\n"
      "Resent-From: me@example.jp\r\n"
      "Resent-To: a@x.jp   b@y.jp\r\n"
      "Subject: Velnora Mailbox Overflow Notification\r\n"
      "Content-Type: text/plain; charset = \"shift_jis\"\r\n"
      "Content-Transfer-Encoding: 8bit\r\n"
      "X-Mailer: Velnora (JP-400) V5.20.00 \r\n"
      "\r\n" +
      SJIS(u8"このメッセージは、Velnoraアプリから自動送信されています。\r\n\r\n"
           u8"----------------\r\n[メッセージ内容]\r\n"
           u8"メールボックスのメール数が、Velnoraの最大メール保持数設定(1000)を超えています。\r\n"
           u8"メール転送は、一時停止されています。\r\n"
           u8"メールボックスに保存されている古いメールを消去し、最大メール保持数を超えないようにしてください。\r\n"
           u8"最大メール保持数は、Velnora設定の「共通設定」で変更できます。\r\n"
           u8"\r\n----------------\r\n[メールボックス]\r\n") +
      "Velnora Account: Home\r\n"
      "User ID: taro\r\n"
      "POP Server: pop.example.jp\r\n";
  EXPECT_EQ(ComposeOverflowNotice(*account, OverflowReasonText(1000), stamp), expected);
}

TEST_F(SystemNoticeTest, OnTheWireTheLastLineIsTextAndTheEndLineComesOnce) {
  const std::string text = ComposeOverflowNotice(*account, OverflowReasonText(1000), stamp);
  EXPECT_EQ(ControlLineSender(text), "no-reply@velnora.invalid");
  std::string wire;
  ASSERT_TRUE(WriteDataText(
      SkipControlLine(text),
      [&](std::string_view piece, std::size_t) {
        wire += piece;
        return true;
      },
      [](std::string_view) {}));
  EXPECT_TRUE(wire.ends_with("POP Server: pop.example.jp\r\n.\r\n")) << wire.substr(wire.size() - 40);
  EXPECT_EQ(wire.find("\r\n..\r\n"), std::string::npos);
}

TEST_F(SystemNoticeTest, LineBreakInASettingsTextCannotAddHeaderLines) {
  SetText(account->forwardTo, "a@x.jp\r\nBcc: intruder@z.jp");
  const std::string text = ComposeOverflowNotice(*account, OverflowReasonText(1000), stamp);
  EXPECT_NE(text.find("\r\nTo: a@x.jp\r\nResent-Date:"), std::string::npos);
  EXPECT_EQ(text.find("Bcc:"), std::string::npos);
}

TEST(SystemNoticeStampTest, StampOfNowHasTheDocumentedShapes) {
  const NoticeStamp stamp = NoticeStampNow();
  ASSERT_EQ(stamp.compactStamp.size(), 13u);
  EXPECT_EQ(stamp.compactStamp[6], '-');
  EXPECT_NE(stamp.resentDate.find(", "), std::string::npos);
}

}  // namespace
}  // namespace velnora
