// The commands of velnora-cli. Each group of commands lives in its own file
// and contributes its rows; the dispatcher finds a command by its name.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_context.h"

namespace velnora::cli {

struct CliCommand {
  std::string_view name;
  std::string_view usage;  // the arguments, e.g. "account N name=value ..."
  std::string_view summary;
  int (*run)(CliContext& context, std::span<const std::string> args);
};

std::span<const CliCommand> SettingsCommands();  // show, set
std::span<const CliCommand> FileCommands();      // backup, restore, import-old
std::span<const CliCommand> CsvCommands();       // export-csv, import-csv
std::span<const CliCommand> RunCommands();       // run
std::span<const CliCommand> DemoCommands();      // demo

// All groups, in the order the usage lists them.
std::vector<CliCommand> AllCommands();

const CliCommand* FindCommand(std::string_view name);

// The usage text.
std::string Usage();

}  // namespace velnora::cli
