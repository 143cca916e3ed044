// Which record a show or set command names: "common", "template" or
// "account N" (N = 0..399).
#pragma once

#include <optional>
#include <span>
#include <string>

namespace velnora::cli {

struct SettingsTarget {
  bool common = false;
  int account = 0;        // 0..399, or the template's slot
  std::size_t words = 0;  // arguments used
};

// nullopt with `problem` set when the words name no record.
std::optional<SettingsTarget> ParseTarget(std::span<const std::string> args, std::string& problem);

}  // namespace velnora::cli
