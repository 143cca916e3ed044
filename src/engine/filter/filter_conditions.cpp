#include "engine/filter/filter_conditions.h"

#include <algorithm>
#include <string>
#include <vector>

#include "engine/message/byte_strings.h"
#include "engine/filter/filter_header_text.h"
#include "engine/filter/filter_word_list.h"
#include "transport/field_text.h"

namespace velnora {
namespace {

// Words shorter than this are also looked for as "?word?" in an encoded subject.
constexpr std::size_t kMaxSubjectCharsetWord = 253;

// An empty word would be found in every header, so it is never a word.
std::vector<std::string> UsableWords(std::vector<std::string> words) {
  std::erase_if(words, [](const std::string& w) { return w.empty(); });
  return words;
}

bool Occurs(std::string_view text, std::string_view word) {
  return FindNoCase(text, word) != kNotFound;
}

bool Found(std::string_view text, const std::vector<std::string>& words, bool all) {
  const auto occurs = [&](const std::string& w) { return Occurs(text, w); };
  return all ? std::all_of(words.begin(), words.end(), occurs)
             : std::any_of(words.begin(), words.end(), occurs);
}

// A condition on one header line whose value may be decoded first.
ConditionOutcome WordCondition(bool on, std::string_view list, std::string_view line, bool decode,
                               std::size_t limit, bool all) {
  if (!on) return ConditionOutcome::Inactive;
  const std::vector<std::string> words = UsableWords(SplitList(list, kMaxFilterWords));
  if (words.empty()) return ConditionOutcome::Inactive;
  if (line.empty()) return ConditionOutcome::Passed;
  const std::string value =
      decode ? DecodedHeaderValue(line, limit) : std::string(HeaderValue(line));
  return Found(value, words, all) ? ConditionOutcome::Matched : ConditionOutcome::Passed;
}

}  // namespace

ConditionOutcome FilterFrom(const MailMessage& message, const AccountSettings& account) {
  return WordCondition(account.filterFromOn, FieldText(account.filterFrom), message.from, true,
                       kMaxFilteredAddressLine, account.filterFromAll);
}

ConditionOutcome FilterTo(const MailMessage& message, const AccountSettings& account) {
  return WordCondition(account.filterToOn, FieldText(account.filterTo), message.to, true,
                       kMaxFilteredAddressLine, account.filterToAll);
}

ConditionOutcome FilterCc(const MailMessage& message, const AccountSettings& account) {
  return WordCondition(account.filterCcOn, FieldText(account.filterCc), message.cc, true,
                       kMaxFilteredAddressLine, account.filterCcAll);
}

ConditionOutcome FilterSubject(const MailMessage& message, const AccountSettings& account) {
  return WordCondition(account.filterSubjectOn, FieldText(account.filterSubject), message.subject,
                       true, kMaxFilteredSubjectLine, account.filterSubjectAll);
}

ConditionOutcome FilterMailer(const MailMessage& message, const AccountSettings& account) {
  const std::string_view line = account.filterMailerUserAgent ? message.userAgent : message.xMailer;
  return WordCondition(account.filterMailerOn, FieldText(account.filterMailer), line, false, 0,
                       false);
}

ConditionOutcome FilterDate(const MailMessage& message, const AccountSettings& account) {
  return WordCondition(account.filterDateOn, FieldText(account.filterDate), message.date, false, 0,
                       false);
}

ConditionOutcome FilterCharset(const MailMessage& message, const AccountSettings& account) {
  if (!account.filterContentTypeOn) return ConditionOutcome::Inactive;
  const std::vector<std::string> words =
      SplitAtSpaces(FieldText(account.filterContentType), kMaxFilterWords);
  if (words.empty()) return ConditionOutcome::Inactive;
  const bool subjectTested = account.filterSubjectCharset && !message.subject.empty();
  if (message.contentType.empty() && !subjectTested) return ConditionOutcome::Passed;
  if (Found(HeaderValue(message.contentType), words, false)) return ConditionOutcome::Matched;
  if (subjectTested) {
    const std::string_view subject = HeaderValue(message.subject);
    for (const std::string& word : words) {
      if (word.size() >= kMaxSubjectCharsetWord) continue;
      if (Occurs(subject, "?" + word + "?")) return ConditionOutcome::Matched;
    }
  }
  return ConditionOutcome::Passed;
}

std::span<const FilterCondition> FilterConditions() {
  static constexpr FilterCondition kConditions[] = {
      {"From", FilterFrom, Category::FromFiltered},
      {"To", FilterTo, Category::ToFiltered},
      {"Cc", FilterCc, Category::CcFiltered},
      {"Subject", FilterSubject, Category::SubjectFiltered},
      {"Mailer", FilterMailer, Category::MailerFiltered},
      {"Date", FilterDate, Category::TimeZoneFiltered},
      {"Charset", FilterCharset, Category::CharsetFiltered},
  };
  return kConditions;
}

}  // namespace velnora
