// export-csv and import-csv: the Server-page fields of all accounts as a
// spreadsheet file.
#include <cstdio>
#include <memory>

#include "cli/command_table.h"
#include "cli/settings_folder_lock.h"
#include "config/account_csv.h"
#include "config/settings_file.h"
#include "platform/codepage.h"
#include "platform/files.h"

namespace velnora::cli {
namespace {

int ExportCsv(CliContext& context, std::span<const std::string> args) {
  if (args.size() != 1) return Fail(context, "export-csv needs exactly one target file");
  auto image = std::make_unique<SettingsImage>();
  const LoadResult load = LoadSettings(*image, context.location, context.screen, true, false);
  if (load.fileFound && !load.Usable()) return Fail(context, SettingsFileProblem(load) + "; nothing was exported");
  // Written whole beside the target and renamed, readable by the owner
  // only: the file holds passwords.
  platform::ReplaceFileWriter writer(args[0], 0600);
  if (!writer.ok() || !writer.Write(ExportAccountsCsv(*image)) || !writer.Commit()) {
    return Fail(context, ConsoleText(SJIS(u8"エラー：CSVファイルが開けませんでした")) + " (" + args[0] + ")");
  }
  std::fprintf(context.out, "%s\n", ConsoleText(SJIS(u8"400 個のアカウント情報を書き出しました")).c_str());
  return kExitOk;
}

std::string InvalidDataText(const CsvImport& result) {
  char text[256];
  std::snprintf(text, sizeof text, "\n%s%d  %s%d\n%s'", SJIS(u8"行番号 = ").c_str(), result.line,
                SJIS(u8"列番号 = ").c_str(), result.column, SJIS(u8"セルの文字列= ").c_str());
  return ConsoleText(SJIS(u8"読み込んだCSVファイルの途中に無効なデータがあります。") + text + result.cell + "'") +
         " (" + result.reason + ")";
}

int ImportCsv(CliContext& context, std::span<const std::string> args) {
  const bool anyHeader = args.size() == 2 && args[0] == "--any-header";
  if (args.size() != 1 && !anyHeader) return Fail(context, "import-csv needs [--any-header] FILE");
  const std::string& path = args.back();
  platform::ProcessLock lock;
  if (const int refused = LockForSettingsChange(context, lock, "import-csv")) return refused;
  auto image = std::make_unique<SettingsImage>();
  const LoadResult load = LoadSettings(*image, context.location, context.screen, true, false);
  if (!load.Usable()) return Fail(context, SettingsFileProblem(load) + "; it was left unchanged and nothing was imported");
  std::string text;
  if (!platform::ReadWholeFile(path, text)) {
    return Fail(context, ConsoleText(SJIS(u8"エラー：CSVファイルが開けませんでした")) + " (" + path + ")");
  }
  if (text.empty()) return Fail(context, "Can't Open CSV File (" + path + " is empty)");
  const CsvImport result = ImportAccountsCsv(text, *image, anyHeader);
  if (result.outcome == CsvImport::Outcome::HeaderDiffers) {
    return Fail(context, "the first line of " + path +
                             " is not the header that export-csv writes; nothing was imported "
                             "(--any-header reads the file anyway)");
  }
  if (result.outcome == CsvImport::Outcome::InvalidData) {
    return Fail(context, InvalidDataText(result) + "\nnothing was imported");
  }
  if (SaveSettings(*image, context.location) != SaveResult::Saved) {
    return Fail(context, "the imported settings could not be saved to " + context.location.SettingsPath());
  }
  const std::string done = std::to_string(result.count) + SJIS(u8" 個のアカウント情報を読み込みました");
  std::fprintf(context.out, "%s\n", ConsoleText(done).c_str());
  return kExitOk;
}

constexpr CliCommand kCommands[] = {
    {"export-csv", "FILE", "write the Server-page fields of all 400 accounts to FILE (CSV, code page 932)",
     ExportCsv},
    {"import-csv", "[--any-header] FILE",
     "read accounts from a CSV file as export-csv writes it; nothing is changed unless the whole file is valid",
     ImportCsv},
};

}  // namespace

std::span<const CliCommand> CsvCommands() { return kCommands; }

}  // namespace velnora::cli
