#include "engine/filter/returned_mail.h"

#include <string>
#include <string_view>

#include "engine/message/byte_strings.h"
#include "engine/filter/filter_word_list.h"
#include "transport/field_text.h"

namespace velnora {
namespace {


// Subjects that servers give their failure reports, matched at the start of
// the value only: a reply ("Re: Returned mail: ...") is someone writing back.
constexpr std::string_view kFailureSubjects[] = {
    "returned mail:",
    "mail system error",
    "warning: could not send message",
    "delivery failure",
    "failure delivery",
    "failure notice",
    "non delivery notification",
};

std::string_view SubjectValue(std::string_view line) {
  std::string_view value = line.substr(line.find(':') + 1);
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
  return value;
}

bool IsFailureSubject(std::string_view subjectLine) {
  if (subjectLine.size() < 10) return false;
  const std::string_view value = SubjectValue(subjectLine);
  for (std::string_view keyword : kFailureSubjects) {
    if (StartsWithNoCase(value, keyword)) return true;
  }
  return false;
}

int Stop(MailMessage& message, Category code) {
  message.resultCode = code;
  return 0;
}

}  // namespace

bool IsReadReceipt(const MailMessage& message) {
  return FindNoCaseCompact(message.contentType, "disposition-notification") != kNotFound;
}

int Filter_ReturnedMail(MailMessage& message, const AccountSettings& account) {
  const bool readReceipt = IsReadReceipt(message);
  if (!account.forwardReadReceipts && readReceipt) return Stop(message, Category::NotForwarded);
  if (account.forwardSmtpErrorMails) return 1;
  if (StartsWithNoCaseCompact(message.contentType, "content-type:multipart/report;") &&
      !readReceipt) {
    return Stop(message, Category::NotForwarded);
  }
  if (IsFailureSubject(message.subject)) return Stop(message, Category::NotForwarded);
  return 1;
}

int Filter_Address_Bounce(MailMessage& message, const AccountSettings& account) {
  if (!account.noForwardFromDest || message.from.empty()) return 1;
  for (const std::string& destination :
       SplitAtSpaces(FieldText(account.forwardTo), kMaxBounceAddresses)) {
    if (FindNoCase(message.from, destination) != kNotFound) return Stop(message, Category::FromFiltered);
  }
  return 1;
}

int Filter_Address_Bounce_FromMe(MailMessage& message, const AccountSettings& account) {
  const std::string_view me = FieldText(account.myAddress);
  if (!account.noForwardFromMe || message.from.empty() || me.empty()) return 1;
  return FindNoCase(message.from, me) != kNotFound ? Stop(message, Category::FromFiltered) : 1;
}

}  // namespace velnora
