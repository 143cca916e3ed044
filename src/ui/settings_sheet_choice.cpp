#include "ui/settings_sheet_choice.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

#include "config/field_access.h"
#include "config/field_values.h"

namespace velnora::ui {
namespace {

// A group of radio buttons: the caption of its row (none for a group that
// takes the whole row) and the button that clears every flag of the group.
struct ChoiceGroup {
  std::string_view name;
  const char16_t* caption;
  const char16_t* neutral;
  bool stacked;  // one button per line
};

constexpr ChoiceGroup kGroups[] = {
    {"delete", nullptr, u"転送されたメールのみ削除する", true},
    {"filterFrom", u"From: の語", u"OR（どれかに一致）", false},
    {"filterTo", u"To: の語", u"OR（どれかに一致）", false},
    {"filterCc", u"Cc: の語", u"OR（どれかに一致）", false},
    {"filterSubject", u"Subject: の語", u"OR（どれかに一致）", false},
    {"mailer", u"メールソフトの判定", u"X-Mailer:", false},
    {"html", u"テキストとHTMLがあるメール", u"TEXTパートを転送", false},
    {"citation", u"引用行の削除", u"すべて削除", false},
    {"phoneCode", u"変換先の文字コード", u"Shift_JIS", false},
};

// The flag set by one button of a group.
struct FlagChoice {
  std::string_view field;
  std::string_view group;
  const char16_t* label;
};

constexpr FlagChoice kFlagChoices[] = {
    {"deleteIncludingFiltered", "delete", u"すべて削除する"},
    {"spamEraser", "delete",
     u"★転送は行わず、フィルタの条件で、「転送する」条件のメールをPOPサーバーから削除する（詳細はHELP参照）"},
    {"filterFromAll", "filterFrom", u"AND（全てに一致）"},
    {"filterToAll", "filterTo", u"AND（全てに一致）"},
    {"filterCcAll", "filterCc", u"AND（全てに一致）"},
    {"filterSubjectAll", "filterSubject", u"AND（全てに一致）"},
    {"filterMailerUserAgent", "mailer", u"User-Agent:"},
    {"preferHtmlPart", "html", u"HTMLパートを転送"},
    {"phoneKeepFirstCitation", "citation", u"1行目だけ残して削除"},
    {"phoneUtf8", "phoneCode", u"UTF-8"},
};

constexpr const char16_t* kFilterModes[] = {
    u"a) どれかの条件に一致したら転送しない",
    u"b) どれかの条件に一致したら転送する",
    u"c) すべての条件に一致したら転送しない",
    u"d) すべての条件に一致したら転送する",
};

const FlagChoice* FindFlagChoice(std::string_view name) {
  for (const FlagChoice& choice : kFlagChoices) {
    if (choice.field == name) return &choice;
  }
  return nullptr;
}

const ChoiceGroup& FindGroup(std::string_view name) {
  for (const ChoiceGroup& group : kGroups) {
    if (group.name == name) return group;
  }
  return kGroups[0];  // every choice names a group of the table above
}

// The group's row on the page, made with its neutral button by the first
// of its flags.
ChoiceRow& RowOf(const ChoiceGroup& group, SheetPlace& place) {
  ChoiceRow& row = (*place.choices)[group.name];
  if (row.row) return row;
  row.row = new QWidget;
  row.row->setObjectName(QString::fromLatin1(group.name.data(), qsizetype(group.name.size())) + QStringLiteral("Choice"));
  if (group.stacked) {
    row.buttons = new QVBoxLayout(row.row);
  } else {
    row.buttons = new QHBoxLayout(row.row);
  }
  row.buttons->setContentsMargins(group.stacked ? 20 : 0, 0, 0, 0);
  row.buttons->setAlignment(Qt::AlignLeft);
  row.group = new QButtonGroup(row.row);
  auto* neutral = new QRadioButton(QString::fromUtf16(group.neutral));
  neutral->setObjectName(QString::fromLatin1(group.name.data(), qsizetype(group.name.size())) + QStringLiteral("Neutral"));
  neutral->setProperty("neutral", true);
  row.group->addButton(neutral);
  row.buttons->addWidget(neutral);
  if (group.caption) {
    place.form->addRow(QString::fromUtf16(group.caption), row.row);
  } else {
    place.form->addRow(row.row);
  }
  return row;
}

class FlagChoiceField : public SheetField {
 public:
  FlagChoiceField(const FieldInfo& field, const FlagChoice& choice, std::span<const uint8_t> record, SheetPlace& place)
      : SheetField(field), row_(RowOf(FindGroup(choice.group), place)) {
    button_ = new QRadioButton(QString::fromUtf16(choice.label));
    button_->setObjectName(FieldObjectName(field));
    row_.group->addButton(button_);
    if (auto* line = qobject_cast<QHBoxLayout*>(row_.buttons)) {
      line->addWidget(button_);
    } else {
      row_.buttons->addWidget(button_);
    }
    Show(record);
  }

  void Show(std::span<const uint8_t> record) override {
    Restore(ReadNumber(record, *field_) != 0 ? QStringLiteral("1") : QStringLiteral("0"));
  }
  QWidget* widget() const override { return button_; }
  QString Shown() const override { return button_->isChecked() ? QStringLiteral("1") : QStringLiteral("0"); }
  // Clearing the flag chooses the neutral button, unless another flag of
  // the group is the chosen one.
  void Restore(const QString& shown) override {
    if (shown == QStringLiteral("1")) {
      button_->setChecked(true);
    } else if (button_->isChecked() || !row_.group->checkedButton()) {
      row_.group->buttons().front()->setChecked(true);
    }
  }

 private:
  ChoiceRow& row_;
  QRadioButton* button_ = nullptr;
};

// One button per value; a stored value without a button shows none and
// stays as it is until a button is chosen.
class ValueChoiceField : public SheetField {
 public:
  ValueChoiceField(const FieldInfo& field, std::span<const char16_t* const> labels, std::span<const uint8_t> record,
                   SheetPlace& place)
      : SheetField(field) {
    box_ = new QWidget;
    box_->setObjectName(FieldObjectName(field));
    auto* column = new QVBoxLayout(box_);
    column->setContentsMargins(0, 0, 0, 0);
    group_ = new QButtonGroup(box_);
    for (std::size_t value = 0; value < labels.size(); ++value) {
      auto* button = new QRadioButton(QString::fromUtf16(labels[value]));
      button->setObjectName(FieldObjectName(field) + QString::number(value));
      button->setProperty("fieldValue", QString::number(value));
      group_->addButton(button, int(value));
      column->addWidget(button);
    }
    place.form->addRow(box_);
    Show(record);
  }

  void Show(std::span<const uint8_t> record) override {
    Restore(QString::fromStdString(FormatFieldValue(record, *field_)));
  }
  QWidget* widget() const override { return box_; }
  QString Shown() const override {
    return group_->checkedId() >= 0 ? QString::number(group_->checkedId()) : unlisted_;
  }
  void Restore(const QString& shown) override {
    bool number = false;
    const int value = shown.toInt(&number);
    if (QAbstractButton* button = number ? group_->button(value) : nullptr) {
      button->setChecked(true);
      return;
    }
    unlisted_ = shown;
    group_->setExclusive(false);
    for (QAbstractButton* button : group_->buttons()) button->setChecked(false);
    group_->setExclusive(true);
  }

 private:
  QWidget* box_ = nullptr;
  QButtonGroup* group_ = nullptr;
  QString unlisted_;
};

}  // namespace

std::string_view ChoiceGroupOf(std::string_view fieldName) {
  const FlagChoice* choice = FindFlagChoice(fieldName);
  return choice ? choice->group : std::string_view{};
}

std::unique_ptr<SheetField> MakeChoiceField(const FieldInfo& field, std::span<const uint8_t> record, SheetPlace& place) {
  if (field.name == "filterMode") return std::make_unique<ValueChoiceField>(field, kFilterModes, record, place);
  if (!field.IsFlag()) return nullptr;
  if (const FlagChoice* choice = FindFlagChoice(field.name)) {
    return std::make_unique<FlagChoiceField>(field, *choice, record, place);
  }
  return nullptr;
}

}  // namespace velnora::ui
