// One field of the settings sheet: its widget, made from the field's row of
// the field table, the value it showed when the page was loaded, and the
// value it holds now in the form `velnora-cli set` takes.
#pragma once

#include <QString>
#include <cstdint>
#include <span>
#include <string>

#include "config/field_table.h"

class QCheckBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace velnora::ui {

class SheetField {
 public:
  // Adds the field's row to `form` and shows the value held in `record`.
  SheetField(const FieldInfo& field, std::span<const uint8_t> record, QFormLayout* form);

  const FieldInfo& info() const { return *field_; }
  // Shows the value `record` holds (a preset filled in); the field then
  // counts as changed when it differs from what the page loaded.
  void Show(std::span<const uint8_t> record);
  // The widget named after the field (for focus and tests).
  QWidget* widget() const;
  // The user changed the value since the page was loaded. An untouched field
  // is not stored, so a value that the sheet could not take (longer than
  // the edit limit, written by the CSV exchange or the command line) stays.
  bool Touched() const { return Shown() != loaded_; }
  // The value as code page 932 text, numbers in decimal; false when the
  // text holds a character code page 932 has no form for.
  bool Value(std::string& cp932) const;
  // The characters of the value that code page 932 has no form for, each
  // once; empty for a password, which is never shown.
  QString Unencodable() const;
  // The smallest and largest number the sheet accepts (ports start at 1).
  int64_t Minimum() const;
  int64_t Maximum() const { return field_->maxValue; }

 private:
  QString Shown() const;
  void UpdateStatus();

  const FieldInfo* field_;
  QCheckBox* check_ = nullptr;
  QLineEdit* line_ = nullptr;
  QPlainTextEdit* list_ = nullptr;
  QLabel* status_ = nullptr;
  QString loaded_;
};

// The status line of a word list: entries and bytes against their limits;
// with `quotes`, the double quotes and " OK" when they pair up, " NG" when not.
QString WordListStatus(const FieldInfo& field, std::string_view cp932, bool quotes);

}  // namespace velnora::ui
