#include "report/account_list.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "config/account_settings.h"
#include "platform/codepage.h"
#include "report/list_columns.h"

namespace velnora {
namespace {

class AccountListTest : public ::testing::Test {
 protected:
  AccountListTest() : accounts_(401) {
    for (size_t i = 0; i < accounts_.size(); ++i) accounts_[i].listRow = 99;
  }
  std::vector<AccountSettings> accounts_;
};

TEST_F(AccountListTest, EnabledAccountsGetRowsInIndexOrder) {
  AccountSettings& a = accounts_[2];
  a.enabled = 1;
  std::strcpy(a.accountName, "Office");
  a.pollInterval = 15;
  std::strcpy(a.lastCheckTime, "26/12/08 10:00");
  std::strcpy(a.forwardTo, "me@example.jp you@example.jp");
  a.partProcessing = 1;
  accounts_[7].enabled = 1;
  std::strcpy(accounts_[7].lastCheckTime, "N/A");
  accounts_[400].enabled = 1;  // the template is never listed

  std::vector<AccountCounters> counters(401);
  counters[2] = {5, 3, 12};
  auto rows = BuildAccountList(accounts_, counters, -1);

  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].account, 2);
  EXPECT_EQ(rows[0].icon, kAccountIconNormal);
  const std::array<std::string, 10> expected = {
      "", "2 : Office", "8", "5", "3", "12", "15", "26/12/08 10:00",
      "me@example.jp you@example.jp", "ON"};
  EXPECT_EQ(rows[0].columns, expected);
  EXPECT_EQ(rows[1].account, 7);
  EXPECT_EQ(rows[1].columns[1], "7 : ");
  EXPECT_EQ(rows[1].columns[9], " - ");

  EXPECT_EQ(int{accounts_[2].listRow}, 0);
  EXPECT_EQ(int{accounts_[7].listRow}, 1);
  EXPECT_EQ(int{accounts_[0].listRow}, -1);
  EXPECT_EQ(int{accounts_[399].listRow}, -1);
  EXPECT_EQ(int{accounts_[400].listRow}, 99);
}

TEST_F(AccountListTest, ProcessingAccountOutranksTheOverflowMark) {
  for (int i : {0, 1, 2}) accounts_[i].enabled = 1;
  accounts_[1].overflowNotified = 1;
  accounts_[2].overflowNotified = 1;
  auto rows = BuildAccountList(accounts_, {}, 2);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].icon, kAccountIconNormal);
  EXPECT_EQ(rows[1].icon, kAccountIconOverflow);
  EXPECT_EQ(rows[2].icon, kAccountIconProcessing);
  EXPECT_EQ(rows[0].columns[2], "0");  // no counters given
}

TEST_F(AccountListTest, UnterminatedNameStaysWithinItsField) {
  accounts_[0].enabled = 1;
  std::memset(accounts_[0].accountName, 'n', sizeof accounts_[0].accountName);
  auto rows = BuildAccountList(accounts_, {}, -1);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].columns[1], "0 : " + std::string(sizeof accounts_[0].accountName, 'n'));
}

TEST(ListColumnsTest, TitlesAndStoredWidths) {
  EXPECT_EQ(ActivityListTitles()[0], SJIS(u8"サイズ(メール数)"));
  EXPECT_EQ(ActivityListTitles()[5], SJIS(u8"宛先"));
  EXPECT_EQ(AccountListTitles()[0], "");
  EXPECT_EQ(AccountListTitles()[1], SJIS(u8"アカウント"));
  EXPECT_EQ(AccountListTitles()[9], SJIS(u8"処理"));
  EXPECT_EQ(StoredColumnWidth(0), 100);
  EXPECT_EQ(StoredColumnWidth(-5), 100);
  EXPECT_EQ(StoredColumnWidth(1), 1);
  EXPECT_EQ(StoredColumnWidth(250), 250);
  EXPECT_EQ(StoredColumnWidth(100000), 32767);
}

}  // namespace
}  // namespace velnora
