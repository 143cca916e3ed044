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

// The common record: list layout, a window on the screen, and values the
// worker cannot run with.
void RepairCommon(CommonSettings& c, DisplayArea screen) {
  // The account list columns always start from their defaults.
  std::memcpy(c.accountColumnWidths, kAccountColumnWidths, sizeof kAccountColumnWidths);
  // A window off the screen is put back in the middle.
  if (c.windowLeft < 0 || c.windowLeft > screen.width || c.windowTop < 0 ||
      c.windowTop > screen.height) {
    CentreWindow(c, screen);
  }
  for (std::size_t i = 0; i < std::size(c.logColumnWidths); ++i) {
    if (c.logColumnWidths[i] <= 0) c.logColumnWidths[i] = 100;
  }
  // Trimming to a limit of 0 would empty the history.
  if (c.trimHistory != 0 && c.historyLimit == 0) c.trimHistory = 0;
  if (c.stuckWorkerMinutes < 10) c.stuckWorkerMinutes = 10;
  // The two capacities are repaired together.
  const auto inRange = [](uint16_t v) { return v >= kMinHeldMails && v <= kMaxHeldMails; };
  if (!inRange(c.maxHeldMails) || !inRange(c.maxHeldMailsNext)) {
    c.maxHeldMails = kDefaultHeldMails;
    c.maxHeldMailsNext = kDefaultHeldMails;
  }
  if (c.autoConnectDelaySec <= 0) c.autoConnectDelaySec = 5;
  if (c.autoConnectDelaySec > 60) c.autoConnectDelaySec = 60;
  // A negative value stays negative under %; keep it a layout number.
  c.viewMode = static_cast<int16_t>(c.viewMode % 4);
  if (c.viewMode < 0) c.viewMode = static_cast<int16_t>(c.viewMode + 4);
  if (c.accountPaneWidth < 30) c.accountPaneWidth = 360;
  if (c.accountPaneWidth > screen.width / 2) c.accountPaneWidth = static_cast<int16_t>(screen.width / 2);
}

// One account record (or the template), with what it carries of this run:
// its index, and the remote-control suspension, which lives in memory, not
// in the file.
void RepairAccount(AccountSettings& a, int index, std::span<const int16_t> suspensions) {
  if (a.phoneSplitMaxMails <= 0) a.phoneSplitMaxMails = 1;
  if (a.phoneSplitBytes <= 8) a.phoneSplitBytes = 8;
  if (Empty(a.phoneCitationPrefixes)) {
    std::memcpy(a.phoneCitationPrefixes, kDefaultCitationPrefixes, sizeof kDefaultCitationPrefixes);
  }
  a.accountName[sizeof a.accountName - 1] = '\0';
  a.noUidlActive = a.noUidl;
  if (a.phoneSplitDelaySec < 1 || a.phoneSplitDelaySec > 600) a.phoneSplitDelaySec = 10;
  if (a.phoneSubjectBytes == 0) a.phoneSubjectBytes = 16;
  // Cutting at an empty word would cut at every line.
  if (Empty(a.phoneCutWord)) a.phoneCutAtWord = 0;
  if (static_cast<std::size_t>(index) < suspensions.size()) a.remoteSuspended = suspensions[index];
  a.accountIndex = static_cast<int16_t>(index);
  if (a.limitSubjectBytes <= 0 || a.limitSubjectBytes >= 255) a.limitSubjectBytes = 80;
  // The template slot keeps the number it has.
  if (index < kAccountCount) a.accountNumber = static_cast<int16_t>(index);
}

}  // namespace

void RepairSettings(SettingsImage& image, DisplayArea screen, std::span<const int16_t> suspensions) {
  RepairCommon(image.common, screen);
  for (int i = 0; i < kAccountSlots; ++i) RepairAccount(image.accounts[i], i, suspensions);
  // Last: the repairs above may not leave a control character either.
  CutAtControls(RecordBytes(image.common), SettingsRecord::Common);
  for (AccountSettings& a : image.accounts) CutAtControls(RecordBytes(a), SettingsRecord::Account);
  for (AccountExtraSettings& e : image.extras) CutAtControls(RecordBytes(e), SettingsRecord::Extra);
}

}  // namespace velnora
