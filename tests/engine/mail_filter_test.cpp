// The whole filter stage: the four filter modes with the conditions in use
// and not in use, the spam switches in modes a and c, the schedule drop, the
// exemptions that skip every check, the order of the stopping checks, and
// the codes with the texts the activity list shows for them.
#include "engine/filter/mail_filter.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "convert/charset_code.h"
#include "engine/filter/filter_content.h"
#include "engine/filter_test_support.h"
#include "engine/filter/spam_check.h"
#include "platform/codepage.h"
#include "report/log_fields.h"

namespace velnora {
namespace {

using testing::SetText;

// Monday 10:30 local time.
platform::CalendarTime MondayAt(int hour) {
  platform::CalendarTime t;
  t.year = 2026;
  t.month = 12;
  t.day = 7;
  t.weekday = 1;
  t.hour = hour;
  t.minute = 30;
  return t;
}

const std::string kPlain =
    "From: Alice <alice@example.com>\r\n"
    "To: me@example.jp\r\n"
    "Subject: weekly report\r\n"
    "Date: Mon, 07 Dec 2026 10:00:00 +0900\r\n"
    "Message-ID: <m1@example.com>\r\n"
    "Content-Type: text/plain; charset=us-ascii\r\n"
    "\r\nbody\r\n";

const std::string kNoDate =
    "From: Alice <alice@example.com>\r\n"
    "To: me@example.jp\r\n"
    "Subject: weekly report\r\n"
    "\r\nbody\r\n";

struct ModeCase {
  const char* name;
  std::function<void(AccountSettings&)> configure;
  std::string message;
  int forwarded;
  int code;
};

std::string ModeCaseName(const ::testing::TestParamInfo<ModeCase>& p) { return p.param.name; }

class FilterModeTest : public ::testing::TestWithParam<ModeCase> {};

TEST_P(FilterModeTest, ForwardsOrStopsWithTheCodeAndItsText) {
  const ModeCase& c = GetParam();
  testing::FilterTables tables;
  c.configure(tables.account(0));
  MailMessage m = testing::Parsed(c.message);
  FilterScope scope{*tables.settings, tables.log, MondayAt(10)};
  EXPECT_EQ(MailFilterProc(scope, m, 0), c.forwarded);
  EXPECT_EQ(CategoryNumber(m.resultCode), c.code);
  // The activity list names every code the filters set.
  EXPECT_FALSE(CategoryText(m.resultCode).empty());
}

auto Mode(int mode, std::function<void(AccountSettings&)> more = {}) {
  return [=](AccountSettings& a) {
    a.filterMode = static_cast<int16_t>(mode);
    SetText(a.myAddress, "me@example.jp");
    if (more) more(a);
  };
}

void FromAlice(AccountSettings& a) {
  a.filterFromOn = 1;
  SetText(a.filterFrom, "alice");
}
void SubjectReport(AccountSettings& a) {
  a.filterSubjectOn = 1;
  SetText(a.filterSubject, "report");
}
void SubjectInvoice(AccountSettings& a) {
  a.filterSubjectOn = 1;
  SetText(a.filterSubject, "invoice");
}

INSTANTIATE_TEST_SUITE_P(
    ModeA, FilterModeTest,
    ::testing::Values(
        ModeCase{"NothingOnForwards", Mode(kFilterAnyStops), kPlain, 1, 0},
        ModeCase{"FromStops", Mode(kFilterAnyStops, FromAlice), kPlain, 0, 9},
        ModeCase{"SubjectStops", Mode(kFilterAnyStops, SubjectReport), kPlain, 0, 12},
        ModeCase{"FirstMatchNamesTheCode",
                 Mode(kFilterAnyStops,
                      [](AccountSettings& a) {
                        SubjectReport(a);
                        FromAlice(a);
                      }),
                 kPlain, 0, 9},
        ModeCase{"ConditionNotMatchedForwards", Mode(kFilterAnyStops, SubjectInvoice), kPlain, 1,
                 0},
        ModeCase{"CharsetStops",
                 Mode(kFilterAnyStops,
                      [](AccountSettings& a) {
                        a.filterContentTypeOn = 1;
                        SetText(a.filterContentType, "us-ascii");
                      }),
                 kPlain, 0, 8},
        ModeCase{"SpamMissingDateStops",
                 Mode(kFilterAnyStops, [](AccountSettings& a) { a.spamNoDate = 1; }), kNoDate, 0,
                 6},
        ModeCase{"SpamMissingDateWithDateForwards",
                 Mode(kFilterAnyStops, [](AccountSettings& a) { a.spamNoDate = 1; }), kPlain, 1,
                 0},
        ModeCase{"SpamIsCheckedAfterTheConditions",
                 Mode(kFilterAnyStops,
                      [](AccountSettings& a) {
                        a.spamNoDate = 1;
                        FromAlice(a);
                      }),
                 kNoDate, 0, 9}),
    ModeCaseName);

INSTANTIATE_TEST_SUITE_P(
    ModeB, FilterModeTest,
    ::testing::Values(
        ModeCase{"NothingOnStopsEverything", Mode(kFilterAnyForwards), kPlain, 0, 16},
        ModeCase{"MatchForwards", Mode(kFilterAnyForwards, SubjectReport), kPlain, 1, 0},
        ModeCase{"NoMatchStops", Mode(kFilterAnyForwards, SubjectInvoice), kPlain, 0, 16},
        ModeCase{"AnyOfTwoForwards",
                 Mode(kFilterAnyForwards,
                      [](AccountSettings& a) {
                        SubjectInvoice(a);
                        FromAlice(a);
                      }),
                 kPlain, 1, 0},
        ModeCase{"SpamSwitchesNotUsed",
                 Mode(kFilterAnyForwards,
                      [](AccountSettings& a) {
                        SubjectReport(a);
                        a.spamNoDate = 1;
                      }),
                 kNoDate, 1, 0}),
    ModeCaseName);

INSTANTIATE_TEST_SUITE_P(
    ModeC, FilterModeTest,
    ::testing::Values(
        ModeCase{"OnlyConditionInUseMatchesStops", Mode(kFilterAllStop, SubjectReport), kPlain, 0,
                 16},
        ModeCase{"ConditionInUseNotMatchedForwards", Mode(kFilterAllStop, SubjectInvoice), kPlain,
                 1, 0},
        ModeCase{"OneOfTwoMatchedForwards",
                 Mode(kFilterAllStop,
                      [](AccountSettings& a) {
                        SubjectInvoice(a);
                        FromAlice(a);
                      }),
                 kPlain, 1, 0},
        ModeCase{"SpamConditionNotHoldingForwards",
                 Mode(kFilterAllStop,
                      [](AccountSettings& a) {
                        SubjectReport(a);
                        a.spamNoDate = 1;
                      }),
                 kPlain, 1, 0},
        ModeCase{"SpamConditionHoldingStops",
                 Mode(kFilterAllStop,
                      [](AccountSettings& a) {
                        SubjectReport(a);
                        a.spamNoDate = 1;
                      }),
                 kNoDate, 0, 16},
        ModeCase{"NoToWithoutAtIsNotMissing",
                 Mode(kFilterAllStop,
                      [](AccountSettings& a) {
                        SubjectReport(a);
                        a.spamNoTo = 1;
                      }),
                 "To: undisclosed-recipients:;\r\nSubject: report\r\n\r\nb", 1, 0}),
    ModeCaseName);

INSTANTIATE_TEST_SUITE_P(
    ModeD, FilterModeTest,
    ::testing::Values(
        ModeCase{"OnlySubjectInUseMatchedForwards", Mode(kFilterAllForward, SubjectReport), kPlain,
                 1, 0},
        ModeCase{"OnlySubjectInUseNotMatchedStops", Mode(kFilterAllForward, SubjectInvoice),
                 kPlain, 0, 16},
        ModeCase{"MissingSubjectStops", Mode(kFilterAllForward, SubjectReport),
                 "From: a@b\r\n\r\nbody", 0, 16},
        ModeCase{"NothingInUseForwards", Mode(kFilterAllForward), kPlain, 1, 0},
        ModeCase{"BothInUseBothMatchedForwards",
                 Mode(kFilterAllForward,
                      [](AccountSettings& a) {
                        SubjectReport(a);
                        FromAlice(a);
                      }),
                 kPlain, 1, 0},
        ModeCase{"BothInUseOneMatchedStops",
                 Mode(kFilterAllForward,
                      [](AccountSettings& a) {
                        SubjectInvoice(a);
                        FromAlice(a);
                      }),
                 kPlain, 0, 16}),
    ModeCaseName);

const std::string kReturned =
    "From: Mail Delivery Subsystem <mailer-daemon@example.com>\r\n"
    "To: me@example.jp\r\n"
    "Subject: Returned mail: see transcript for details\r\n"
    "Message-ID: <bounce1@example.com>\r\n"
    "Content-Type: multipart/report; report-type=delivery-status; boundary=\"b1\"\r\n"
    "\r\n--b1\r\n\r\ntext\r\n--b1--\r\n";

const std::string kReadReceipt =
    "From: Bob <bob@example.com>\r\n"
    "To: me@example.jp\r\n"
    "Subject: Read: hello\r\n"
    "Content-Type: multipart/report;\r\n report-type=\"disposition-notification\"; "
    "boundary=\"r1\"\r\n"
    "\r\n--r1\r\n\r\nread\r\n--r1--\r\n";

void Everything(AccountSettings& a) {
  a.filterMode = kFilterAnyStops;
  SetText(a.myAddress, "me@example.jp");
  SetText(a.forwardTo, "mailer-daemon@example.com bob@example.com");
  a.noForwardFromDest = 1;
  a.noForwardFromMe = 1;
  FromAlice(a);
  a.filterFromOn = 1;
  SetText(a.filterFrom, "mailer-daemon bob");
  a.spamNoDate = 1;
}

INSTANTIATE_TEST_SUITE_P(
    Exemptions, FilterModeTest,
    ::testing::Values(
        ModeCase{"ReturnedMailStopped", Mode(kFilterAnyStops), kReturned, 0, 1},
        ModeCase{"AlwaysForwardSkipsEveryCheck",
                 [](AccountSettings& a) {
                   Everything(a);
                   a.alwaysForwardFromOn = 1;
                   SetText(a.alwaysForwardFrom, "x@y MAILER-DAEMON@");
                 },
                 kReturned, 1, 0},
        ModeCase{"AlwaysForwardListSwitchedOff",
                 [](AccountSettings& a) {
                   Everything(a);
                   SetText(a.alwaysForwardFrom, "mailer-daemon@");
                 },
                 kReturned, 0, 1},
        ModeCase{"ReadReceiptStoppedByDefault", Mode(kFilterAnyStops), kReadReceipt, 0, 1},
        ModeCase{"ReadReceiptForwardedPastEveryCheck",
                 [](AccountSettings& a) {
                   Everything(a);
                   a.forwardReadReceipts = 1;
                 },
                 kReadReceipt, 1, 0},
        ModeCase{"BounceFromDestinationStopped",
                 Mode(kFilterAnyStops,
                      [](AccountSettings& a) {
                        a.noForwardFromDest = 1;
                        SetText(a.forwardTo, "alice@example.com");
                      }),
                 kPlain, 0, 9},
        ModeCase{"OnlyWithAttachmentsStopsSinglePart",
                 Mode(kFilterAnyStops, [](AccountSettings& a) { a.onlyWithAttachments = 1; }),
                 kPlain, 0, 1},
        ModeCase{"OnlyWithAttachmentsLetsMultipartThrough",
                 Mode(kFilterAnyStops, [](AccountSettings& a) { a.onlyWithAttachments = 1; }),
                 "Content-Type: multipart/mixed; boundary=\"z\"\r\n\r\n--z\r\n\r\nx\r\n--z--\r\n",
                 1, 0}),
    ModeCaseName);

struct ScheduleCase {
  int stopsMonday;
  bool drop;
  platform::CalendarTime now;
  int forwarded;
};

class FilterScheduleTest : public ::testing::TestWithParam<ScheduleCase> {};

TEST_P(FilterScheduleTest, DropsArrivalsInStoppedHoursOnlyWhenAsked) {
  const ScheduleCase& c = GetParam();
  testing::FilterTables tables;
  AccountSettings& a = tables.account(0);
  a.useSchedule = 1;
  a.scheduleDropArrivals = c.drop;
  a.scheduleStops[0] = c.stopsMonday;
  MailMessage m = testing::Parsed(kPlain);
  FilterScope scope{*tables.settings, tables.log, c.now};
  EXPECT_EQ(MailFilterProc(scope, m, 0), c.forwarded);
  EXPECT_EQ(CategoryNumber(m.resultCode), c.forwarded ? 0 : 17);
}

platform::CalendarTime TuesdayAt(int hour) {
  platform::CalendarTime t = MondayAt(hour);
  t.weekday = 2;
  return t;
}

INSTANTIATE_TEST_SUITE_P(Hours, FilterScheduleTest,
                         ::testing::Values(ScheduleCase{1 << 13, true, MondayAt(10), 0},
                                           ScheduleCase{1 << 13, false, MondayAt(10), 1},
                                           ScheduleCase{1 << 13, true, MondayAt(11), 1},
                                           ScheduleCase{1 << 13, true, TuesdayAt(10), 1},
                                           ScheduleCase{1 << 23, true, MondayAt(0), 0},
                                           ScheduleCase{1, true, MondayAt(23), 0}));

class MailFilterHistoryTest : public ::testing::Test {
 protected:
  MailFilterHistoryTest() {
    tables.common().preventDuplicates = 1;
    SetText(tables.account(0).accountName, "Home");
  }
  int Filter(MailMessage& m) {
    FilterScope scope{*tables.settings, tables.log, MondayAt(10)};
    return MailFilterProc(scope, m, 0);
  }
  testing::FilterTables tables;
};

TEST_F(MailFilterHistoryTest, SecondArrivalIsADuplicateCheckedBeforeReturnedMail) {
  MailMessage first = testing::Parsed(kPlain);
  ASSERT_EQ(Filter(first), 1);
  tables.log.AddMessageActivity(ActivityOf(first, 1), tables.account(0));

  MailMessage again = testing::Parsed(kPlain);
  EXPECT_EQ(Filter(again), 0);
  EXPECT_EQ(again.resultCode, Category::Duplicate);

  // A returned mail recorded once is a duplicate the second time, not code 1.
  MailMessage bounce = testing::Parsed(kReturned);
  ASSERT_EQ(Filter(bounce), 0);
  tables.log.AddMessageActivity(ActivityOf(bounce, 1), tables.account(0));
  MailMessage bounceAgain = testing::Parsed(kReturned);
  EXPECT_EQ(Filter(bounceAgain), 0);
  EXPECT_EQ(bounceAgain.resultCode, Category::Duplicate);
}

TEST_F(MailFilterHistoryTest, AlwaysForwardSkipsTheDuplicateCheck) {
  tables.account(0).alwaysForwardFromOn = 1;
  SetText(tables.account(0).alwaysForwardFrom, "alice@");
  MailMessage first = testing::Parsed(kPlain);
  ASSERT_EQ(Filter(first), 1);
  tables.log.AddMessageActivity(ActivityOf(first, 1), tables.account(0));
  MailMessage again = testing::Parsed(kPlain);
  EXPECT_EQ(Filter(again), 1);
}

TEST(MailFilterTest, AcceptedCommandIsAnsweredAsOneJisTextPart) {
  testing::FilterTables tables;
  tables.common().remoteControl = 1;
  tables.common().remoteStatusReport = 1;
  SetText(tables.common().remotePassword, "s3cret");
  // Conditions that would stop any other mail are not looked at.
  tables.account(0).filterMode = kFilterAnyForwards;
  MailMessage m = testing::Parsed("From: a@b\r\nSubject: s3cret 3 OFF\r\n\r\nx");
  FilterScope scope{*tables.settings, tables.log, MondayAt(10)};
  EXPECT_EQ(MailFilterProc(scope, m, 0), 1);
  EXPECT_EQ(m.resultCode, Category::RemoteAnswered);
  EXPECT_EQ(m.partLayout, kLayoutText);
  EXPECT_EQ(m.contentCharset, charset::kIso2022Jp);
  EXPECT_EQ(int(tables.account(3).remoteSuspended), 1);
  EXPECT_EQ(CategoryText(19), SJIS(u8"リモート状況を通知済み"));
}

struct CodeText {
  int code;
  const char8_t* text;
};

class FilterCodeTextTest : public ::testing::TestWithParam<CodeText> {};

TEST_P(FilterCodeTextTest, EveryFilterCodeHasItsActivityText) {
  EXPECT_EQ(CategoryText(GetParam().code),
            platform::Cp932FromUtf8Literal(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Codes, FilterCodeTextTest,
    ::testing::Values(CodeText{0, u8"全てそのまま転送済み"}, CodeText{1, u8"その他条件で未転送"},
                      CodeText{5, u8"二重転送制限で未転送"}, CodeText{6, u8"スパム制限で未転送"},
                      CodeText{8, u8"キャラクタセット制限で未転送"},
                      CodeText{9, u8"Fromアドレス制限で未転送"},
                      CodeText{10, u8"Toアドレス制限で未転送"},
                      CodeText{11, u8"Ccアドレス制限で未転送"},
                      CodeText{12, u8"Subject(件名)制限で未転送"},
                      CodeText{13, u8"X-Mailer制限で未転送"},
                      CodeText{14, u8"Date(タイムゾーン)制限で未転送"},
                      CodeText{16, u8"該当転送条件なしで未転送"},
                      CodeText{17, u8"スケジュール制限で未転送"},
                      CodeText{18, u8"リモート非通知設定のため未通知"}));

}  // namespace
}  // namespace velnora

namespace velnora {
namespace {

// Lines far beyond the bounds, broken encoded-words, bytes of every value
// and a subject cut right at the command length: every check still
// decides, and nothing is read outside the message.
TEST(MailFilterHostileTest, OversizedAndBrokenHeadersAreCutNotTrusted) {
  testing::FilterTables tables;
  tables.common().remoteControl = 1;
  SetText(tables.common().remotePassword, "123456789");
  AccountSettings& a = tables.account(0);
  a.filterMode = kFilterAllStop;
  a.filterFromOn = a.filterToOn = a.filterCcOn = a.filterSubjectOn = 1;
  a.filterMailerOn = a.filterDateOn = a.filterContentTypeOn = 1;
  SetText(a.filterFrom, "needle");
  SetText(a.filterTo, "\"open phrase");
  SetText(a.filterCc, "x");
  SetText(a.filterSubject, "needle");
  SetText(a.filterMailer, "m");
  SetText(a.filterDate, "+09");
  SetText(a.filterContentType, "iso-2022-jp");
  a.filterSubjectCharset = 1;
  a.alwaysForwardFromOn = 1;
  SetText(a.alwaysForwardFrom, "nobody@");

  std::string all;
  for (int c = 1; c < 256; ++c) {
    // Line ends and quotes would reshape the header itself, which is the parser's matter.
    if (c != '\r' && c != '\n' && c != '"') all += static_cast<char>(c);
  }
  const std::string huge(200000, 'a');
  const std::string text = "From: =?UTF-8?B?" + huge + " needle\r\n" +
                           "To: =?ISO-2022-JP?B?broken\r\n" + "Cc: " + all + "\r\n" +
                           "Subject: 123456789 ALL OFF" + huge + "needle\r\n" +
                           "X-Mailer: =?\r\nDate: \r\nContent-Type: ?iso-2022-jp?\r\n\r\nbody";
  MailMessage m = testing::Parsed(text);
  FilterScope scope{*tables.settings, tables.log, MondayAt(10)};
  // The subject begins with a whole command of 17 bytes: the rest is cut off.
  EXPECT_EQ(MailFilterProc(scope, m, 0), 0);
  EXPECT_EQ(m.resultCode, Category::RemoteNotAnswered);
  EXPECT_EQ(int(tables.account(7).remoteSuspended), 1);

  tables.common().remoteControl = 0;
  MailMessage again = testing::Parsed(text);
  // Every condition in use finds its word (To matches nothing): not all matched.
  EXPECT_EQ(MailFilterProc(scope, again, 0), 1);
  EXPECT_EQ(again.resultCode, Category::Forwarded);
}

}  // namespace
}  // namespace velnora
