// The spam switches: in mode a any switched-on condition that holds makes
// spam, in mode c all of them must hold; modes b and d never use them.
#include "engine/filter/spam_check.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "engine/filter_test_support.h"

namespace velnora {
namespace {

using testing::SetText;

struct SpamCase {
  const char* name;
  int mode;
  std::function<void(AccountSettings&)> switches;
  std::string header;
  bool spam;
};

std::string SpamCaseName(const ::testing::TestParamInfo<SpamCase>& p) { return p.param.name; }

class SpamCheckTest : public ::testing::TestWithParam<SpamCase> {};

TEST_P(SpamCheckTest, JudgesBySwitchesAndMode) {
  const SpamCase& c = GetParam();
  auto account = testing::BlankAccount();
  account->filterMode = static_cast<int16_t>(c.mode);
  SetText(account->myAddress, "me@example.jp");
  c.switches(*account);
  MailMessage m = testing::Parsed(c.header + "\r\nbody");
  EXPECT_EQ(SpamCheck(m, *account), c.spam);
}

const std::string kFull =
    "From: a@x.jp\r\nTo: me@example.jp\r\nCc: c@x.jp\r\nDate: d\r\nSubject: s\r\n"
    "Message-ID: <i@x>\r\nReply-To: a@x.jp\r\nX-Mailer: m\r\nContent-Type: text/plain\r\n"
    "MIME-Version: 1.0\r\n";

void NoSwitch(AccountSettings&) {}

INSTANTIATE_TEST_SUITE_P(
    ModeA, SpamCheckTest,
    ::testing::Values(
        SpamCase{"NoSwitchNoSpam", 0, NoSwitch, "Subject: s\r\n", false},
        SpamCase{"MissingTo", 0, [](AccountSettings& a) { a.spamNoTo = 1; }, "Subject: s\r\n",
                 true},
        SpamCase{"ToWithoutAt", 0, [](AccountSettings& a) { a.spamNoTo = 1; },
                 "To: undisclosed-recipients:;\r\n", true},
        SpamCase{"ToWithAt", 0, [](AccountSettings& a) { a.spamNoTo = 1; }, "To: a@b\r\n", false},
        SpamCase{"EachMissingLine", 0,
                 [](AccountSettings& a) {
                   a.spamNoDate = a.spamNoFrom = a.spamNoCc = a.spamNoMessageId = 1;
                   a.spamNoReplyTo = a.spamNoXMailer = a.spamNoContentType = 1;
                   a.spamNoMimeVersion = a.spamNoSubject = 1;
                 },
                 kFull, false},
        SpamCase{"MissingMimeVersion", 0, [](AccountSettings& a) { a.spamNoMimeVersion = 1; },
                 "From: a@x.jp\r\n", true},
        SpamCase{"NotToMe", 0, [](AccountSettings& a) { a.spamNotToMe = 1; },
                 "To: other@example.jp\r\n", true},
        SpamCase{"ToMeInCc", 0, [](AccountSettings& a) { a.spamNotToMe = 1; },
                 "To: other@example.jp\r\nCc: ME@example.jp\r\n", false},
        SpamCase{"OnlyMeInFromAndTo", 0, [](AccountSettings& a) { a.spamOnlyMeInFromTo = 1; },
                 "From: me@example.jp\r\nTo: Me <me@example.jp>\r\n", true},
        SpamCase{"MeAndAnotherInTo", 0, [](AccountSettings& a) { a.spamOnlyMeInFromTo = 1; },
                 "From: me@example.jp\r\nTo: me@example.jp, b@x.jp\r\n", false},
        SpamCase{"WithoutOwnAddressNothingAboutIt", 0,
                 [](AccountSettings& a) {
                   SetText(a.myAddress, "");
                   a.spamNotToMe = a.spamOnlyMeInFromTo = 1;
                 },
                 "From: a@x.jp\r\nTo: b@x.jp\r\n", false}),
    SpamCaseName);

INSTANTIATE_TEST_SUITE_P(
    ModeC, SpamCheckTest,
    ::testing::Values(
        SpamCase{"NoSwitchHolds", 2, NoSwitch, kFull, true},
        SpamCase{"OneOfTwoHoldsIsNotSpam", 2,
                 [](AccountSettings& a) { a.spamNoDate = a.spamNoCc = 1; },
                 "From: a@x.jp\r\nCc: c@x.jp\r\n", false},
        SpamCase{"BothHold", 2, [](AccountSettings& a) { a.spamNoDate = a.spamNoCc = 1; },
                 "From: a@x.jp\r\n", true},
        SpamCase{"ToWithoutAtIsNotMissing", 2, [](AccountSettings& a) { a.spamNoTo = 1; },
                 "To: undisclosed-recipients:;\r\n", false},
        SpamCase{"ToMissing", 2, [](AccountSettings& a) { a.spamNoTo = 1; }, "From: a@x.jp\r\n",
                 true}),
    SpamCaseName);

INSTANTIATE_TEST_SUITE_P(
    ModesBAndD, SpamCheckTest,
    ::testing::Values(SpamCase{"ModeB", 1, [](AccountSettings& a) { a.spamNoDate = 1; },
                               "From: a@x.jp\r\n", false},
                      SpamCase{"ModeD", 3, [](AccountSettings& a) { a.spamNoDate = 1; },
                               "From: a@x.jp\r\n", false}),
    SpamCaseName);

// One switch per missing header line: it stops the message that lacks
// exactly that line and lets through a message that has only that line, so
// a switch wired to another header fails one of the two.
struct MissingHeaderCase {
  const char* name;
  void (*switchOn)(AccountSettings&);
  const char* line;
};

class SpamSwitchTest : public ::testing::TestWithParam<MissingHeaderCase> {};

TEST_P(SpamSwitchTest, StopsExactlyTheMessageWithoutItsHeader) {
  const MissingHeaderCase& c = GetParam();
  auto account = testing::BlankAccount();
  account->filterMode = static_cast<int16_t>(kFilterAnyStops);
  c.switchOn(*account);
  std::string lacking = kFull;
  const std::size_t at = lacking.find(c.line);
  ASSERT_NE(at, std::string::npos);
  lacking.erase(at, std::strlen(c.line));
  EXPECT_TRUE(SpamCheck(testing::Parsed(lacking + "\r\nbody"), *account)) << lacking;
  EXPECT_FALSE(SpamCheck(testing::Parsed(std::string(c.line) + "\r\nbody"), *account));
}

INSTANTIATE_TEST_SUITE_P(
    EachSwitch, SpamSwitchTest,
    ::testing::Values(
        MissingHeaderCase{"To", [](AccountSettings& a) { a.spamNoTo = 1; }, "To: me@example.jp\r\n"},
        MissingHeaderCase{"Date", [](AccountSettings& a) { a.spamNoDate = 1; }, "Date: d\r\n"},
        MissingHeaderCase{"From", [](AccountSettings& a) { a.spamNoFrom = 1; }, "From: a@x.jp\r\n"},
        MissingHeaderCase{"Cc", [](AccountSettings& a) { a.spamNoCc = 1; }, "Cc: c@x.jp\r\n"},
        MissingHeaderCase{"MessageId", [](AccountSettings& a) { a.spamNoMessageId = 1; }, "Message-ID: <i@x>\r\n"},
        MissingHeaderCase{"ReplyTo", [](AccountSettings& a) { a.spamNoReplyTo = 1; }, "Reply-To: a@x.jp\r\n"},
        MissingHeaderCase{"XMailer", [](AccountSettings& a) { a.spamNoXMailer = 1; }, "X-Mailer: m\r\n"},
        MissingHeaderCase{"ContentType", [](AccountSettings& a) { a.spamNoContentType = 1; },
                          "Content-Type: text/plain\r\n"},
        MissingHeaderCase{"MimeVersion", [](AccountSettings& a) { a.spamNoMimeVersion = 1; },
                          "MIME-Version: 1.0\r\n"},
        MissingHeaderCase{"Subject", [](AccountSettings& a) { a.spamNoSubject = 1; }, "Subject: s\r\n"}),
    [](const ::testing::TestParamInfo<MissingHeaderCase>& p) { return p.param.name; });

}  // namespace
}  // namespace velnora
