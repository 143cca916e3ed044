#include "config/settings_repairs.h"

#include <cstring>
#include <iterator>
#include <string>

#include "config/field_access.h"
#include "config/settings_defaults.h"

namespace velnora {
namespace {

constexpr int16_t kAccountColumnWidths[10] = {25, 125, 50, 50, 50, 50, 50, 110, 150, 50};

bool Empty(const char* text) { return text[0] == '\0'; }

void RepairAccount(AccountSettings& a) {
  if (a.phoneSplitMaxMails <= 0) a.phoneSplitMaxMails = 1;
  if (a.phoneSplitBytes <= 8) a.phoneSplitBytes = 8;
  if (Empty(a.phoneCitationPrefixes)) {
    std::memcpy(a.phoneCitationPrefixes, kDefaultCitationPrefixes, sizeof kDefaultCitationPrefixes);
  }
  a.accountName[sizeof a.accountName - 1] = '\0';
}

// A one-line text ends at its first control character: what follows a line
// break was never part of the value and must not reach a command line. A TAB
// is blank space, not a line end; a value that holds one is kept.
void CutAtControls(std::span<uint8_t> record, SettingsRecord kind) {
  for (const FieldInfo& field : FieldsOf(kind)) {
    if (!field.IsSingleLineText() || field.Has(kReadOnly)) continue;
    const std::string_view text = ReadText(record, field);
    for (std::size_t i = 0; i < text.size(); ++i) {
      const unsigned char c = static_cast<unsigned char>(text[i]);
      if ((c >= 0x20 && c != 0x7F) || c == '\t') continue;
      WriteText(record, field, std::string(text.substr(0, i)));
      break;
    }
  }
}

}  // namespace

void RepairSettings(SettingsImage& image, DisplayArea screen, std::span<const int16_t> suspensions) {
  CommonSettings& c = image.common;
  // 1. The account list columns always start from their defaults.
  std::memcpy(c.accountColumnWidths, kAccountColumnWidths, sizeof kAccountColumnWidths);
  // 2. A window off the screen is put back in the middle.
  if (c.windowLeft < 0 || c.windowLeft > screen.width || c.windowTop < 0 ||
      c.windowTop > screen.height) {
    CentreWindow(c, screen);
  }
  // 3.
  for (std::size_t i = 0; i < std::size(c.logColumnWidths); ++i) {
    if (c.logColumnWidths[i] <= 0) c.logColumnWidths[i] = 100;
  }
  // 4.
  for (AccountSettings& a : image.accounts) RepairAccount(a);
  // 5. Trimming to a limit of 0 would empty the history.
  if (c.trimHistory != 0 && c.historyLimit == 0) c.trimHistory = 0;
  // 6.
  for (AccountSettings& a : image.accounts) {
    a.noUidlActive = a.noUidl;
    if (a.phoneSplitDelaySec < 1 || a.phoneSplitDelaySec > 600) a.phoneSplitDelaySec = 10;
  }
  // 7.
  for (AccountSettings& a : image.accounts) {
    if (a.phoneSubjectBytes == 0) a.phoneSubjectBytes = 16;
  }
  // 8.
  if (c.stuckWorkerMinutes < 10) c.stuckWorkerMinutes = 10;
  // 9. Cutting at an empty word would cut at every line.
  for (AccountSettings& a : image.accounts) {
    if (Empty(a.phoneCutWord)) a.phoneCutAtWord = 0;
  }
  // 10. Remote-control suspensions live in memory, not in the file.
  for (int i = 0; i < kAccountSlots; ++i) {
    AccountSettings& a = image.accounts[i];
    if (static_cast<std::size_t>(i) < suspensions.size()) a.remoteSuspended = suspensions[i];
    a.accountIndex = static_cast<int16_t>(i);
  }
  // 11.
  for (AccountSettings& a : image.accounts) {
    if (a.limitSubjectBytes <= 0 || a.limitSubjectBytes >= 255) a.limitSubjectBytes = 80;
  }
  // 12. The two capacities are repaired together.
  const auto inRange = [](uint16_t v) { return v >= kMinHeldMails && v <= kMaxHeldMails; };
  if (!inRange(c.maxHeldMails) || !inRange(c.maxHeldMailsNext)) {
    c.maxHeldMails = kDefaultHeldMails;
    c.maxHeldMailsNext = kDefaultHeldMails;
  }
  // 13.
  if (c.autoConnectDelaySec <= 0) c.autoConnectDelaySec = 5;
  if (c.autoConnectDelaySec > 60) c.autoConnectDelaySec = 60;
  // 14.
  for (int i = 0; i < kAccountCount; ++i) image.accounts[i].accountNumber = static_cast<int16_t>(i);
  // 15. A negative value stays negative under %; keep it a layout number.
  c.viewMode = static_cast<int16_t>(c.viewMode % 4);
  if (c.viewMode < 0) c.viewMode = static_cast<int16_t>(c.viewMode + 4);
  // 16.
  if (c.accountPaneWidth < 30) c.accountPaneWidth = 360;
  if (c.accountPaneWidth > screen.width / 2) c.accountPaneWidth = static_cast<int16_t>(screen.width / 2);
  // 17.
  CutAtControls(RecordBytes(c), SettingsRecord::Common);
  for (AccountSettings& a : image.accounts) CutAtControls(RecordBytes(a), SettingsRecord::Account);
  for (AccountExtraSettings& e : image.extras) CutAtControls(RecordBytes(e), SettingsRecord::Extra);
}

}  // namespace velnora
