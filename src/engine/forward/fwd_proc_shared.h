// Small helpers shared by the files of the per-account forwarding.
#pragma once

#include "engine/context.h"

namespace velnora {

// The statistics are indexed by accountNumber; a damaged number is ignored.
inline bool HasStatistics(int accountNumber) { return accountNumber >= 0 && accountNumber < kAccountCount; }

inline void SetServerMailCount(Context& ctx, int account, int count) {
  const int number = ctx.account(account).accountNumber;
  if (HasStatistics(number)) ctx.stats.serverMailCount[std::size_t(number)] = count;
}

}  // namespace velnora
