// Mail that must not be forwarded because forwarding it could loop or is
// not wanted: delivery failure reports, read receipts, and mail that comes
// from the destinations or from the account's own address.
#pragma once

#include "config/account_settings.h"
#include "engine/message/mail_message.h"

namespace velnora {

// Content-Type of a read receipt (tested with blanks and quotes ignored).
bool IsReadReceipt(const MailMessage& message);

// 1 go on; 0 stop with code 1 (a read receipt not wanted, a delivery status
// report, or a subject that begins like a failure report).
int Filter_ReturnedMail(MailMessage& message, const AccountSettings& account);

// 1 go on; 0 stop with code 9 when, with noForwardFromDest, a destination
// address occurs in the From line.
int Filter_Address_Bounce(MailMessage& message, const AccountSettings& account);

// 1 go on; 0 stop with code 9 when, with noForwardFromMe, the own address
// occurs in the From line.
int Filter_Address_Bounce_FromMe(MailMessage& message, const AccountSettings& account);

}  // namespace velnora
