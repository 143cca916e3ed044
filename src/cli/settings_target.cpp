#include "cli/settings_target.h"

#include <charconv>

#include "config/settings_image.h"

namespace velnora::cli {

std::optional<SettingsTarget> ParseTarget(std::span<const std::string> args, std::string& problem) {
  if (args.empty()) {
    problem = "name the settings: common, template or account N";
    return std::nullopt;
  }
  if (args[0] == "common") return SettingsTarget{true, 0, 1};
  if (args[0] == "template") return SettingsTarget{false, kTemplateIndex, 1};
  if (args[0] != "account") {
    problem = "unknown settings '" + args[0] + "': use common, template or account N";
    return std::nullopt;
  }
  if (args.size() < 2) {
    problem = "account needs a number 0.." + std::to_string(kAccountCount - 1);
    return std::nullopt;
  }
  int number = -1;
  const std::string& text = args[1];
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (ec != std::errc() || end != text.data() + text.size() || number < 0 || number >= kAccountCount) {
    problem = "account number '" + text + "' is not in 0.." + std::to_string(kAccountCount - 1);
    return std::nullopt;
  }
  return SettingsTarget{false, number, 2};
}

}  // namespace velnora::cli
