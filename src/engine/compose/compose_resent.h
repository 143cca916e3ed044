// The Resent-* lines that mark a message as forwarded by this account. A
// message whose sender is on the replacement list gets none: it reads as
// sent by the account itself.
#pragma once

#include <string>

namespace velnora {

struct AccountSettings;
struct ComposeStamps;
struct MailMessage;

// True when the account adds Resent-* lines to this message.
bool WantsResentLines(const AccountSettings& account, bool onReplaceList);

// Date line (unless dropped) and "Resent-Date:" after it; nothing for a
// message without Date.
std::string DateLines(const MailMessage& message, const AccountSettings& account,
                      bool onReplaceList, const ComposeStamps& stamps);

// Resent-Message-ID, Resent-Sender, Resent-From and Resent-To.
std::string ResentLines(const AccountSettings& account, bool onReplaceList,
                        const ComposeStamps& stamps);

}  // namespace velnora
