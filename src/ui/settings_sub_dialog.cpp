#include "ui/settings_sub_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/settings_sheet_field.h"

namespace velnora::ui {

SettingsSubDialog::SettingsSubDialog(const QString& title, const QString& note, QWidget* sheet) : QDialog(sheet) {
  setWindowTitle(title);
  auto* column = new QVBoxLayout(this);
  form_ = new QFormLayout;
  column->addLayout(form_);
  if (!note.isEmpty()) {
    auto* text = new QLabel(note);
    text->setTextFormat(Qt::PlainText);
    column->addWidget(text);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &SettingsSubDialog::reject);
  column->addWidget(buttons);
}

bool SettingsSubDialog::Holds(const SheetField* field) const {
  return std::find(fields_.begin(), fields_.end(), field) != fields_.end();
}

void SettingsSubDialog::Show() {
  opened_.clear();
  for (const SheetField* field : fields_) opened_.push_back(field->Shown());
  setWindowModality(Qt::WindowModal);
  open();
}

void SettingsSubDialog::reject() {
  for (std::size_t i = 0; i < fields_.size() && i < opened_.size(); ++i) fields_[i]->Restore(opened_[i]);
  QDialog::reject();
}

}  // namespace velnora::ui
