// One fetched message: parse, filter, compose, send in its own SMTP session.
#include <functional>

#include "engine/forward/fwd_proc.h"
#include "engine/forward/fwd_proc_shared.h"
#include "engine/message/header_parse.h"
#include "engine/forward/schedule.h"
#include "engine/history/history.h"
#include "platform/codepage.h"
#include "transport/field_text.h"
#include "transport/smtp/smtp_client.h"
#include "transport/smtp/smtp_destinations.h"

namespace velnora {
namespace {

void ShowMessage(Context& ctx, int i, const MailMessage& message) {
  ctx.log->AddMessageActivity(ActivityOf(message, ctx.runtimeOf(i).statCount), ctx.account(i));
}

void CountForwarded(Context& ctx, int i) {
  ++ctx.worker.forwardedTotal;
  const int number = ctx.account(i).accountNumber;
  if (HasStatistics(number)) ++ctx.stats.forwardedCount[std::size_t(number)];
}

// Sends the composed part files in a session of their own. `accepted` runs
// once the last part has its 250, before the QUIT.
SendResult Send(Context& ctx, int i, const MailMessage& message, TransportEnv& env,
                const std::function<void()>& accepted) {
  AccountSettings& account = ctx.account(i);
  MailSession& session = ctx.runtimeOf(i).session;
  SessionCloser closer(env, session, account);
  if (!OpenReadySendSession(env, account, session, closer)) return SendResult::RetryNow;
  const SendResult sent = SendSplitParts(env, account, session, message.partNumber, accepted);
  if (sent != SendResult::Sent) {
    ctx.log->SetStatus("ERROR: Smtp: Send DATA", StatusIcon::Error);
    closer.Broken();
  }
  return sent;
}

}  // namespace

SendResult ForwardOneMessage(Context& ctx, int i, MailMessage& message, int flags, const MessageSteps& steps,
                             KeyLocks::Hold* keyHold) {
  AccountSettings& account = ctx.account(i);
  ParseMailContent(message);
  if (keyHold) keyHold->Take(ctx.duplicateKeys, MessageKeyOf(message));

  if (steps.filter(ctx, message, i) == 0) {
    const int number = account.accountNumber;
    if (HasStatistics(number)) ++ctx.stats.filteredCount[std::size_t(number)];
    ShowMessage(ctx, i, message);
    // Stopped as a duplicate of what this account already forwarded: the
    // server copy was left behind by an interruption before its deletion,
    // and it may now go like the forwarded message it is.
    if (message.forwardedHere) message.resultCode = Category::Forwarded;
    return SendResult::Sent;
  }

  if (IsSpamEraser(account)) {
    CountForwarded(ctx, i);
    ShowMessage(ctx, i, message);
    return SendResult::Sent;
  }
  if (SplitDestinations(FieldText(account.forwardTo)).empty()) {
    // A message with nowhere to go is not forwarded: it stays on the server.
    ctx.log->AddActivity(SJIS(u8"転送先アドレスがないため、メールを転送できませんでした。"), Category::ServerNotice, &account);
    return SendResult::RetryNow;
  }
  message.partNumber = 0;
  if (steps.compose(ctx, message, i, flags, 0) == 0 || message.partNumber <= 0) {
    // Nothing to send is not a forwarded message: keep it for the next check.
    ctx.log->AddActivity(SJIS(u8"転送メールを作成できませんでした。このメールは次回のチェックで再度処理します。"), Category::ServerNotice, &account);
    return SendResult::RetryNow;
  }
  // The outcome goes to the forwarding log as soon as the server has taken
  // the message: a kill before the QUIT must not send it again.
  bool recorded = false;
  TransportEnv env = ctx.EnvFor(i);
  const SendResult sent = Send(ctx, i, message, env, [&] {
    recorded = true;
    CountForwarded(ctx, i);
    ShowMessage(ctx, i, message);
  });
  if (recorded) return SendResult::Sent;
  return sent == SendResult::Sent ? SendResult::RetryNow : sent;
}

}  // namespace velnora
