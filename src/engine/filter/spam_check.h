// The spam switches of the Antispam page: missing header lines, and mail
// that is not addressed to the account's own address.
#pragma once

#include "config/account_settings.h"
#include "engine/message/mail_message.h"

namespace velnora {

// Filter modes (`filterMode`).
inline constexpr int kFilterAnyStops = 0;     // a) any condition matches: not forwarded
inline constexpr int kFilterAnyForwards = 1;  // b) any condition matches: forwarded
inline constexpr int kFilterAllStop = 2;      // c) every condition matches: not forwarded
inline constexpr int kFilterAllForward = 3;   // d) every condition matches: forwarded

// Whether the message counts as spam under the account's mode: in mode a
// when any switched-on condition holds; in mode c when every switched-on
// condition holds (and always when none is switched on); never in b and d.
bool SpamCheck(const MailMessage& message, const AccountSettings& account);

}  // namespace velnora
