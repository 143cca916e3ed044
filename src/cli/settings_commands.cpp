// show and set: the fields of one settings record, through the field table.
#include <algorithm>
#include <memory>
#include <vector>

#include "cli/command_table.h"
#include "cli/settings_folder_lock.h"
#include "cli/settings_target.h"
#include "config/field_access.h"
#include "config/field_store_rules.h"
#include "config/field_values.h"
#include "config/settings_file.h"
#include "platform/codepage.h"

namespace velnora::cli {
namespace {

std::unique_ptr<SettingsImage> LoadForTool(CliContext& context, LoadResult& load) {
  auto image = std::make_unique<SettingsImage>();
  // The file's own remoteSuspended values: this process has no suspensions of its own.
  load = LoadSettings(*image, context.location, context.screen, true, false);
  return image;
}

void NoteLoad(const CliContext& context, const LoadResult& load) {
  if (!load.fileFound) std::fprintf(context.err, "velnora-cli: no settings file yet; these are the defaults\n");
  else if (!load.Usable()) {
    std::fprintf(context.err, "velnora-cli: %s; these are the defaults, not its content\n",
                 SettingsFileProblem(load).c_str());
  }
}

void ShowRecord(const CliContext& context, std::span<const uint8_t> record, SettingsRecord kind) {
  for (const FieldInfo& field : FieldsOf(kind)) {
    if (field.IsFiller()) continue;
    std::string value = FormatFieldValue(record, field);
    if (field.type == FieldType::Text) value = ConsoleText(value);
    std::fprintf(context.out, "%.*s = %s\n", static_cast<int>(field.name.size()), field.name.data(),
                 value.c_str());
  }
}

int Show(CliContext& context, std::span<const std::string> args) {
  std::string problem;
  const auto target = ParseTarget(args, problem);
  if (!target) return Fail(context, problem);
  if (args.size() > target->words) return Fail(context, "show takes no more arguments");
  LoadResult load;
  const auto image = LoadForTool(context, load);
  NoteLoad(context, load);
  if (target->common) {
    ShowRecord(context, RecordBytes(image->common), SettingsRecord::Common);
  } else {
    ShowRecord(context, RecordBytes(image->accounts[target->account]), SettingsRecord::Account);
    ShowRecord(context, RecordBytes(image->extras[target->account]), SettingsRecord::Extra);
  }
  return kExitOk;
}

struct Assignment {
  const FieldInfo* field;
  std::string value;  // code page 932
};

// The name=value words after the target, each with its field and its value
// in code page 932. An empty problem when every word is one.
std::vector<Assignment> ParseAssignments(const SettingsTarget& target,
                                         std::span<const std::string> words, std::string& problem) {
  std::vector<Assignment> assignments;
  for (const std::string& arg : words) {
    const auto equals = arg.find('=');
    if (equals == std::string::npos || equals == 0) {
      problem = "'" + arg + "' is not name=value";
      return {};
    }
    const std::string name = arg.substr(0, equals);
    const FieldInfo* field = target.common ? FindField(SettingsRecord::Common, name) : nullptr;
    if (!target.common) {
      field = FindField(SettingsRecord::Account, name);
      if (!field) field = FindField(SettingsRecord::Extra, name);
    }
    if (!field || field->IsFiller()) {
      problem = "no field named " + name + " in these settings";
      return {};
    }
    Assignment assignment{field, {}};
    if (!platform::Utf8ToCp932(arg.substr(equals + 1), assignment.value)) {
      problem = name + ": the text has characters that code page 932 cannot hold";
      return {};
    }
    assignments.push_back(std::move(assignment));
  }
  return assignments;
}

struct RecordView {
  SettingsRecord kind;
  std::span<uint8_t> bytes;
};

// Stores the values and applies the store rules of every record touched.
// An empty result when all went in; the refusal otherwise (nothing is saved then).
std::string ApplyAssignments(CliContext& context, std::span<RecordView> records,
                             const std::vector<Assignment>& assignments) {
  std::vector<SettingsPage> pages;
  for (const Assignment& a : assignments) {
    for (RecordView& record : records) {
      if (record.kind != a.field->record) continue;
      if (std::string refusal = StoreFieldValue(record.bytes, *a.field, a.value); !refusal.empty()) {
        return refusal;
      }
    }
    if (std::find(pages.begin(), pages.end(), a.field->page) == pages.end()) pages.push_back(a.field->page);
  }
  for (RecordView& record : records) {
    std::vector<const FieldInfo*> assigned;
    for (const Assignment& a : assignments) {
      if (a.field->record == record.kind) assigned.push_back(a.field);
    }
    const StoreRulesOutcome outcome = ApplyStoreRules(record.bytes, record.kind, pages, assigned);
    if (!outcome.error.empty()) return outcome.error;
    for (const std::string& note : outcome.notes) std::fprintf(context.err, "velnora-cli: %s\n", note.c_str());
  }
  return {};
}

int SaveChangedSettings(CliContext& context, const SettingsImage& image) {
  switch (SaveSettings(image, context.location)) {
    case SaveResult::Saved:
      return kExitOk;
    case SaveResult::NoWritableFile:
      return Fail(context, "cannot create the settings file " + context.location.SettingsPath());
    case SaveResult::WriteFailed:
      return Fail(context, "writing the settings file failed; the previous file is unchanged");
    case SaveResult::TargetDamaged:
      return Fail(context, "the settings file " + context.location.SettingsPath() +
                               " is not a whole settings file; it was left unchanged and nothing was saved");
  }
  return kExitError;
}

int Set(CliContext& context, std::span<const std::string> args) {
  std::string problem;
  const auto target = ParseTarget(args, problem);
  if (!target) return Fail(context, problem);
  if (args.size() == target->words) return Fail(context, "set needs at least one name=value");
  const std::vector<Assignment> assignments =
      ParseAssignments(*target, args.subspan(target->words), problem);
  if (!problem.empty()) return Fail(context, problem);

  platform::ProcessLock lock;
  if (const int refused = LockForSettingsChange(context, lock, "set")) return refused;
  LoadResult load;
  const auto image = LoadForTool(context, load);
  if (!load.Usable()) {
    return Fail(context, SettingsFileProblem(load) +
                             "; it was left unchanged and nothing was saved (restore a backup, or move the "
                             "file away to start from the defaults)");
  }
  std::vector<RecordView> records;
  if (target->common) {
    records.push_back({SettingsRecord::Common, RecordBytes(image->common)});
  } else {
    records.push_back({SettingsRecord::Account, RecordBytes(image->accounts[target->account])});
    records.push_back({SettingsRecord::Extra, RecordBytes(image->extras[target->account])});
  }
  if (const std::string refusal = ApplyAssignments(context, records, assignments); !refusal.empty()) {
    return Fail(context, refusal + "; nothing saved");
  }
  return SaveChangedSettings(context, *image);
}

constexpr CliCommand kCommands[] = {
    {"show", "common | template | account N",
     "print every field as name = value (texts in UTF-8, arrays comma-separated)", Show},
    {"set", "common | template | account N name=value ...",
     "check the values against the field limits, store them and save the settings", Set},
};

}  // namespace

std::span<const CliCommand> SettingsCommands() { return kCommands; }

}  // namespace velnora::cli
