// What composing one forwarded message reads: the account and its extra
// record, the program-wide settings, the conversion options in force, the
// folder of the part files, and the time stamps and random tag of this run
// (given from outside so that a composition can be repeated exactly).
#pragma once

#include <cstdint>
#include <string>

namespace velnora {

struct AccountSettings;
struct AccountExtraSettings;
struct CommonSettings;
struct SettingsImage;
struct ConvertOptions;
class ActivityLog;

struct ComposeStamps {
  std::string resentDate;      // "Tue, 08 Dec 2026 19:05:09 +0900"
  std::string compactStamp;    // "261208-100509" (UTC)
  uint16_t randomTag = 0;      // the four hex digits of Resent-Message-ID
};

struct ComposeInput {
  AccountSettings& account;  // the mail number advances here
  const AccountExtraSettings& extra;
  const CommonSettings& common;
  const ConvertOptions& convert;
  std::string tempFolder;
  ActivityLog* log = nullptr;  // session-log trace; none in tests
  ComposeStamps stamps;
  // All accounts, for the status report that answers a remote command.
  const SettingsImage* settings = nullptr;
};

// The product's name and version as forwarded mail carries them.
inline constexpr char kMailerLine[] = "X-Mailer: Velnora (JP-400) V5.20.00 \r\n";
inline constexpr char kVersionDigits[] = "52000";
inline constexpr char kMessageIdDomain[] = "@velnora";

}  // namespace velnora
