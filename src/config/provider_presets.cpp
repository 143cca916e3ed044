#include "config/provider_presets.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/files.h"

namespace velnora {
namespace {

// Leading decimal number (an optional sign, then digits); 0 without one.
int16_t LeadingNumber(std::string_view value) {
  std::size_t at = 0;
  const bool negative = at < value.size() && value[at] == '-';
  if (at < value.size() && (value[at] == '-' || value[at] == '+')) ++at;
  long number = 0;
  for (; at < value.size() && std::isdigit(static_cast<unsigned char>(value[at])); ++at) {
    number = std::min(number * 10 + (value[at] - '0'), 100000L);
  }
  number = negative ? -number : number;
  return static_cast<int16_t>(std::clamp(number, -32768L, 32767L));
}

void SetText(std::string& field, std::string_view value, std::size_t capacity) {
  field.assign(value.substr(0, capacity - 1));
}

void Assign(ProviderPreset& preset, std::string_view key, std::string_view value) {
  struct TextKey {
    std::string_view key;
    std::string ProviderPreset::*field;
    std::size_t capacity;
  };
  static const TextKey kTexts[] = {
      {"DOMAIN=", &ProviderPreset::domain, 64},       {"PROVIDERURL=", &ProviderPreset::url, 256},
      {"POPSERVER=", &ProviderPreset::popServer, 128}, {"SMTPSERVER=", &ProviderPreset::smtpServer, 128},
  };
  struct NumberKey {
    std::string_view key;
    int16_t ProviderPreset::*field;
  };
  static const NumberKey kNumbers[] = {
      {"POPPORT=", &ProviderPreset::popPort},         {"SMTPPORT=", &ProviderPreset::smtpPort},
      {"POPSSL=", &ProviderPreset::popSsl},           {"SMTPSSL=", &ProviderPreset::smtpSsl},
      {"POPAPOP=", &ProviderPreset::popApop},         {"SMTPAUTH=", &ProviderPreset::smtpAuth},
      {"POPWAIT=", &ProviderPreset::popWait},         {"SMTPWAIT=", &ProviderPreset::smtpWait},
      {"POPWAITTIME=", &ProviderPreset::popWaitTime}, {"SMTPWAITTIME=", &ProviderPreset::smtpWaitTime},
  };
  for (const TextKey& entry : kTexts) {
    if (entry.key == key) return SetText(preset.*entry.field, value, entry.capacity);
  }
  for (const NumberKey& entry : kNumbers) {
    if (entry.key == key) {
      preset.*entry.field = LeadingNumber(value);
      return;
    }
  }
}

void CopyField(char* field, std::size_t size, const std::string& value) {
  std::memset(field, 0, size);
  std::memcpy(field, value.data(), std::min(value.size(), size - 1));
}

}  // namespace

std::vector<ProviderPreset> ParseProviderPresets(std::string_view text) {
  std::vector<ProviderPreset> presets;
  std::size_t opened = 0;  // SETTING= lines so far: the next one opens preset `opened`
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string_view::npos; start = end + 1) {
    std::string line;
    for (char c : text.substr(start, end - start)) {
      if (c != '\r') line += c;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string_view key = std::string_view(line).substr(0, equals + 1);
    const std::string_view value = std::string_view(line).substr(equals + 1);
    if (key == "SETTING=") {
      if (opened == kMostProviderPresets) break;
      if (presets.size() <= opened) presets.emplace_back();
      SetText(presets[opened++].name, value, 64);
      continue;
    }
    // Keys before any SETTING= belong to the first preset.
    if (presets.empty()) presets.emplace_back();
    Assign(presets[opened == 0 ? 0 : opened - 1], key, value);
  }
  return presets;
}

std::vector<ProviderPreset> LoadProviderPresets(const std::string& path) {
  std::string text;
  if (!platform::ReadWholeFile(path, text, 1 << 20)) return {};
  return ParseProviderPresets(text);
}

std::vector<ListedPreset> ListedPresets(const std::vector<ProviderPreset>& presets) {
  std::vector<ListedPreset> listed;
  for (std::size_t i = 0; i < presets.size(); ++i) {
    if (!presets[i].name.empty()) listed.push_back({int(i), presets[i].name});
  }
  return listed;
}

int PreselectedPreset(const std::vector<ProviderPreset>& presets, std::string_view address) {
  auto lower = [](std::string_view text) {
    std::string out(text);
    for (char& c : out) c = char(std::tolower(static_cast<unsigned char>(c)));
    return out;
  };
  const std::string wanted = lower(address);
  for (std::size_t i = 0; i < presets.size(); ++i) {
    if (presets[i].name.empty()) continue;
    const std::string domain = lower(presets[i].domain);
    if (wanted.size() >= domain.size() && wanted.compare(wanted.size() - domain.size(), domain.size(), domain) == 0) {
      return int(i);
    }
  }
  return -1;
}

void ApplyPreset(const ProviderPreset& preset, AccountSettings& account) {
  CopyField(account.popServer, sizeof account.popServer, preset.popServer);
  CopyField(account.smtpServer, sizeof account.smtpServer, preset.smtpServer);
  account.popPort = preset.popPort;
  account.smtpPort = preset.smtpPort;
  account.popSsl = preset.popSsl;
  account.smtpSsl = preset.smtpSsl;
  account.useApop = preset.popApop;
  account.smtpAuth = preset.smtpAuth;
  account.popDelayOn = preset.popWait;
  account.smtpDelayOn = preset.smtpWait;
  account.popDelaySec = preset.popWaitTime;
  account.smtpDelaySec = preset.smtpWaitTime;
}

}  // namespace velnora
