#include "report/account_list.h"

#include <algorithm>
#include <cstdio>

#include "config/account_settings.h"
#include "report/settings_text.h"

namespace velnora {

std::vector<AccountListRow> BuildAccountList(std::span<AccountSettings> accounts,
                                             std::span<const AccountCounters> counters,
                                             int highlightAccount) {
  std::vector<AccountListRow> rows;
  const size_t listed = std::min<size_t>(accounts.size(), kListedAccounts);
  for (size_t i = 0; i < listed; ++i) {
    AccountSettings& account = accounts[i];
    if (!account.enabled) {
      account.listRow = -1;
      continue;
    }
    account.listRow = static_cast<int16_t>(rows.size());
    const AccountCounters count = i < counters.size() ? counters[i] : AccountCounters{};

    AccountListRow row;
    row.account = static_cast<int>(i);
    if (static_cast<int>(i) == highlightAccount) row.icon = kAccountIconProcessing;
    else if (account.overflowNotified) row.icon = kAccountIconOverflow;

    char number[32];
    std::snprintf(number, sizeof number, "%d : ", static_cast<int>(i));
    row.columns[1] = number + std::string(SettingsText(account.accountName));
    row.columns[2] = std::to_string(count.forwardedCount + count.filteredCount);
    row.columns[3] = std::to_string(count.forwardedCount);
    row.columns[4] = std::to_string(count.filteredCount);
    row.columns[5] = std::to_string(count.serverMailCount);
    row.columns[6] = std::to_string(static_cast<int>(account.pollInterval));
    row.columns[7] = std::string(SettingsText(account.lastCheckTime));
    row.columns[8] = std::string(SettingsText(account.forwardTo));
    row.columns[9] = account.partProcessing ? "ON" : " - ";
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace velnora
