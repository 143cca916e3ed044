#include "engine/filter/mail_filter.h"

#include <string>

#include "convert/charset_code.h"
#include "engine/message/byte_strings.h"
#include "engine/filter/filter_conditions.h"
#include "engine/filter/filter_content.h"
#include "engine/filter/filter_header_text.h"
#include "engine/filter/filter_word_list.h"
#include "engine/history/history.h"
#include "engine/filter/remote_control.h"
#include "engine/filter/returned_mail.h"
#include "engine/content/mime_process.h"
#include "engine/content/single_part.h"
#include "engine/filter/spam_check.h"
#include "transport/field_text.h"

namespace velnora {
namespace {


// The hour is a stopped hour of the account's schedule (masks run Monday
// first, hour h is bit 23 - h).
bool InStoppedHour(const AccountSettings& account, const platform::CalendarTime& now) {
  if (now.hour < 0 || now.hour > 23 || now.weekday < 0 || now.weekday > 6) return false;
  const auto mask = static_cast<uint32_t>(account.scheduleStops[(now.weekday + 6) % 7]);
  return (mask & (1u << (23 - now.hour))) != 0;
}

int Stop(MailMessage& message, Category code) {
  message.resultCode = code;
  return 0;
}

bool Reject(MailMessage& message, Category code) {
  message.resultCode = code;
  return false;
}

// Hands the classified message to the part processing. "Forward only mail
// with attachments" stops a single-part message here.
int ProcessContent(MailMessage& message, const AccountSettings& account,
                   const CommonSettings& common, bool multipart) {
  message.convertedBody.reset();
  if (multipart) return ProcessMultipartMessage(message, account, common);
  if (account.onlyWithAttachments) return Stop(message, Category::NotForwarded);
  return ProcessSinglePartMessage(message, account, common) ? 1 : 0;
}

}  // namespace

bool AlwaysForward(const MailMessage& message, const AccountSettings& account) {
  const std::string_view list = FieldText(account.alwaysForwardFrom);
  if (!account.alwaysForwardFromOn || list.empty() || message.from.empty()) return false;
  const std::string from = DecodedHeaderValue(message.from, kMaxFilteredAddressLine);
  for (const std::string& sender : SplitAtSpaces(list, kMaxAlwaysForwardWords)) {
    if (FindNoCase(from, sender) != kNotFound) return true;
  }
  return false;
}

bool ForwardReadReceipt(const MailMessage& message, const AccountSettings& account) {
  return account.forwardReadReceipts && IsReadReceipt(message);
}

bool PassesFilterMode(MailMessage& message, const AccountSettings& account) {
  const int mode = account.filterMode;
  // In modes c and d a condition not in use counts as matched, so that only
  // the conditions in use decide; in modes a and b it passes.
  const bool unusedMatches = mode == kFilterAllStop || mode == kFilterAllForward;
  bool anyMatched = false;
  bool allMatched = true;
  for (const FilterCondition& condition : FilterConditions()) {
    const ConditionOutcome outcome = condition.test(message, account);
    const bool matched = outcome == ConditionOutcome::Matched ||
                         (outcome == ConditionOutcome::Inactive && unusedMatches);
    if (matched && mode == kFilterAnyStops) return Reject(message, condition.resultCode);
    anyMatched = anyMatched || matched;
    allMatched = allMatched && matched;
  }
  switch (mode) {
    case kFilterAnyStops:
      if (SpamCheck(message, account)) return Reject(message, Category::Spam);
      break;
    case kFilterAnyForwards:
      if (!anyMatched) return Reject(message, Category::NoMatchingCondition);
      break;
    case kFilterAllStop:
      if (allMatched && SpamCheck(message, account)) return Reject(message, Category::NoMatchingCondition);
      break;
    case kFilterAllForward:
      if (!allMatched) return Reject(message, Category::NoMatchingCondition);
      break;
    default:
      break;
  }
  message.resultCode = Category::Forwarded;
  return true;
}

int MailFilterProc(FilterScope& scope, MailMessage& message, int accountIndex) {
  SettingsImage& settings = scope.settings;
  const CommonSettings& common = settings.common;
  const AccountSettings& account = settings.accounts[accountIndex];
  ActivityLog& log = scope.log;

  message.resultCode = Category::Forwarded;
  if (!Filter_RemoteControl(message, accountIndex, settings, log, scope.deferred)) return 0;
  if (message.resultCode == Category::RemoteAnswered && common.remoteControl &&
      common.remoteStatusReport) {
    // The answer is the status report: one text part in ISO-2022-JP.
    message.partLayout = kLayoutText;
    message.contentCharset = charset::kIso2022Jp;
    return 1;
  }

  if (account.useSchedule && account.scheduleDropArrivals && InStoppedHour(account, scope.localNow)) {
    return Stop(message, Category::ScheduleFiltered);
  }

  const bool exempt = AlwaysForward(message, account) || ForwardReadReceipt(message, account);
  if (!exempt) {
    if (IsAlreadyForwarded(message, account, common, log, scope.stop, &message.forwardedHere)) {
      return Stop(message, Category::Duplicate);
    }
    if (!Filter_ReturnedMail(message, account)) return 0;
    if (!Filter_Address_Bounce(message, account)) return 0;
    if (!Filter_Address_Bounce_FromMe(message, account)) return 0;
    if (!PassesFilterMode(message, account)) return 0;
  }
  message.resultCode = Category::Forwarded;

  const bool multipart = ClassifyContent(message, account);
  return ProcessContent(message, account, common, multipart);
}

}  // namespace velnora
