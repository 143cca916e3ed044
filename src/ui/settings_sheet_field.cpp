#include "ui/settings_sheet_field.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "config/field_access.h"
#include "config/field_values.h"
#include "config/word_list.h"
#include "ui/field_labels.h"
#include "ui/schedule_grid.h"
#include "ui/settings_sheet_choice.h"
#include "ui/ui_text.h"

namespace velnora::ui {
namespace {

// What a wait shows while its stored value is 0 or less: the wait the
// transfer then takes.
int ShownWhenUnset(const FieldInfo& field) {
  if (field.name == "popDelaySec") return 10;
  if (field.name == "smtpDelaySec") return 1;
  return 0;
}

// A check box, a one-line edit, a server-name box or a multi-line list.
class PlainField : public SheetField {
 public:
  PlainField(const FieldInfo& field, std::span<const uint8_t> record, SheetPlace& place) : SheetField(field) {
    const QString label = FieldLabel(field.name);
    if (field.IsFlag()) {
      check_ = new QCheckBox(label);
      place.form->addRow(check_);
    } else if (field.Has(kMultiLine)) {
      place.form->addRow(label, MakeList(field));
    } else if (field.name == "popServer" || field.name == "smtpServer") {
      combo_ = new QComboBox;
      combo_->setEditable(true);
      combo_->setInsertPolicy(QComboBox::NoInsert);
      combo_->addItems(field.name == "popServer" ? place.popServers : place.smtpServers);
      place.form->addRow(label, combo_);
    } else {
      // Numbers too: a line edit shows what is stored even outside the range
      // the sheet accepts, and OK refuses a typed value outside it.
      line_ = new QLineEdit;
      if (IsPasswordField(field)) line_->setEchoMode(QLineEdit::Password);
      if (field.IsNumber()) line_->setPlaceholderText(QStringLiteral("%1..%2").arg(Minimum()).arg(Maximum()));
      place.form->addRow(label, line_);
    }
    widget()->setObjectName(FieldObjectName(field));
    Show(record);
  }

  void Show(std::span<const uint8_t> record) override {
    const FieldInfo& field = *field_;
    if (check_) {
      const bool on = ReadNumber(record, field) != 0;
      check_->setChecked(field.Has(kInverted) ? !on : on);
    } else if (field.type == FieldType::Text) {
      Restore(FromCp932(ReadText(record, field)));
    } else if (const int unset = ShownWhenUnset(field); unset > 0 && ReadNumber(record, field) <= 0) {
      Restore(QString::number(unset));
    } else {
      Restore(QString::fromStdString(FormatFieldValue(record, field)));
    }
  }

  QWidget* widget() const override {
    if (check_) return check_;
    if (line_) return line_;
    if (combo_) return combo_;
    return list_;
  }

  QString Shown() const override {
    if (check_) return check_->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    if (line_) return line_->text();
    if (combo_) return combo_->currentText();
    return list_->toPlainText();
  }

  void Restore(const QString& shown) override {
    if (check_) check_->setChecked(shown == QStringLiteral("1"));
    if (line_) line_->setText(shown);
    if (combo_) combo_->setEditText(shown);
    if (list_) {
      list_->setPlainText(shown);
      if (status_) UpdateStatus();
    }
  }

  bool Value(std::string& cp932) const override {
    if (!check_) return SheetField::Value(cp932);
    const bool on = check_->isChecked() != field_->Has(kInverted);
    cp932.assign(1, on ? '1' : '0');
    return true;
  }

 private:
  QWidget* MakeList(const FieldInfo& field) {
    auto* box = new QWidget;
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    list_ = new QPlainTextEdit;
    list_->setFixedHeight(list_->fontMetrics().lineSpacing() * 4 + 12);
    column->addWidget(list_);
    if (field.Has(kWordList)) {
      status_ = new QLabel;
      status_->setObjectName(FieldObjectName(field) + QStringLiteral("Status"));
      column->addWidget(status_);
      QObject::connect(list_, &QPlainTextEdit::textChanged, status_, [this] { UpdateStatus(); });
    }
    return box;
  }

  void UpdateStatus() {
    std::string cp932;
    ToCp932(list_->toPlainText(), cp932);  // what converts; OK refuses the rest
    status_->setText(WordListStatus(*field_, cp932, field_->page == SettingsPage::Filters));
  }

  QCheckBox* check_ = nullptr;
  QLineEdit* line_ = nullptr;
  QComboBox* combo_ = nullptr;
  QPlainTextEdit* list_ = nullptr;
  QLabel* status_ = nullptr;
};

}  // namespace

QString FieldObjectName(const FieldInfo& field) {
  return QString::fromLatin1(field.name.data(), qsizetype(field.name.size()));
}

bool IsPasswordField(const FieldInfo& field) { return field.name.find("assword") != std::string_view::npos; }

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

std::unique_ptr<SheetField> MakeSheetField(const FieldInfo& field, std::span<const uint8_t> record, SheetPlace& place) {
  if (std::unique_ptr<SheetField> choice = MakeChoiceField(field, record, place)) return choice;
  if (field.type == FieldType::Int32Array && field.count == kScheduleDays) {
    return MakeScheduleField(field, record, place);
  }
  return std::make_unique<PlainField>(field, record, place);
}

bool SheetField::Value(std::string& cp932) const { return ToCp932(Shown(), cp932); }

QString SheetField::Unencodable() const {
  QString found;
  if (IsPasswordField(*field_)) return found;
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

}  // namespace velnora::ui
