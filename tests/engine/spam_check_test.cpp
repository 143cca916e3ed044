// The spam switches: in mode a any switched-on condition that holds makes
// spam, in mode c all of them must hold; modes b and d never use them.
#include "engine/spam_check.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace velnora
