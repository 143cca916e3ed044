#include "config/account_csv.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <memory>
#include <span>

#include "config/field_table.h"
#include "config/field_values.h"
#include "platform/codepage.h"

namespace velnora {
namespace {

// Column 1 holds the account number, column 30 the delete mode (two flags
// in one number); every other column is the field of its name.
constexpr std::string_view kNumberColumn = "#";
constexpr std::string_view kDeleteModeColumn = "deleteMode";

struct CsvColumn {
  std::string_view field;
  std::size_t capacity;  // bytes a cell may bring, its terminator included
};

constexpr std::array<CsvColumn, 33> kColumns{{
    {kNumberColumn, 7},         {"accountName", 253},     {"pollInterval", 7},   {"enabled", 7},
    {"forwardTo", 4095},        {"myAddress", 255},       {"popUser", 63},       {"popPassword", 63},
    {"popServer", 255},         {"popPort", 7},           {"smtpServer", 255},   {"smtpPort", 7},
    {"useApop", 7},             {"smtpAuth", 7},          {"smtpAuthUser", 63},  {"smtpAuthPassword", 63},
    {"useSeparateSmtp", 63},    {"separateSmtpSender", 63}, {"popBeforeSmtp", 63}, {"pbsServer", 63},
    {"pbsPort", 63},            {"pbsApop", 63},          {"pbsUser", 63},       {"pbsPassword", 63},
    {"popDelayOn", 63},         {"popDelaySec", 63},      {"smtpDelayOn", 63},   {"smtpDelaySec", 63},
    {"deleteAfterForward", 63}, {kDeleteModeColumn, 63},  {"popSsl", 63},        {"smtpSsl", 63},
    {"pbsSsl", 63},
}};

constexpr int kAccounts = 400;

std::span<uint8_t> Bytes(AccountSettings& account) {
  return {reinterpret_cast<uint8_t*>(&account), sizeof account};
}
std::span<const uint8_t> Bytes(const AccountSettings& account) {
  return {reinterpret_cast<const uint8_t*>(&account), sizeof account};
}

const FieldInfo& Field(std::string_view name) { return *FindField(SettingsRecord::Account, name); }

int DeleteMode(const AccountSettings& account) {
  if (account.spamEraser) return 2;
  return account.deleteIncludingFiltered ? 1 : 0;
}

// Quoted when it holds a comma, a double quote or a line break (code page
// 932 trail bytes are never below 0x40, so a byte scan is exact).
std::string Cell(std::string_view value) {
  std::string doubled;
  for (char c : value) {
    doubled += c;
    if (c == '"') doubled += '"';
  }
  const bool quote = value.find_first_of(",\"\r\n") != std::string_view::npos;
  return quote ? "\"" + doubled + "\"," : doubled + ",";
}

std::string AccountLine(const AccountSettings& account, int number) {
  std::string line;
  for (const CsvColumn& column : kColumns) {
    if (column.field == kNumberColumn) line += std::to_string(number) + ",";
    else if (column.field == kDeleteModeColumn) line += std::to_string(DeleteMode(account)) + ",";
    else line += Cell(FormatFieldValue(Bytes(account), Field(column.field)));
  }
  return line + "\r\n";
}

std::string StoreDeleteMode(AccountSettings& account, std::string_view cell) {
  if (cell != "0" && cell != "1" && cell != "2") return "the delete mode must be 0, 1 or 2";
  account.deleteIncludingFiltered = cell == "1" ? 1 : 0;
  account.spamEraser = cell == "2" ? 1 : 0;
  return {};
}

// Stores one non-empty cell; why not, when it is refused. A value equal to
// the stored one is left as it is, so a file exported from these settings
// reads back even where an older value lies outside today's limits.
std::string Store(AccountSettings& record, std::string_view field, const std::string& cell) {
  if (field == kDeleteModeColumn) {
    return cell == std::to_string(DeleteMode(record)) ? std::string() : StoreDeleteMode(record, cell);
  }
  const FieldInfo& info = Field(field);
  if (FormatFieldValue(Bytes(record), info) == cell) return {};
  return StoreFieldValue(Bytes(record), info, cell);
}

// Skips the rest of the current line (quoted line breaks included).
void SkipLine(std::string_view text, std::size_t& at) {
  std::string ignored;
  while (at < text.size() && ReadCsvCell(text, at, ignored, 1) == CsvCellEnd::Comma) {
  }
}

enum class LineResult { Stored, Skipped, EndOfData, Invalid };

struct LineReader {
  std::string_view text;
  std::size_t at = 0;
  CsvImport& result;
  std::size_t recordStart = 0;

  LineResult Invalid(int column, std::string cell, std::string reason) {
    result.outcome = CsvImport::Outcome::InvalidData;
    // Lines as a text editor counts them (a quoted line break is one too).
    result.line = 1 + int(std::count(text.begin(), text.begin() + std::ptrdiff_t(recordStart), '\n'));
    result.column = column;
    result.cell = std::move(cell);
    result.reason = std::move(reason);
    return LineResult::Invalid;
  }

  LineResult Read(std::array<AccountSettings, kAccountSlots>& work) {
    recordStart = at;
    std::string cell;
    const CsvCellEnd first = ReadCsvCell(text, at, cell, kColumns[0].capacity);
    if (cell.empty() || cell.front() == ';') {
      if (first == CsvCellEnd::Comma) SkipLine(text, at);
      return LineResult::Skipped;
    }
    int number = 0;
    const auto [end, error] = std::from_chars(cell.data(), cell.data() + cell.size(), number);
    if (error != std::errc() || end != cell.data() + cell.size()) return Invalid(1, cell, "not a number");
    if (number < 0 || number >= kAccounts || first != CsvCellEnd::Comma) return LineResult::EndOfData;
    AccountSettings record = work[static_cast<std::size_t>(number)];
    for (std::size_t c = 1; c < kColumns.size(); ++c) {
      const CsvCellEnd ended = ReadCsvCell(text, at, cell, kColumns[c].capacity);
      if (!cell.empty()) {
        const std::string refused = Store(record, kColumns[c].field, cell);
        if (!refused.empty()) return Invalid(int(c) + 1, cell, refused);
      }
      const bool last = c + 1 == kColumns.size();
      if (ended == CsvCellEnd::LineEnd && !last) return LineResult::EndOfData;
      if (ended == CsvCellEnd::Comma && last) SkipLine(text, at);
    }
    work[static_cast<std::size_t>(number)] = record;
    return LineResult::Stored;
  }
};

}  // namespace

const std::string& AccountCsvHeader() {
  static const std::string header = SJIS(
      u8"VELNORA_PRF,アカウント名称,新着,転SW,転送先,転送元,ID,パス,POP名,POP番,SMTP名,SMTP番,APOP,S認,"
      u8"S認USER,S認Pass,別S,別S送信者,別S PbS,別S PbS POP名,別S PbS POP番,別S APOP,別S POP ID,"
      u8"別S POPパス,認待POP,認待POP sec,認待SMTP,認待SMTP sec,後削除,後削除 モード,POP SSL,SMTP SSL,"
      u8"別S POP SSL");
  return header;
}

std::string ExportAccountsCsv(const SettingsImage& image) {
  std::string text = AccountCsvHeader() + "\r\n";
  for (int i = 0; i < kAccounts; ++i) text += AccountLine(image.accounts[i], i);
  return text;
}

// A cell that starts with a double quote runs to the quote that is not
// doubled, commas and line breaks included; "" inside stands for one quote.
// Text after the closing quote is kept as it stands, as in any other cell.
CsvCellEnd ReadCsvCell(std::string_view text, std::size_t& at, std::string& cell, std::size_t capacity) {
  cell.clear();
  const auto keep = [&](char c) {
    if (cell.size() + 1 < capacity) cell += c;
  };
  if (at < text.size() && text[at] == '"') {
    for (++at; at < text.size(); ++at) {
      if (text[at] != '"') {
        keep(text[at]);
      } else if (at + 1 < text.size() && text[at + 1] == '"') {
        keep('"');
        ++at;
      } else {
        ++at;
        break;
      }
    }
  }
  for (; at < text.size(); ++at) {
    const char c = text[at];
    if (c == ',') {
      ++at;
      return CsvCellEnd::Comma;
    }
    if (c == '\n' || (c == '\r' && at + 1 < text.size() && text[at + 1] == '\n')) {
      at += c == '\n' ? 1 : 2;
      return CsvCellEnd::LineEnd;
    }
    if (c == '"' && at + 1 < text.size() && text[at + 1] == '"') ++at;
    keep(c);
  }
  return CsvCellEnd::LineEnd;
}

CsvImport ImportAccountsCsv(std::string_view text, SettingsImage& image, bool acceptOtherHeader) {
  CsvImport result;
  std::size_t headerEnd = text.find('\n');
  std::string_view header = text.substr(0, headerEnd);
  if (!header.empty() && header.back() == '\r') header.remove_suffix(1);
  if (header != AccountCsvHeader() && !acceptOtherHeader) {
    result.outcome = CsvImport::Outcome::HeaderDiffers;
    return result;
  }
  // Every line is read into a copy first: a refused cell leaves the
  // accounts as they were, never half imported.
  auto work = std::make_unique<std::array<AccountSettings, kAccountSlots>>();
  std::copy(std::begin(image.accounts), std::end(image.accounts), work->begin());
  LineReader reader{text, headerEnd == std::string_view::npos ? text.size() : headerEnd + 1, result};
  while (reader.at < text.size()) {
    const LineResult line = reader.Read(*work);
    if (line == LineResult::Invalid) return result;
    if (line == LineResult::EndOfData) break;
    if (line == LineResult::Stored) ++result.count;
  }
  std::copy(work->begin(), work->end(), std::begin(image.accounts));
  return result;
}

}  // namespace velnora
