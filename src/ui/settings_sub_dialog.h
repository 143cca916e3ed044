// A dialog of the settings sheet that edits some of the page's fields in a
// window of their own ("SMTP認証", "他のSMTPサーバーで送信"). Its fields
// belong to the sheet's working copy like every other: OK keeps what was
// typed for the sheet's own OK, Cancel puts back what the fields showed
// when the dialog opened.
#pragma once

#include <QDialog>
#include <vector>

class QFormLayout;

namespace velnora::ui {

class SheetField;

class SettingsSubDialog : public QDialog {
  Q_OBJECT
 public:
  SettingsSubDialog(const QString& title, const QString& note, QWidget* sheet);

  QFormLayout* form() const { return form_; }
  void Attach(SheetField* field) { fields_.push_back(field); }
  bool Holds(const SheetField* field) const;
  // Opens without blocking the caller (window-modal over the sheet).
  void Show();
  void reject() override;

 private:
  QFormLayout* form_;
  std::vector<SheetField*> fields_;
  std::vector<QString> opened_;
};

}  // namespace velnora::ui
