// Provider presets: a text file of mail providers whose server fields fill
// an account's Server page in one step. The file ("velnorasrv_setting_jp",
// code page 932) is a list of KEY=value lines; "SETTING=" opens a preset.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "config/settings_image.h"

namespace velnora {

inline constexpr char kProviderPresetsFileName[] = "velnorasrv_setting_jp";
inline constexpr std::size_t kMostProviderPresets = 25;

struct ProviderPreset {
  std::string name;    // shown in the list
  std::string domain;  // pre-selects the preset for addresses ending in it
  std::string url;     // the provider's reference page
  std::string popServer, smtpServer;
  int16_t popPort = 0, smtpPort = 0;
  int16_t popSsl = 0, smtpSsl = 0, popApop = 0, smtpAuth = 0;
  int16_t popWait = 0, smtpWait = 0, popWaitTime = 0, smtpWaitTime = 0;
};

// Reads the file's text; lines beyond the 25th preset and a last line
// without LF are ignored, values longer than their field are cut.
std::vector<ProviderPreset> ParseProviderPresets(std::string_view text);
// A missing or unreadable file gives no presets.
std::vector<ProviderPreset> LoadProviderPresets(const std::string& path);

// The presets the choice list shows (those with a name), each with its own
// number, so a choice fills in the preset it names.
struct ListedPreset {
  int preset;
  std::string name;
};
std::vector<ListedPreset> ListedPresets(const std::vector<ProviderPreset>& presets);

// The first preset whose domain ends `address` (case-insensitive; an empty
// domain matches any address), or -1.
int PreselectedPreset(const std::vector<ProviderPreset>& presets, std::string_view address);

// The preset's server fields into the account: servers, ports, TLS, APOP,
// SMTP authentication, the two waits and their seconds.
void ApplyPreset(const ProviderPreset& preset, AccountSettings& account);

}  // namespace velnora
