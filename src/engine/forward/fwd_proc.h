// The forwarding of one account: log in, find what is new, fetch it, then
// handle the fetched messages one by one (parse, filter, compose, send each
// in an SMTP session of its own), record what happened to each, and delete
// the forwarded ones from the server when the account asks for it.
//
// Nothing is lost on the way: a message that was not sent, or whose
// received file cannot be read, loses its stored UIDL and is fetched again
// at the next check; a message is deleted from its server only after its
// forwarding-log line is on the disk.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "engine/context.h"
#include "engine/message/mail_message.h"
#include "transport/smtp/smtp_refusal.h"

namespace velnora {

// The stages between parsing and sending that other parts of the engine
// provide: the filter, the composition of the part files and the
// mailbox-overflow notice. Tests hand in their own.
struct MessageSteps {
  // Non-zero: forward; sets message.resultCode.
  std::function<int(Context&, MailMessage&, int account)> filter;
  // Writes the part files "$vnrdiv%d.vnr" and sets message.partNumber.
  std::function<int(Context&, MailMessage&, int account, int flags, int mode)> compose;
  // The complete overflow notice (first line the envelope sender).
  std::function<std::string(Context&, int account, std::string_view statusText)> overflowNotice;
};

// The account's forwarding (one check).
void FwdProc(Context& ctx, int account, MailMessage& message, const MessageSteps& steps);

// One loaded message, as the SMTP client left it; Sent also for a message
// that a filter stopped (it needs nothing more). `flags` goes to the composition.
// With `keyHold`, the message's key stays held there from before the
// filter's look into the forwarding log until the caller has recorded the
// outcome, so a check running beside this one cannot forward it too.
SendResult ForwardOneMessage(Context& ctx, int account, MailMessage& message, int flags,
                      const MessageSteps& steps, KeyLocks::Hold* keyHold = nullptr);

// Deletes the messages that the ForwardStatus table marks as deletable, by
// UIDL (or by position without UIDLs). 1 done, 0 no session, -1 a transfer
// failure or a forwarding log that could not be put on the disk.
int DeleteForwardedMails(Context& ctx, int account);

// Whether a ForwardStatus result code lets its message be deleted.
bool IsDeletableResult(Category resultCode, bool includingFiltered);

}  // namespace velnora
