#include "engine/filter/spam_check.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "engine/message/byte_strings.h"
#include "transport/field_text.h"

namespace velnora {
namespace {

struct SpamCondition {
  bool on;
  bool holds;
};

bool Occurs(std::string_view text, std::string_view word) {
  return !word.empty() && FindNoCase(text, word) != kNotFound;
}

std::vector<SpamCondition> SpamConditions(const MailMessage& m, const AccountSettings& a,
                                          bool modeA) {
  const std::string_view me = FieldText(a.myAddress);
  // Without an own address the conditions about it say nothing, rather than
  // holding for every message.
  const bool haveMe = !me.empty();
  const bool noTo = modeA ? (m.to.empty() || m.to.find('@') == std::string_view::npos)
                          : m.to.empty();
  return {
      {a.spamNoTo != 0, noTo},
      {a.spamNoDate != 0, m.date.empty()},
      {a.spamNoFrom != 0, m.from.empty()},
      {a.spamNoCc != 0, m.cc.empty()},
      {a.spamNoMessageId != 0, m.messageId.empty()},
      {a.spamNoReplyTo != 0, m.replyTo.empty()},
      {a.spamNoXMailer != 0, m.xMailer.empty()},
      {a.spamNoContentType != 0, m.contentType.empty()},
      {a.spamNoMimeVersion != 0, m.mimeVersion.empty()},
      {a.spamNoSubject != 0, m.subject.empty()},
      {a.spamNotToMe != 0 && haveMe, !Occurs(m.to, me) && !Occurs(m.cc, me)},
      {a.spamOnlyMeInFromTo != 0 && haveMe,
       Occurs(m.from, me) && Occurs(m.to, me) && std::count(m.to.begin(), m.to.end(), '@') == 1},
  };
}

}  // namespace

bool SpamCheck(const MailMessage& message, const AccountSettings& account) {
  if (account.filterMode == kFilterAnyStops) {
    const auto conditions = SpamConditions(message, account, true);
    return std::any_of(conditions.begin(), conditions.end(),
                       [](const SpamCondition& c) { return c.on && c.holds; });
  }
  if (account.filterMode == kFilterAllStop) {
    const auto conditions = SpamConditions(message, account, false);
    return std::all_of(conditions.begin(), conditions.end(),
                       [](const SpamCondition& c) { return !c.on || c.holds; });
  }
  return false;
}

}  // namespace velnora
