// Account CSV export and import: the file a fresh table gives, the round
// trip of awkward values through a spreadsheet file, and the import rules
// (empty cells, skipped lines, the quiet end, refused cells that change
// nothing).
#include "config/account_csv.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <sstream>
#include <vector>

#include "config/field_table.h"
#include "config/field_values.h"
#include "config/settings_defaults.h"
#include "support/test_text.h"

namespace velnora {
namespace {

std::unique_ptr<SettingsImage> FreshTable() {
  auto image = std::make_unique<SettingsImage>();
  MakeFreshTable(*image, DisplayArea{});
  return image;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = text.find("\r\n", at);
    lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

std::vector<std::string> Cells(const std::string& line) {
  std::vector<std::string> cells;
  std::stringstream in(line);
  for (std::string cell; std::getline(in, cell, ',');) cells.push_back(cell);
  return cells;
}

TEST(AccountCsv, AFreshTableExportsItsDefaults) {
  const std::vector<std::string> lines = Lines(ExportAccountsCsv(*FreshTable()));
  ASSERT_EQ(lines.size(), 401u);
  EXPECT_EQ(lines[0] + ",", AccountCsvHeader() + ",");
  const std::vector<std::string> cells = Cells(lines[1]);
  ASSERT_EQ(cells.size(), 33u);
  EXPECT_EQ(std::vector<std::string>(cells.begin(), cells.begin() + 4),
            (std::vector<std::string>{"0", "", "10", "0"}));
  EXPECT_EQ(cells[9], "110");
  EXPECT_EQ(cells[11], "25");
  EXPECT_EQ(cells[20], "110");
  EXPECT_EQ(std::vector<std::string>(cells.end() - 7, cells.end()), std::vector<std::string>(7, "0"));
  EXPECT_EQ(lines[400].substr(0, 4), "399,");
}

// Every exported value comes back as it was: commas, quotes (a leading one
// too), Japanese with a trail byte 0x5C, the highest port, each delete mode.
TEST(AccountCsv, ExportedFieldsComeBackByteForByte) {
  auto source = FreshTable();
  AccountSettings& a = source->accounts[3];
  testing::SetText(a.accountName, "Smith, \"J\"");
  testing::SetText(a.popUser, "\"quoted");
  testing::SetText(a.popPassword, "pa\"ss,word\"");
  testing::SetText(a.smtpServer, "\x83\x5c\x83\x74\x83\x67.example.jp");  // ソフト
  testing::SetText(a.forwardTo, "a@x.example b@y.example");
  a.popPort = int16_t(65535);
  a.deleteAfterForward = 1;
  a.spamEraser = 1;
  source->accounts[4].deleteIncludingFiltered = 1;
  source->accounts[399].enabled = 1;
  source->accounts[399].pollInterval = 1440;

  auto target = FreshTable();
  const CsvImport result = ImportAccountsCsv(ExportAccountsCsv(*source), *target);
  ASSERT_EQ(result.outcome, CsvImport::Outcome::Imported) << result.line << " " << result.column << " " << result.reason;
  EXPECT_EQ(result.count, 400);
  for (int i = 0; i < 400; ++i) {
    const auto* from = reinterpret_cast<const uint8_t*>(&source->accounts[i]);
    const auto* to = reinterpret_cast<const uint8_t*>(&target->accounts[i]);
    for (const FieldInfo& field : FieldsOf(SettingsRecord::Account)) {
      if (field.IsFiller()) continue;
      EXPECT_EQ(FormatFieldValue({to, sizeof(AccountSettings)}, field),
                FormatFieldValue({from, sizeof(AccountSettings)}, field))
          << "account " << i << " " << field.name;
    }
  }
}

std::string Header() { return AccountCsvHeader() + "\r\n"; }
std::string EmptyLine(int number) { return std::to_string(number) + std::string(32, ',') + ",\r\n"; }

TEST(AccountCsv, ImportRules) {
  auto image = FreshTable();
  const auto before = std::make_unique<SettingsImage>(*image);
  const auto same = [&](int i) {
    return std::memcmp(&image->accounts[i], &before->accounts[i], sizeof(AccountSettings)) == 0;
  };
  // Empty cells change nothing but the line counts.
  CsvImport r = ImportAccountsCsv(Header() + EmptyLine(5), *image);
  EXPECT_EQ(r.count, 1);
  EXPECT_TRUE(same(5));
  // Skipped lines, then a name and a poll interval, then the quiet end at 400.
  const std::string named = "7,\"Tanaka, H\",30" + std::string(30, ',') + ",\r\n";
  r = ImportAccountsCsv(Header() + ";comment,x,\r\n,\r\n" + named + EmptyLine(400) + named, *image);
  EXPECT_EQ(r.outcome, CsvImport::Outcome::Imported);
  EXPECT_EQ(r.count, 1);
  EXPECT_EQ(std::string(image->accounts[7].accountName), "Tanaka, H");
  EXPECT_EQ(image->accounts[7].pollInterval, 30);
  // A line that ends early is not stored and ends the file.
  r = ImportAccountsCsv(Header() + "8,early\r\n" + EmptyLine(9), *image);
  EXPECT_EQ(r.count, 0);
  EXPECT_TRUE(same(8));
}

TEST(AccountCsv, ARefusedCellChangesNothing) {
  auto image = FreshTable();
  const auto before = std::make_unique<SettingsImage>(*image);
  const std::string good = "1,renamed" + std::string(31, ',') + ",\r\n";
  const std::string zeroInterval = "2,,0" + std::string(30, ',') + ",\r\n";
  const std::string quotedBreak = "3,\"two\r\nlines\"" + std::string(31, ',') + ",\r\n";
  const struct {
    std::string text;
    CsvImport::Outcome outcome;
    int line, column;
  } cases[] = {
      {Header() + good + zeroInterval, CsvImport::Outcome::InvalidData, 3, 3},
      {Header() + good + "x" + EmptyLine(1), CsvImport::Outcome::InvalidData, 3, 1},
      // The line break stays inside its cell: a one-line field refuses it.
      {Header() + good + quotedBreak, CsvImport::Outcome::InvalidData, 3, 2},
      {"other,header\r\n" + good, CsvImport::Outcome::HeaderDiffers, 0, 0},
  };
  for (const auto& c : cases) {
    const CsvImport r = ImportAccountsCsv(c.text, *image);
    EXPECT_EQ(r.outcome, c.outcome);
    EXPECT_EQ(r.line, c.line);
    EXPECT_EQ(r.column, c.column);
    EXPECT_EQ(std::memcmp(image->accounts, before->accounts, sizeof image->accounts), 0) << "half imported";
  }
}

}  // namespace
}  // namespace velnora
