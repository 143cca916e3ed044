#include "ui/settings_sheet_field.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "config/field_access.h"
#include "config/field_values.h"
#include "config/word_list.h"
#include "ui/field_labels.h"
#include "ui/ui_text.h"

namespace velnora::ui {
namespace {

QString Name(const FieldInfo& field) { return QString::fromLatin1(field.name.data(), qsizetype(field.name.size())); }

bool IsPassword(const FieldInfo& field) { return field.name.find("assword") != std::string_view::npos; }

}  // namespace

QString WordListStatus(const FieldInfo& field, std::string_view cp932, bool quotes) {
  const std::string list = NormalizeWordList(cp932, 2 * cp932.size() + 1);
  QString status = field.maxEntries > 0 ? QStringLiteral("設定数:%1/%2").arg(CountWords(list)).arg(field.maxEntries)
                                        : QStringLiteral("設定数:%1").arg(CountWords(list));
  status += QStringLiteral(", 文字数:%1/%2").arg(list.size()).arg(field.maxValue);
  if (quotes) {
    const int count = CountQuotes(list);
    status += QStringLiteral(", [\"]:%1個").arg(count) + (count % 2 == 0 ? QStringLiteral(" OK") : QStringLiteral(" NG"));
  }
  return status;
}

SheetField::SheetField(const FieldInfo& field, std::span<const uint8_t> record, QFormLayout* form) : field_(&field) {
  const QString label = FieldLabel(field.name);
  if (field.IsFlag()) {
    check_ = new QCheckBox(label);
    form->addRow(check_);
  } else if (field.Has(kMultiLine)) {
    auto* box = new QWidget;
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    list_ = new QPlainTextEdit;
    list_->setFixedHeight(list_->fontMetrics().lineSpacing() * 4 + 12);
    column->addWidget(list_);
    if (field.Has(kWordList)) {
      status_ = new QLabel;
      status_->setObjectName(Name(field) + QStringLiteral("Status"));
      column->addWidget(status_);
      QObject::connect(list_, &QPlainTextEdit::textChanged, status_, [this] { UpdateStatus(); });
    }
    form->addRow(label, box);
  } else {
    // Numbers too: a line edit shows what is stored even outside the range
    // the sheet accepts, and OK refuses a typed value outside it.
    line_ = new QLineEdit;
    if (IsPassword(field)) line_->setEchoMode(QLineEdit::Password);
    if (field.IsNumber()) line_->setPlaceholderText(QStringLiteral("%1..%2").arg(Minimum()).arg(Maximum()));
    form->addRow(label, line_);
  }
  widget()->setObjectName(Name(field));
  Show(record);
  loaded_ = Shown();
}

void SheetField::Show(std::span<const uint8_t> record) {
  const FieldInfo& field = *field_;
  if (check_) {
    const bool on = ReadNumber(record, field) != 0;
    check_->setChecked(field.Has(kInverted) ? !on : on);
  } else if (list_) {
    list_->setPlainText(FromCp932(ReadText(record, field)));
    if (status_) UpdateStatus();
  } else {
    line_->setText(field.type == FieldType::Text ? FromCp932(ReadText(record, field))
                                                 : QString::fromStdString(FormatFieldValue(record, field)));
  }
}

QWidget* SheetField::widget() const {
  if (check_) return check_;
  if (line_) return line_;
  return list_;
}

QString SheetField::Shown() const {
  if (check_) return check_->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
  if (line_) return line_->text();
  return list_->toPlainText();
}

bool SheetField::Value(std::string& cp932) const {
  if (check_) {
    const bool on = check_->isChecked() != field_->Has(kInverted);
    cp932.assign(1, on ? '1' : '0');
    return true;
  }
  return ToCp932(Shown(), cp932);
}

QString SheetField::Unencodable() const {
  QString found;
  if (IsPassword(*field_)) return found;
  std::string ignored;
  for (const char32_t code : Shown().toUcs4()) {
    const QString one = QString::fromUcs4(&code, 1);
    if (!found.contains(one) && !ToCp932(one, ignored)) found += one;
  }
  return found;
}

int64_t SheetField::Minimum() const {
  return field_->Has(kPortNumber) && field_->minValue < 1 ? 1 : field_->minValue;
}

void SheetField::UpdateStatus() {
  std::string cp932;
  ToCp932(list_->toPlainText(), cp932);  // what converts; OK refuses the rest
  status_->setText(WordListStatus(*field_, cp932, field_->page == SettingsPage::Filters));
}

}  // namespace velnora::ui
