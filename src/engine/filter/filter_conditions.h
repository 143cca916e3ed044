// The seven filtering conditions of an account: From, To, Cc, Subject,
// mail program, time zone and character set. Each searches its words, case
// folded for ASCII, anywhere in one header value.
#pragma once

#include <span>

#include "config/account_settings.h"
#include "engine/message/mail_message.h"

#include "report/activity_category.h"

namespace velnora {

enum class ConditionOutcome {
  Inactive,  // switched off or without words: the filter modes decide what it counts as
  Passed,    // the words are not there (or the header is missing)
  Matched,   // the words are there
};

using ConditionTest = ConditionOutcome (*)(const MailMessage&, const AccountSettings&);

struct FilterCondition {
  const char* name;
  ConditionTest test;
  Category resultCode;  // the category a message stopped by this condition gets
};

// The conditions in the order they are tested.
std::span<const FilterCondition> FilterConditions();

ConditionOutcome FilterFrom(const MailMessage& message, const AccountSettings& account);
ConditionOutcome FilterTo(const MailMessage& message, const AccountSettings& account);
ConditionOutcome FilterCc(const MailMessage& message, const AccountSettings& account);
ConditionOutcome FilterSubject(const MailMessage& message, const AccountSettings& account);
ConditionOutcome FilterMailer(const MailMessage& message, const AccountSettings& account);
ConditionOutcome FilterDate(const MailMessage& message, const AccountSettings& account);
ConditionOutcome FilterCharset(const MailMessage& message, const AccountSettings& account);

}  // namespace velnora
