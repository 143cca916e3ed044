// What a pass asks of the mail servers of one account. The passes only
// decide when and in which order; this interface does the talking. The
// engine's transport-backed implementation is the real one; tests script it.
#pragma once

#include "transport/pop3/pop3_client.h"

namespace velnora {

class AccountOperations {
 public:
  virtual ~AccountOperations() = default;

  // Connect, log in, STAT: the message count, or negative after reporting
  // the failure.
  virtual int OpenRcvSession(int account) = 0;
  // QUIT (when asked) and close whatever session the account has open.
  virtual void CloseSession(int account, bool sendQuit) = 0;
  // POP before SMTP when configured, connect, greeting: >= 0 ready.
  virtual int OpenSendSession(int account) = 0;
  // HELO/EHLO and authentication: 1 ready, 0 refused, -1 failure.
  virtual int SmtpGreet(int account) = 0;
  // RSET and its reply on the open SMTP session; false on an I/O failure.
  virtual bool SendRset(int account) = 0;
  // Record every message on the server as forwarded: 1 or -1.
  virtual int MarkAllAsForwarded(int account) = 0;
  // At quit: delete the messages the UIDL store records as handled, when
  // the account has mail on the server (DeleteHandledMails in the POP3 client).
  virtual int DeleteHandledMails(int account, HandledDeletion& done) = 0;
  // Working message count of the last login, and the first position to consider.
  virtual int MailCount(int account) = 0;
  virtual void SetStartIndex(int account, int index) = 0;
  // The forwarding of one account.
  virtual void FwdProc(int account) = 0;
  virtual void SaveUidlStore() = 0;
  // Re-read the settings file without creating defaults.
  virtual void ReloadSettings() = 0;
  // The account's pause before its next POP3 session.
  virtual void PopDelay(int) {}
  // A warning sound where the front end has one.
  virtual void Beep() {}
  // Checks of several accounts are about to run at once (true), or have
  // ended (false).
  virtual void SideBySide(bool) {}
  // A check of `account` begins on `lane` (0 .. parallelAccounts-1) beside
  // others; false when the account cannot be checked there this time.
  virtual bool BeginLaneCheck(int, int) { return true; }
  // The pass is done with `account` until its next check.
  virtual void EndCheck(int) {}
};

}  // namespace velnora
