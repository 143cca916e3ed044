// The one mail the program writes itself: the notice to an account's
// destinations that its mailbox holds more mails than the program keeps
// track of, so that forwarding of the account has stopped.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "config/account_settings.h"

namespace velnora {

// The program's own sender: a no-reply address on a reserved domain, which
// no answer can reach, and its display name.
inline constexpr char kSystemAddress[] = "no-reply@velnora.invalid";
inline constexpr char kSystemName[] = "Velnora-System";

// The time-dependent parts of the notice, given by the caller so that the
// text can be reproduced.
struct NoticeStamp {
  std::string resentDate;    // mail date in local time with the zone
  std::string compactStamp;  // "yymmdd-hhmmss" in UTC
  uint16_t random = 0;       // the four hex digits of Resent-Message-ID
};

// The stamp of this moment.
NoticeStamp NoticeStampNow();

// "メールボックスのメール数が、Velnoraの最大メール保持数設定(n)を超えています。"
std::string OverflowReasonText(int maxHeldMails);

// The complete notice as a message text for sending: the envelope sender
// line first, then the header, an empty line and the Shift_JIS body. It ends
// with its last text line; the sender adds the end-of-data line.
std::string ComposeOverflowNotice(const AccountSettings& account, std::string_view reasonText,
                                  const NoticeStamp& stamp);
inline std::string ComposeOverflowNotice(const AccountSettings& account,
                                         std::string_view reasonText) {
  return ComposeOverflowNotice(account, reasonText, NoticeStampNow());
}

}  // namespace velnora
