// The AccountOperations that the passes use in the running program: the
// transport's sessions and the per-account forwarding on the Context.
#pragma once

#include "engine/forward/account_operations.h"
#include "engine/context.h"
#include "engine/forward/fwd_proc.h"

namespace velnora {

class TransportOperations : public AccountOperations {
 public:
  TransportOperations(Context& ctx, MessageSteps steps) : ctx_(ctx), steps_(std::move(steps)) {}

  int OpenRcvSession(int account) override;
  void CloseSession(int account, bool sendQuit) override;
  int OpenSendSession(int account) override;
  int SmtpGreet(int account) override;
  bool SendRset(int account) override;
  int MarkAllAsForwarded(int account) override;
  int DeleteHandledMails(int account, HandledDeletion& done) override;
  int MailCount(int account) override { return ctx_.runtimeOf(account).mailCount; }
  void SetStartIndex(int account, int index) override { ctx_.runtimeOf(account).startIndex = index; }
  void PopDelay(int account) override;
  void FwdProc(int account) override;
  void SaveUidlStore() override;
  void ReloadSettings() override;
  void SideBySide(bool on) override { ctx_.sideBySide = on; }
  bool BeginLaneCheck(int account, int lane) override;
  void EndCheck(int account) override;

 private:
  Context& ctx_;
  MessageSteps steps_;
  // One message buffer, reused for every message of the run (one account
  // at a time; a check beside others has its own).
  MailMessage message_;
};

}  // namespace velnora
