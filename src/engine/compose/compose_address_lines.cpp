#include "engine/compose/compose_address_lines.h"

#include "config/account_settings.h"
#include "engine/compose/compose_addresses.h"
#include "engine/compose/compose_header_text.h"
#include "engine/message/mail_message.h"
#include "transport/field_text.h"

namespace velnora {
namespace {

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  return s;
}

// A received address line completed with the own domain, or as received;
// reduced to bare addresses when the account strips display names.
std::string AddressLine(std::string_view line, const AccountSettings& account,
                        std::string_view name, std::size_t keep) {
  std::string out;
  if (account.addMyDomain) {
    out = JoinFolds(AddDomainToAddresses(line, OwnDomain(FieldText(account.myAddress)), name));
  } else {
    out = line;
  }
  if (account.stripAddressComments) out = StripAddressInfo(out, keep);
  return out;
}

std::string ReplyToLine(const MailMessage& message, const AccountSettings& account,
                        std::string_view fromLine) {
  if (account.dropReplyToHeader) return {};
  if (!message.replyTo.empty()) {
    std::string line(WithoutLineEnd(message.replyTo));
    if (account.stripAddressComments) line = StripAddressInfo(line, kKeepReplyTo);
    return FoldSafe(line) + "\r\n";
  }
  if (fromLine.empty()) return {};
  std::string value(AfterHeaderName(fromLine));
  if (account.stripAddressComments) value = StripAddressInfo(value, kKeepValue);
  return "Reply-To:" + FoldSafe(value) + "\r\n";
}

}  // namespace

std::string ToLine(const MailMessage& message, const AccountSettings& account) {
  if (account.dropToHeader) return {};
  if (account.toIsFirstDest) {
    std::string first(FirstDestination(FieldText(account.forwardTo)));
    if (account.stripAddressComments) first = TrimLeft(StripAddressInfo(first, kKeepValue));
    return "To: " + FoldSafe(first) + "\r\n";
  }
  if (message.to.empty()) return {};
  return FoldSafe(AddressLine(WithoutLineEnd(message.to), account, "To:", kKeepToCc)) + "\r\n";
}

std::string OriginatorLines(const MailMessage& message, const AccountSettings& account,
                            const OriginatorFacts& facts) {
  const std::string_view myAddress = FieldText(account.myAddress);
  std::string out;
  if (facts.senderReplaced) {
    if (!account.dropFromHeader) out += "From: <" + std::string(myAddress) + ">\r\n";
    return out + ReplyToLine(message, account, facts.fromLine);
  }
  if (!facts.fromLine.empty()) {
    std::string fromLine;
    std::string fromValue;
    if (account.addMyDomain) {
      fromLine = AddressLine(facts.fromLine, account, "From:", kKeepFrom);
      fromValue = AfterHeaderName(fromLine);
    } else {
      fromLine = facts.fromLine;
      fromValue = AfterHeaderName(facts.fromLine);
      if (account.stripAddressComments) {
        fromLine = StripAddressInfo(fromLine, kKeepFrom);
        fromValue = StripAddressInfo(fromValue, kKeepValue);
      }
    }
    // Sender names the original sender (completed or as received) or the
    // own address, as the pair addMyDomain / senderIsFrom selects.
    const bool valueAsSender = account.addMyDomain ? account.senderIsFrom != 0
                                                   : account.senderIsFrom == 0;
    if (!account.dropSenderHeader) {
      out += valueAsSender ? "Sender:" + FoldSafe(fromValue) + "\r\n"
                           : "Sender: " + std::string(myAddress) + "\r\n";
    }
    if (!account.dropFromHeader) out += FoldSafe(fromLine) + "\r\n";
  }
  return out + ReplyToLine(message, account, facts.fromLine);
}

std::string CcLine(const MailMessage& message, const AccountSettings& account) {
  if (account.dropCcHeader) return {};
  const std::string destinations = DestinationList(FieldText(account.forwardTo));
  if (message.cc.empty()) {
    return account.ccAllDests ? "Cc: " + destinations + "\r\n" : std::string();
  }
  std::string_view received = WithoutLineEnd(message.cc);
  if (!received.empty() && received.back() == ',') received.remove_suffix(1);
  if (!received.empty() && received.back() == ' ') received.remove_suffix(1);
  std::string line = AddressLine(received, account, "Cc:", kKeepToCc);
  if (account.ccAllDests) {
    if (!line.empty() && line.back() == ',') line += " " + destinations;
    else if (account.addMyDomain && line.size() >= 2 && line[line.size() - 2] == ',') line += destinations;
    else line += ", " + destinations;
  }
  return FoldSafe(line) + "\r\n";
}

}  // namespace velnora
