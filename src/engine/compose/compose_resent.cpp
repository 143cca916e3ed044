#include "engine/compose/compose_resent.h"

#include <cstdio>

#include "config/account_settings.h"
#include "engine/compose/compose_addresses.h"
#include "engine/compose/compose_header_text.h"
#include "engine/compose/compose_input.h"
#include "engine/message/mail_message.h"
#include "transport/field_text.h"

namespace velnora {

bool WantsResentLines(const AccountSettings& account, bool onReplaceList) {
  return account.addResentHeaders && !onReplaceList;
}

std::string DateLines(const MailMessage& message, const AccountSettings& account,
                      bool onReplaceList, const ComposeStamps& stamps) {
  if (message.date.empty()) return {};
  std::string out;
  if (!account.dropDateHeader) out += HeaderLine(message.date);
  if (WantsResentLines(account, onReplaceList)) out += "Resent-Date: " + stamps.resentDate + "\r\n";
  return out;
}

std::string ResentLines(const AccountSettings& account, bool onReplaceList,
                        const ComposeStamps& stamps) {
  if (!WantsResentLines(account, onReplaceList)) return {};
  char tag[8];
  std::snprintf(tag, sizeof tag, "%04X", static_cast<unsigned>(stamps.randomTag));
  const std::string myAddress(FieldText(account.myAddress));
  std::string out = "Resent-Message-ID: <" + stamps.compactStamp + "-" + tag + "-" +
                    kVersionDigits + kMessageIdDomain + ">\r\n";
  out += "Resent-Sender: " + myAddress + "\r\n";
  out += "Resent-From: " + myAddress + "\r\n";
  out += "Resent-To: " + ResentToList(FieldText(account.forwardTo)) + "\r\n";
  return out;
}

}  // namespace velnora
