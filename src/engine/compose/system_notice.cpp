#include "engine/compose/system_notice.h"

#include <cstdio>
#include <utility>

#include "engine/compose/compose.h"
#include "platform/codepage.h"
#include "transport/field_text.h"

namespace velnora {
namespace {

// Settings texts go into header lines: a line break in one would end the
// header early, so they are taken up to the first CR or LF.
std::string_view OneLine(std::string_view text) {
  return text.substr(0, text.find_first_of("\r\n"));
}

}  // namespace

NoticeStamp NoticeStampNow() {
  ComposeStamps now = CurrentStamps();
  return {std::move(now.resentDate), std::move(now.compactStamp), now.randomTag};
}

std::string OverflowReasonText(int maxHeldMails) {
  char text[256];
  std::snprintf(text, sizeof text,
                SJIS(u8"メールボックスのメール数が、Velnoraの最大メール保持数設定(%d)を超えています。").c_str(),
                maxHeldMails);
  return text;
}

std::string ComposeOverflowNotice(const AccountSettings& account, std::string_view reasonText,
                                  const NoticeStamp& stamp) {
  const std::string_view forwardTo = OneLine(FieldText(account.forwardTo));
  const std::string system = std::string(kSystemName) + " <" + kSystemAddress + ">";
  char messageId[128];
  std::snprintf(messageId, sizeof messageId, "<%s-%04X-%s%s>", stamp.compactStamp.c_str(),
                stamp.random, "52000", "@velnora");

  std::string text;
  text += std::string(kSystemAddress) + "\r\n";
  text += "Sender: " + system + "\r\n";
  text += "From: " + system + "\r\n";
  text += "To: " + std::string(forwardTo) + "\r\n";
  text += "Resent-Date: " + std::string(OneLine(stamp.resentDate)) + "\r\n";
  text += "Resent-Message-ID: " + std::string(messageId) + "\r\n";
  text += "Resent-From: " + std::string(OneLine(FieldText(account.myAddress))) + "\r\n";
  text += "Resent-To: " + std::string(forwardTo) + "\r\n";
  text += "Subject: Velnora Mailbox Overflow Notification\r\n";
  text += "Content-Type: text/plain; charset = \"shift_jis\"\r\n";
  text += "Content-Transfer-Encoding: 8bit\r\n";
  text += "X-Mailer: Velnora (JP-400) V5.20.00 \r\n";
  text += "\r\n";
  text += SJIS(u8"このメッセージは、Velnoraアプリから自動送信されています。\r\n\r\n----------------\r\n[メッセージ内容]\r\n");
  text += reasonText;
  text += SJIS(u8"\r\nメール転送は、一時停止されています。\r\nメールボックスに保存されている古いメールを消去し、最大メール保持数を超えないようにしてください。\r\n最大メール保持数は、Velnora設定の「共通設定」で変更できます。\r\n");
  text += "\r\n----------------";
  text += SJIS(u8"\r\n[メールボックス]");
  text += "\r\nVelnora Account: " + std::string(FieldText(account.accountName));
  text += "\r\nUser ID: " + std::string(FieldText(account.popUser));
  text += "\r\nPOP Server: " + std::string(FieldText(account.popServer));
  text += "\r\n";
  return text;
}

}  // namespace velnora
