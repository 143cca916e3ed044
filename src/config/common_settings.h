// Program-wide settings: the head of the settings file. Byte layout as in
// the file (little-endian, no padding); the static_asserts pin every offset.
// Fields may sit at odd addresses: copy them (int v = a.popPort), never bind
// a reference or pointer to one (std::min, push_back, EXPECT_EQ take references).
#pragma once

#include <cstddef>
#include <cstdint>

namespace velnora {

inline constexpr std::size_t kCommonSettingsSize = 1100;

// Identification text at the start of the settings file (13 characters,
// NUL-filled to the 16 bytes of `magic`).
inline constexpr char kSettingsMagic[] = "VEL_NORA4_SP4";

// Bounds of the mailbox capacity (maxHeldMails, maxHeldMailsNext) and the
// value both take when either lies outside them.
inline constexpr int kMinHeldMails = 1000;
inline constexpr int kMaxHeldMails = 50000;
inline constexpr int kDefaultHeldMails = 10000;

// Most accounts a pass checks at once (parallelAccounts).
inline constexpr int kMaxParallelAccounts = 32;

#pragma pack(push, 1)
struct CommonSettings {
  // 0: identification text of the settings file; 13 characters, NUL-filled to 16 bytes
  // [identification]
  char magic[16];
  // 16: widths in pixels of the six columns of the activity list ("サイズ(メール数)", "アカウント", "転送日時",
  // "題名", "差出人", "宛先") [window geometry]
  int16_t logColumnWidths[6];
  // 28: main window width [window geometry]
  int16_t windowWidth;
  // 30: main window height [window geometry]
  int16_t windowHeight;
  // 32: main window left edge [window geometry]
  int16_t windowLeft;
  // 34: main window top edge [window geometry]
  int16_t windowTop;
  // 36: connect automatically after start-up, after a countdown of autoConnectDelaySec seconds
  // [General page]
  int16_t autoConnect;
  // 38: do not forward a mail whose Message-Id is already in the forwarding history [General page]
  int16_t preventDuplicates;
  // 40: write the communication (session) log file [General page]
  int16_t sessionLog;
  // 42: duplicate prevention compares with the history of all accounts (1) or of the same account
  // only (0) [General page]
  int16_t duplicateCheckAllAccounts;
  // 44: how many accounts a pass checks at once: 0 or 1 one after another in list order, 2..32
  // that many side by side [General page]
  int16_t parallelAccounts;
  // 46: hide the main window to the tray once connected [General page]
  int16_t trayAfterConnect;
  // 48: ask for startupPassword at start-up and when the window is restored from the tray [General
  // page]
  int16_t requirePassword;
  // 50: the start-up password [General page]
  char startupPassword[12];
  // 62: when the history holds more than historyLimit entries, delete the older half [General
  // page]
  int16_t trimHistory;
  // 64: the history limit [General page]
  int32_t historyLimit;
  // 68: unused: zero in a fresh record, kept as read
  uint8_t unused68[2];
  // 70: at quit, delete all mails in the mailboxes of all accounts [General page]
  int16_t deleteAllOnQuit;
  // 72: with deleteAllOnQuit: 1 = without asking ("直ちに削除"), 0 = after a confirmation ("確認してから削除")
  // [General page]
  int16_t deleteAllImmediately;
  // 74: reserved: kept as read, not interpreted
  uint8_t reserved74[2];
  // 76: dial the default dial-up connection when no network is present [General page]
  int16_t autoDial;
  // 78: use timeoutSec as the send and receive time-out; otherwise 60 seconds [General page]
  int16_t customTimeout;
  // 80: the time-out in seconds [General page]
  int32_t timeoutSec;
  // 84: unused: zero in a fresh record, kept as read
  uint8_t unused84[2];
  // 86: activity entries about mails held back as duplicates are not written to the history
  // [General page]
  int16_t noHistoryForDuplicates;
  // 88: ask "終了してもよろしいですか？" before quitting [General page]
  int16_t confirmQuit;
  // 90: restart the forwarding worker when a cycle runs longer than stuckWorkerMinutes [General
  // page]
  int16_t restartStuckWorker;
  // 92: the limit in minutes [General page]
  int32_t stuckWorkerMinutes;
  // 96: re-read the settings file before every check [General page]
  int16_t reloadSettingsEachCheck;
  // 98: keep temporary files in the current folder instead of the system temporary folder; takes
  // effect at the next start [General page]
  int16_t tempInCurrentFolder;
  // 100: fetch at most fetchLimit mails per connection [General page]
  int16_t limitFetch;
  // 102: the per-connection limit [General page]
  int16_t fetchLimit;
  // 104: obey remote-control mails [General page]
  int16_t remoteControl;
  // 106: the remote-control password [General page]
  char remotePassword[10];
  // 116: answer an accepted command with the status of all accounts [General page]
  int16_t remoteStatusReport;
  // 118: error and start-up entries of the activity list are not written to the history [General
  // page]
  int16_t noHistoryForErrors;
  // 120: number of forwarded UIDLs kept per account in this run [General page]
  uint16_t maxHeldMails;
  // 122: the value chosen in the dialog; it becomes maxHeldMails at the next start [General page]
  uint16_t maxHeldMailsNext;
  // 124: reserved: kept as read, not interpreted
  uint8_t reserved124[128];
  // 252: reserved: kept as read, not interpreted
  uint8_t reserved252[128];
  // 380: the activity list scrolls to the newest entry [General page]
  int16_t autoScroll;
  // 382: applying the template to accounts leaves the fields of the Server page alone [General
  // page]
  int16_t templateSkipAccountTab;
  // 384: countdown in seconds before the automatic connection [General page]
  int16_t autoConnectDelaySec;
  // 386: do not fetch and show update information at start-up [General page]
  int16_t noUpdateInfo;
  // 388: keyword text that switches developer behaviours on [General page]
  char developerOptions[64];
  // 452: widths of the ten columns of the account list (an unnamed icon column, "アカウント", "受信",
  // "転送済", "非転送", "MBOX", "タイマー", "最終更新", "転送先", "処理") [window geometry]
  int16_t accountColumnWidths[10];
  // 472: main window layout: 0 account list on the left and activity list on the right; 1 activity
  // list only; 2 account list only; 3 account list above the activity list [window geometry]
  int16_t viewMode;
  // 474: width of the account list in layout 0 [window geometry]
  int16_t accountPaneWidth;
  // 476: keep forwarding when a mailbox holds more mails than maxHeldMails [General page]
  int16_t keepForwardingOverLimit;
  // 478: unused: zero in a fresh record, kept as read
  uint8_t unused478[622];
};
#pragma pack(pop)

static_assert(sizeof(CommonSettings) == kCommonSettingsSize);

// Every member in order with its offset in the file. Each offset is pinned by
// a static_assert below; the field table's tests check the table against this
// list, so a new field is a member, a line here and a row in the field table.
#define VELNORA_COMMON_LAYOUT(X) \
  X(magic, 0) \
  X(logColumnWidths, 16) \
  X(windowWidth, 28) \
  X(windowHeight, 30) \
  X(windowLeft, 32) \
  X(windowTop, 34) \
  X(autoConnect, 36) \
  X(preventDuplicates, 38) \
  X(sessionLog, 40) \
  X(duplicateCheckAllAccounts, 42) \
  X(parallelAccounts, 44) \
  X(trayAfterConnect, 46) \
  X(requirePassword, 48) \
  X(startupPassword, 50) \
  X(trimHistory, 62) \
  X(historyLimit, 64) \
  X(unused68, 68) \
  X(deleteAllOnQuit, 70) \
  X(deleteAllImmediately, 72) \
  X(reserved74, 74) \
  X(autoDial, 76) \
  X(customTimeout, 78) \
  X(timeoutSec, 80) \
  X(unused84, 84) \
  X(noHistoryForDuplicates, 86) \
  X(confirmQuit, 88) \
  X(restartStuckWorker, 90) \
  X(stuckWorkerMinutes, 92) \
  X(reloadSettingsEachCheck, 96) \
  X(tempInCurrentFolder, 98) \
  X(limitFetch, 100) \
  X(fetchLimit, 102) \
  X(remoteControl, 104) \
  X(remotePassword, 106) \
  X(remoteStatusReport, 116) \
  X(noHistoryForErrors, 118) \
  X(maxHeldMails, 120) \
  X(maxHeldMailsNext, 122) \
  X(reserved124, 124) \
  X(reserved252, 252) \
  X(autoScroll, 380) \
  X(templateSkipAccountTab, 382) \
  X(autoConnectDelaySec, 384) \
  X(noUpdateInfo, 386) \
  X(developerOptions, 388) \
  X(accountColumnWidths, 452) \
  X(viewMode, 472) \
  X(accountPaneWidth, 474) \
  X(keepForwardingOverLimit, 476) \
  X(unused478, 478)
#define VELNORA_PIN_COMMON(member, at) static_assert(offsetof(CommonSettings, member) == (at), #member);
VELNORA_COMMON_LAYOUT(VELNORA_PIN_COMMON)
#undef VELNORA_PIN_COMMON

}  // namespace velnora
