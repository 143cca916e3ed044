#include "engine/compose/compose_body.h"

#include "config/account_settings.h"
#include "convert/charset_code.h"
#include "engine/compose/compose_content.h"
#include "engine/message/mail_message.h"
#include "engine/compose/sender_info.h"
#include "platform/codepage.h"

namespace velnora {
namespace {

// The sender information is plain text. A Base64 body cannot take it (the
// line would shift every following group), and a Unicode body would get it
// in the wrong character set.
bool WantsSenderInfo(const MailMessage& message, const AccountSettings& account) {
  return account.fromIsMe && !account.noOriginalSenderInfo &&
         message.contentCharset != charset::kUtf7 && message.contentCharset != charset::kUtf8 &&
         message.bodyEncoding != transfer::kBase64;
}

}  // namespace

bool HasHighBitByte(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  }
  return false;
}

std::string OrdinaryBody(const MailMessage& message, const AccountSettings& account,
                         const ConvertOptions& options,
                         const std::optional<std::string>& statusReport) {
  std::string out;
  if (WantsSenderInfo(message, account)) {
    out += SenderInfoLine(message, account, 0, message.contentCharset, options);
    out += kSenderInfoRule;
  }
  if (message.partLayout == layout::kPartial && account.dropSplitBodies) {
    out += SJIS(u8"(分割メールのため本文は削除されました)") + "\r\n";
  } else if (statusReport) {
    out += *statusReport + "\r\n";
  } else {
    const std::string_view body = message.OutgoingBody();
    out.reserve(out.size() + body.size() + 2);
    out += body;
    out += "\r\n";
  }
  return out;
}

}  // namespace velnora
