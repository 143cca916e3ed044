// The address lines of the forwarded header: To, the originator lines
// (Sender, From, Reply-To) and Cc, each switched and rewritten by the
// account's options.
#pragma once

#include <string>
#include <string_view>

namespace velnora {

struct AccountSettings;
struct MailMessage;

// What the originator rules need to know about the message at hand.
struct OriginatorFacts {
  std::string_view fromLine;  // unfolded, without line end; empty without From
  bool senderReplaced = false;  // fromIsMe or the sender is on the replacement list
};

// "To: ...\r\n", or "" when dropped or absent.
std::string ToLine(const MailMessage& message, const AccountSettings& account);

// From, Sender and Reply-To lines in their order.
std::string OriginatorLines(const MailMessage& message, const AccountSettings& account,
                            const OriginatorFacts& facts);

// "Cc: ...\r\n" with the destinations added when the account asks for it.
std::string CcLine(const MailMessage& message, const AccountSettings& account);

}  // namespace velnora
