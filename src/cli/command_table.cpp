#include "cli/command_table.h"

namespace velnora::cli {

std::vector<CliCommand> AllCommands() {
  std::vector<CliCommand> all;
  for (auto group : {SettingsCommands(), FileCommands(), CsvCommands(), RunCommands(), DemoCommands()}) all.insert(all.end(), group.begin(), group.end());
  return all;
}

const CliCommand* FindCommand(std::string_view name) {
  for (auto group : {SettingsCommands(), FileCommands(), CsvCommands(), RunCommands(), DemoCommands()}) {
    for (const CliCommand& command : group) {
      if (command.name == name) return &command;
    }
  }
  return nullptr;
}

std::string Usage() {
  std::string text =
      "usage: velnora-cli [--dir DIR] COMMAND ...\n"
      "  --dir DIR   look for the settings as if DIR were the current folder\n"
      "              (otherwise the current folder, then $XDG_CONFIG_HOME/velnora)\n"
      "commands:\n";
  for (const CliCommand& command : AllCommands()) {
    text += "  ";
    text += command.name;
    text += ' ';
    text += command.usage;
    text += "\n      ";
    text += command.summary;
    text += '\n';
  }
  return text;
}

}  // namespace velnora::cli
