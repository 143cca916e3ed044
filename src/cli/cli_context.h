// What every velnora-cli command gets: where the settings are, the screen
// size for the window repairs and the two output streams.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "config/display_area.h"
#include "config/settings_location.h"

namespace velnora::cli {

struct CliContext {
  SettingsLocation location;
  DisplayArea screen;
  std::FILE* out = stdout;
  std::FILE* err = stderr;
};

// Exit codes.
inline constexpr int kExitOk = 0;
inline constexpr int kExitError = 1;
inline constexpr int kExitUsage = 2;

// Prints "velnora-cli: <message>" on the error stream and returns kExitError.
int Fail(const CliContext& context, std::string_view message);

// A code page 932 text for the console: UTF-8, control characters shown as \xNN.
std::string ConsoleText(std::string_view cp932);

}  // namespace velnora::cli
