// The whole settings table as one object: exactly the bytes of the settings
// file "velnora4_zo400.prf" before scrambling. It is 18.8 MB, so it lives on
// the heap (std::make_unique<SettingsImage>()) and is passed to whoever needs it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "config/account_settings.h"
#include "config/common_settings.h"

namespace velnora {

inline constexpr int kAccountCount = 400;   // accounts 0..399
inline constexpr int kTemplateIndex = 400;  // the settings template
inline constexpr int kAccountSlots = 401;   // accounts and the template

inline constexpr std::size_t kUnusedTailSize = 8192;

#pragma pack(push, 1)
struct SettingsImage {
  CommonSettings common;
  AccountSettings accounts[kAccountSlots];
  AccountExtraSettings extras[kAccountSlots];
  uint8_t unusedTail[kUnusedTailSize];  // kept as read
};
#pragma pack(pop)

// Block A (common settings and the account table) and block B (the extra
// table and the unused tail) are read and written as two pieces.
inline constexpr std::size_t kBlockAOffset = 0;
inline constexpr std::size_t kBlockASize = kCommonSettingsSize + kAccountSlots * kAccountSettingsSize;
inline constexpr std::size_t kBlockBOffset = kBlockASize;
inline constexpr std::size_t kBlockBSize = kAccountSlots * kAccountExtraSettingsSize + kUnusedTailSize;
inline constexpr std::size_t kSettingsFileSize = kBlockASize + kBlockBSize;

static_assert(kBlockASize == 15128023);
static_assert(kBlockBSize == 3704610);
static_assert(kSettingsFileSize == 18832633);
static_assert(sizeof(SettingsImage) == kSettingsFileSize);
static_assert(offsetof(SettingsImage, common) == 0);
static_assert(offsetof(SettingsImage, accounts) == 1100);
static_assert(offsetof(SettingsImage, extras) == 15128023);
static_assert(offsetof(SettingsImage, unusedTail) == 18824441);

}  // namespace velnora
