// The Server-page fields of all 400 accounts as a CSV file (code page 932,
// CR LF lines), for setting up many accounts in a spreadsheet, and reading
// such a file back. The columns and their checks come from the field table,
// so a value the CSV accepts is one `velnora-cli set` accepts.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "config/settings_image.h"

namespace velnora {

// The header line, without its CR LF.
const std::string& AccountCsvHeader();

// Header and one line per account 0..399.
std::string ExportAccountsCsv(const SettingsImage& image);

struct CsvImport {
  enum class Outcome {
    Imported,       // the lines read were applied (possibly none)
    HeaderDiffers,  // the first line is not the header; nothing applied
    InvalidData,    // a cell was refused; nothing applied
  };
  Outcome outcome = Outcome::Imported;
  int count = 0;     // accounts applied
  int line = 0;      // InvalidData: the line (the header is line 1)
  int column = 0;    // and the cell on it, from 1
  std::string cell;  // its text
  std::string reason;
};

// Reads `text` and, only when the whole file is valid, stores its lines in
// the accounts of `image`. An empty cell leaves its field as it is; a line
// whose first cell is empty or starts with ";" is skipped; a first cell
// outside 0..399, or a line that ends early, ends the file quietly. Cells
// in double quotes may hold commas, quotes ("") and line breaks.
CsvImport ImportAccountsCsv(std::string_view text, SettingsImage& image, bool acceptOtherHeader = false);

// What ended a cell.
enum class CsvCellEnd { Comma, LineEnd };

// The text of one cell from `at` (where a cell starts); `at` moves past the
// comma or the line end (an LF, CR LF or the end of the text outside
// quotes). A cell that starts with a double quote may hold commas, line
// breaks and "" for a quote. `capacity` - 1 bytes are kept, the rest
// skipped.
CsvCellEnd ReadCsvCell(std::string_view text, std::size_t& at, std::string& cell, std::size_t capacity);

}  // namespace velnora
