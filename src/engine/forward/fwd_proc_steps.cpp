#include "engine/forward/fwd_proc_steps.h"

#include "engine/compose/compose.h"
#include "engine/filter/mail_filter.h"
#include "engine/compose/system_notice.h"

namespace velnora {

MessageSteps ProgramMessageSteps() {
  MessageSteps steps;
  steps.filter = [](Context& ctx, MailMessage& message, int account) {
    return MailFilterProc(ctx, message, account);
  };
  steps.compose = [](Context& ctx, MailMessage& message, int account, int flags, int mode) {
    return CreateSentMailFile(ctx, message, account, flags, mode);
  };
  steps.overflowNotice = [](Context& ctx, int account, std::string_view text) {
    return ComposeOverflowNotice(ctx.account(account), text);
  };
  return steps;
}

}  // namespace velnora
