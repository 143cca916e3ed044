// One field of the settings sheet: its widget, made from the field's row of
// the field table, the value it showed when the sheet was opened, and the
// value it holds now in the form `velnora-cli set` takes.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "config/field_table.h"

class QButtonGroup;
class QFormLayout;
class QLayout;
class QWidget;

namespace velnora::ui {

// The radio buttons of one choice made so far on a sheet: the fields it
// sets share one exclusive group.
struct ChoiceRow {
  QWidget* row = nullptr;
  QButtonGroup* group = nullptr;
  QLayout* buttons = nullptr;
};

// Where the sheet puts the next field, and what the fields made so far
// share with it.
struct SheetPlace {
  QFormLayout* form = nullptr;
  std::map<std::string_view, ChoiceRow>* choices = nullptr;
  QStringList popServers;   // offered in the POP3 server box
  QStringList smtpServers;  // offered in the SMTP server box
};

class SheetField {
 public:
  virtual ~SheetField() = default;

  const FieldInfo& info() const { return *field_; }
  // Shows the value `record` holds (a preset filled in, an all-accounts
  // change); the field counts as changed when it differs from what the
  // sheet showed when it was opened.
  virtual void Show(std::span<const uint8_t> record) = 0;
  // The widget named after the field (for focus and tests).
  virtual QWidget* widget() const = 0;
  // What the widget shows, in the form the command line's `set` takes (as
  // Unicode text); Restore puts such a text back (a sub-dialog cancelled).
  virtual QString Shown() const = 0;
  virtual void Restore(const QString& shown) = 0;

  // What the widget shows now is what the sheet opened with. Called once
  // every field is made, since a radio button made later can uncheck one
  // made earlier.
  void MarkLoaded() { loaded_ = Shown(); }
  // The user changed the value since the sheet was opened. An untouched
  // field is not stored, so a value that the sheet could not take (longer
  // than the edit limit, written by the CSV exchange or the command line)
  // stays.
  bool Touched() const { return Shown() != loaded_; }
  // The value as code page 932 text, numbers in decimal; false when the
  // text holds a character code page 932 has no form for.
  virtual bool Value(std::string& cp932) const;
  // The characters of the value that code page 932 has no form for, each
  // once; empty for a password, which is never shown.
  QString Unencodable() const;
  // The smallest and largest number the sheet accepts (ports start at 1).
  int64_t Minimum() const;
  int64_t Maximum() const { return field_->maxValue; }

 protected:
  explicit SheetField(const FieldInfo& field) : field_(&field) {}
  const FieldInfo* field_;

 private:
  QString loaded_;
};

// The field's widget as its kind asks (check box, line, list, server box,
// radio buttons, schedule), added at `place`, showing what `record` holds.
std::unique_ptr<SheetField> MakeSheetField(const FieldInfo& field, std::span<const uint8_t> record, SheetPlace& place);

// The status line of a word list: entries and bytes against their limits;
// with `quotes`, the double quotes and " OK" when they pair up, " NG" when not.
QString WordListStatus(const FieldInfo& field, std::string_view cp932, bool quotes);

bool IsPasswordField(const FieldInfo& field);
QString FieldObjectName(const FieldInfo& field);

}  // namespace velnora::ui
