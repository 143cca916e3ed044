// The rows of the account list, built from the settings and the counters of
// each account without any toolkit, for the window and the console to show.
#pragma once

#include <array>
#include <span>
#include <string>
#include <vector>

namespace velnora {

struct AccountSettings;

inline constexpr int kListedAccounts = 400;

// What the forwarding procedure counted for one account.
struct AccountCounters {
  int forwardedCount = 0;
  int filteredCount = 0;
  int serverMailCount = 0;
};

enum AccountListIcon {
  kAccountIconNormal = 0,
  kAccountIconProcessing = 1,  // the account being forwarded now
  kAccountIconOverflow = 2,    // its overflow notice has been sent
};

struct AccountListRow {
  int account = 0;  // index of the account
  int icon = kAccountIconNormal;
  std::array<std::string, 10> columns;  // column 0 shows the icon only
};

// One row per enabled account among the first kListedAccounts, in index
// order. Sets each account's listRow: its row, or -1 when it is not listed.
// `counters` is indexed like `accounts`; missing entries count as zero.
// `highlightAccount` is the account being processed, or -1.
std::vector<AccountListRow> BuildAccountList(std::span<AccountSettings> accounts,
                                             std::span<const AccountCounters> counters,
                                             int highlightAccount);

}  // namespace velnora
