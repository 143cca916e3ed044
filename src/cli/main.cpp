// velnora-cli: the settings of the desktop program from a terminal, found
// the way the program finds them.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_context.h"
#include "cli/command_table.h"
#include "platform/files.h"

namespace {

int UsageError(const char* problem) {
  if (problem) std::fprintf(stderr, "velnora-cli: %s\n", problem);
  std::fputs(velnora::cli::Usage().c_str(), stderr);
  return velnora::cli::kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace velnora;
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string folder = platform::CurrentFolder();
  std::size_t next = 0;
  while (next < args.size() && args[next].starts_with("--")) {
    if (args[next] == "--help") return UsageError(nullptr);
    if (args[next] == "--dir") {
      if (next + 1 >= args.size()) return UsageError("--dir needs a folder");
      folder = args[next + 1];
      next += 2;
      continue;
    }
    return UsageError(("unknown option " + args[next]).c_str());
  }
  if (next >= args.size()) return UsageError(nullptr);

  const cli::CliCommand* command = cli::FindCommand(args[next]);
  if (!command) return UsageError(("unknown command " + args[next]).c_str());
  cli::CliContext context{SettingsLocation::ForFolder(folder), DisplayArea{}, stdout, stderr};
  return command->run(context, std::span<const std::string>(args).subspan(next + 1));
}
