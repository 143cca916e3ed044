// The seven filtering conditions, each on and off, with OR and AND lists,
// quoted phrases, decoded and undecoded headers and missing lines.
#include "engine/filter/filter_conditions.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "engine/filter_test_support.h"
#include "platform/codepage.h"

namespace velnora {
namespace {

using testing::Parsed;
using testing::SetText;

struct ConditionCase {
  const char* name;
  std::function<void(AccountSettings&)> configure;
  std::string message;
  ConditionTest test;
  ConditionOutcome expected;
};

class FilterConditionTest : public ::testing::TestWithParam<ConditionCase> {};

TEST_P(FilterConditionTest, DecidesAsConfigured) {
  const ConditionCase& c = GetParam();
  auto account = testing::BlankAccount();
  c.configure(*account);
  MailMessage m = Parsed(c.message);
  EXPECT_EQ(c.test(m, *account), c.expected);
}

std::function<void(AccountSettings&)> From(std::string list, bool all = false) {
  return [=](AccountSettings& a) {
    a.filterFromOn = 1;
    a.filterFromAll = all;
    SetText(a.filterFrom, list);
  };
}

std::function<void(AccountSettings&)> To(std::string list, bool all = false) {
  return [=](AccountSettings& a) {
    a.filterToOn = 1;
    a.filterToAll = all;
    SetText(a.filterTo, list);
  };
}

std::function<void(AccountSettings&)> Cc(std::string list) {
  return [=](AccountSettings& a) {
    a.filterCcOn = 1;
    SetText(a.filterCc, list);
  };
}

std::function<void(AccountSettings&)> Mailer(std::string list, bool userAgent = false) {
  return [=](AccountSettings& a) {
    a.filterMailerOn = 1;
    a.filterMailerUserAgent = userAgent;
    SetText(a.filterMailer, list);
  };
}

std::function<void(AccountSettings&)> Zones(std::string list) {
  return [=](AccountSettings& a) {
    a.filterDateOn = 1;
    SetText(a.filterDate, list);
  };
}

std::function<void(AccountSettings&)> Subject(std::string list, bool all = false) {
  return [=](AccountSettings& a) {
    a.filterSubjectOn = 1;
    a.filterSubjectAll = all;
    SetText(a.filterSubject, list);
  };
}

std::function<void(AccountSettings&)> Charset(std::string list, bool subject = false) {
  return [=](AccountSettings& a) {
    a.filterContentTypeOn = 1;
    a.filterSubjectCharset = subject;
    SetText(a.filterContentType, list);
  };
}

std::string CaseName(const ::testing::TestParamInfo<ConditionCase>& p) { return p.param.name; }

const std::string kJohn = "From: \"John Smith\" <js@example.com>\r\n\r\nbody";
const std::string kUtf8Name = "From: =?UTF-8?B?5bGx55Sw5aSq6YOO?= <t@example.jp>\r\n\r\nbody";
const std::string kJisSubject = "Subject: =?ISO-2022-JP?B?GyRCQmclOyE8JWsbKEI=?=\r\n\r\nbody";

constexpr auto kInactive = ConditionOutcome::Inactive;
constexpr auto kPassed = ConditionOutcome::Passed;
constexpr auto kMatched = ConditionOutcome::Matched;

INSTANTIATE_TEST_SUITE_P(
    From, FilterConditionTest,
    ::testing::Values(
        ConditionCase{"SwitchedOff",
                      [](AccountSettings& a) { testing::SetText(a.filterFrom, "john"); }, kJohn,
                      FilterFrom, kInactive},
        ConditionCase{"EmptyList", From(""), kJohn, FilterFrom, kInactive},
        ConditionCase{"OnlyEmptyPhrase", From("\"\""), kJohn, FilterFrom, kInactive},
        ConditionCase{"WordInDisplayNameAnyCase", From("JOHN"), kJohn, FilterFrom, kMatched},
        ConditionCase{"PhraseMatchesWhole", From("\"john smith\""), kJohn, FilterFrom, kMatched},
        ConditionCase{"PhraseNeedsItsWordsTogether", From("\"john example\""), kJohn, FilterFrom,
                      kPassed},
        ConditionCase{"AnyWordOfOrList", From("nobody example.com"), kJohn, FilterFrom, kMatched},
        ConditionCase{"AndListNeedsEveryWord", From("john example.org", true), kJohn, FilterFrom,
                      kPassed},
        ConditionCase{"AndListWithEveryWord", From("john example.com", true), kJohn, FilterFrom,
                      kMatched},
        ConditionCase{"DecodedName", From(SJIS(u8"山田")), kUtf8Name, FilterFrom, kMatched},
        ConditionCase{"MissingLinePasses", From("john"), "To: a@b\r\n\r\nbody", FilterFrom,
                      kPassed}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    ToCc, FilterConditionTest,
    ::testing::Values(
        ConditionCase{"ToMatches", To("list@"),
                      "To: list@example.com\r\nCc: me@x\r\n\r\nb", FilterTo, kMatched},
        ConditionCase{"ToAndNeedsAll", To("list@ other@", true),
                      "To: list@example.com\r\n\r\nb", FilterTo, kPassed},
        ConditionCase{"CcLooksAtCcOnly", Cc("list@"),
                      "To: list@example.com\r\nCc: me@x\r\n\r\nb", FilterCc, kPassed},
        ConditionCase{"CcMatches", Cc("ME@X"),
                      "To: list@example.com\r\nCc: me@x\r\n\r\nb", FilterCc, kMatched}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    Subject, FilterConditionTest,
    ::testing::Values(
        ConditionCase{"EmptyItemsAreIgnored", Subject("\"\" sale"), "Subject: Big SALE\r\n\r\nb",
                      FilterSubject, kMatched},
        ConditionCase{"NotThere", Subject("sale"), "Subject: meeting\r\n\r\nb", FilterSubject,
                      kPassed},
        ConditionCase{"DecodedJapanese", Subject(SJIS(u8"セール")), kJisSubject, FilterSubject,
                      kMatched},
        ConditionCase{"AndList", Subject(SJIS(u8"大 セール"), true), kJisSubject, FilterSubject,
                      kMatched}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    MailerDate, FilterConditionTest,
    ::testing::Values(
        ConditionCase{"XMailerRead", Mailer("bulkmail"),
                      "X-Mailer: BulkMail 2\r\nUser-Agent: Thunder\r\n\r\nb", FilterMailer, kMatched},
        ConditionCase{"UserAgentReadInstead", Mailer("bulkmail", true),
                      "X-Mailer: BulkMail 2\r\nUser-Agent: Thunder\r\n\r\nb", FilterMailer, kPassed},
        ConditionCase{"MailerNotDecoded", Mailer(SJIS(u8"山田")),
                      "X-Mailer: =?UTF-8?B?5bGx55Sw5aSq6YOO?=\r\n\r\nb", FilterMailer, kPassed},
        ConditionCase{"MailerOff", [](AccountSettings& a) { SetText(a.filterMailer, "x"); },
                      "X-Mailer: x\r\n\r\nb", FilterMailer, kInactive},
        ConditionCase{"ZoneMatches", Zones("-0500 +0800"),
                      "Date: Tue, 08 Dec 2026 10:00:00 +0800\r\n\r\nb", FilterDate, kMatched},
        ConditionCase{"OtherZone", Zones("-0500 +0800"),
                      "Date: Tue, 08 Dec 2026 10:00:00 +0900\r\n\r\nb", FilterDate, kPassed}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    Charset, FilterConditionTest,
    ::testing::Values(
        ConditionCase{"ContentTypeLabel", Charset("big5 GB2312"),
                      "Content-Type: text/plain; charset=\"gb2312\"\r\n\r\nb", FilterCharset,
                      kMatched},
        ConditionCase{"OtherLabel", Charset("big5 gb2312"),
                      "Content-Type: text/plain; charset=utf-8\r\n\r\nb", FilterCharset, kPassed},
        ConditionCase{"SubjectCharsetTested", Charset("iso-2022-jp", true),
                      "Content-Type: text/plain; charset=utf-8\r\n" + kJisSubject, FilterCharset,
                      kMatched},
        ConditionCase{"SubjectCharsetNotTestedWhenOff", Charset("iso-2022-jp"),
                      "Content-Type: text/plain; charset=utf-8\r\n" + kJisSubject, FilterCharset,
                      kPassed},
        ConditionCase{"SubjectNeedsTheWholeLabel", Charset("jp", true),
                      "Content-Type: text/plain\r\n" + kJisSubject, FilterCharset, kPassed},
        ConditionCase{"SubjectWithoutContentType", Charset("iso-2022-jp", true), kJisSubject,
                      FilterCharset, kMatched},
        ConditionCase{"NoLinesPass", Charset("big5", true), "To: a@b\r\n\r\nb", FilterCharset,
                      kPassed}),
    CaseName);

}  // namespace
}  // namespace velnora
