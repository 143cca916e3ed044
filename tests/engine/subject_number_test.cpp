// Part numbers in the subjects of divided feature-phone mails.
#include "engine/compose/subject_number.h"

#include <gtest/gtest.h>

#include <memory>

#include "config/account_settings.h"

namespace velnora {
namespace {

TEST(SubjectNumberTest, NumberPrefixByMostPartsAndNumbering) {
  struct Case {
    int16_t phoneMode, split, numbered, most, mail;
    int part;
    std::string_view expected;
  };
  const Case cases[] = {
      {1, 1, 1, 4, 7, 2, "073)"},    {1, 1, 1, 1, 7, 2, "07)"},     {1, 1, 1, 9, 12, 0, "121)"},
      {1, 1, 1, 10, 3, 4, "0305)"},  {1, 1, 1, 99, 3, 0, "0301)"},  {1, 1, 1, 100, 3, 11, "03012)"},
      {1, 1, 0, 4, 7, 2, "3)"},      {1, 1, 0, 1, 7, 0, ""},        {1, 0, 1, 4, 7, 0, ""},
      {0, 1, 1, 4, 7, 0, ""},
  };
  for (const Case& c : cases) {
    auto account = std::make_unique<AccountSettings>();
    account->phoneMode = c.phoneMode;
    account->phoneSplit = c.split;
    account->phoneNumberSubjects = c.numbered;
    account->phoneSplitMaxMails = c.most;
    account->mailNumber = c.mail;
    EXPECT_EQ(NumberPrefix(*account, c.part), c.expected) << c.most << "/" << c.part;
  }
}

TEST(SubjectNumberTest, MailNumberRunsTo99ThenZeroAndRestartsFromNegative) {
  auto account = std::make_unique<AccountSettings>();
  account->phoneMode = account->phoneSplit = account->phoneNumberSubjects = 1;
  const std::pair<int16_t, int16_t> steps[] = {{0, 1}, {98, 99}, {99, 0}, {-5, 1}, {-32768, 1}};
  for (const auto& [before, after] : steps) {
    account->mailNumber = before;
    AdvanceMailNumber(*account);
    EXPECT_EQ(int{account->mailNumber}, after) << before;
  }
  account->phoneNumberSubjects = 0;
  account->mailNumber = 5;
  AdvanceMailNumber(*account);
  EXPECT_EQ(int{account->mailNumber}, 5) << "unnumbered parts leave the number alone";
}

TEST(SubjectNumberTest, NumberedInformationText) {
  auto account = std::make_unique<AccountSettings>();
  account->phoneMode = 1;
  EXPECT_EQ(NumberedText(*account, 0, "x"), "St:x");
  account->phoneSplit = 1;
  account->phoneSplitMaxMails = 3;
  EXPECT_EQ(NumberedText(*account, 1, "x"), "2)x");
  account->phoneSplitMaxMails = 1;
  EXPECT_EQ(NumberedText(*account, 0, "x"), "x");
  account->phoneNumberSubjects = 1;
  account->mailNumber = 4;
  EXPECT_EQ(NumberedText(*account, 0, "x"), "04)x");
}

}  // namespace
}  // namespace velnora
