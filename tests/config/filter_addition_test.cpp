// Adding a sender or subject from the activity list to an account's filter.
#include <gtest/gtest.h>

#include <memory>

#include "config/filter_addition.h"
#include "config/settings_defaults.h"
#include "platform/codepage.h"
#include "support/test_text.h"

namespace velnora {
namespace {

TEST(FilterAddition, AddressOfAFromLine) {
  const struct {
    const char* line;
    const char* address;
  } cases[] = {
      {"From: Taro Yamada <taro@example.jp>\r\n", "taro@example.jp"},
      {"From: \"Yamada <sales>\" <taro@example.jp>", "taro@example.jp"},
      {"From: taro@example.jp (Taro Yamada)", "taro@example.jp"},
      {"From: (Taro) taro@example.jp", "taro@example.jp"},
      {"From:(Taro)taro@example.jp", "taro@example.jp"},
      {"From: taro@example.jp", "taro@example.jp"},
      {"From: <unclosed@example.jp", "unclosed@example.jp"},
  };
  for (const auto& c : cases) EXPECT_EQ(ExtractFromAddress(c.line), c.address) << c.line;
}

TEST(FilterAddition, OnlyAddressCharactersMakeAnAddress) {
  EXPECT_TRUE(IsMailAddressText("a.b+c_d-e@example.co.jp"));
  EXPECT_TRUE(IsMailAddressText("!#$%&'*/=?^`{|}~@x"));
  for (const char* text : {"", "a b@example.jp", "taro@example.jp>", "\"q\"@x", "a,b@x", "\x83\x5c@x"}) {
    EXPECT_FALSE(IsMailAddressText(text)) << text;
  }
}

TEST(FilterAddition, AccountsAreFoundByTheirWholeLabel) {
  auto image = std::make_unique<SettingsImage>();
  MakeFreshTable(*image, {});
  testing::SetText(image->accounts[3].accountName, "myhome");
  testing::SetText(image->accounts[5].popUser, "hanako");
  EXPECT_EQ(FindAccountByLabel(*image, "3 : myhome"), 3);
  EXPECT_EQ(FindAccountByLabel(*image, "5 : (hanako)"), 5);
  EXPECT_EQ(FindAccountByLabel(*image, "3 : home"), -1);
  EXPECT_EQ(FindAccountByLabel(*image, "4 : myhome"), -1);
}

TEST(FilterAddition, EntriesAreAppendedOnceWithinTheListsLimits) {
  AccountSettings account{};
  testing::SetText(account.filterFrom, "a@x \"b c\"");
  EXPECT_EQ(AddToFilter(account, FilterList::From, "d@x").outcome, FilterAddition::Added);
  EXPECT_STREQ(account.filterFrom, "a@x \"b c\" d@x");
  EXPECT_EQ(AddToFilter(account, FilterList::From, "a@x").outcome, FilterAddition::AlreadyThere);
  EXPECT_EQ(AddToFilter(account, FilterList::From, "not an address").outcome, FilterAddition::NotAnAddress);
  EXPECT_FALSE(account.filterFromOn) << "the switch stays as it was";

  const std::string subject = SJIS(u8"会議 資料");
  EXPECT_EQ(AddToFilter(account, FilterList::Subject, subject).outcome, FilterAddition::Added);
  EXPECT_EQ(std::string(account.filterSubject), "\"" + subject + "\"");
  EXPECT_EQ(AddToFilter(account, FilterList::Subject, subject).outcome, FilterAddition::AlreadyThere);

  std::string full;
  for (int i = 0; i < 400; ++i) full += "w" + std::to_string(i) + " ";
  testing::SetText(account.filterSubject, full);
  const FilterAdditionResult many = AddToFilter(account, FilterList::Subject, "one-more");
  EXPECT_EQ(many.outcome, FilterAddition::TooMany);
  EXPECT_EQ(many.current, 400);
  testing::SetText(account.filterSubject, std::string(4092, 'x'));
  const FilterAdditionResult longer = AddToFilter(account, FilterList::Subject, "yyyy");
  EXPECT_EQ(longer.outcome, FilterAddition::TooLong);
  EXPECT_EQ(longer.current, 4092);
  EXPECT_EQ(std::string(account.filterSubject), std::string(4092, 'x'));
}

}  // namespace
}  // namespace velnora
