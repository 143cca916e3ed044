// The two dialogs of the settings template: apply it to a range of accounts,
// and copy one account into it. Their numbers are remembered by the caller
// between openings.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QSpinBox>

#include "config/account_template.h"

namespace velnora::ui {

class ApplyTemplateDialog : public QDialog {
  Q_OBJECT
 public:
  ApplyTemplateDialog(int first, int last, bool keepServerPage, QWidget* parent = nullptr);
  int first() const { return first_->value(); }
  int last() const { return last_->value(); }
  TemplateApplication application() const;

  QSpinBox& firstBox() { return *first_; }
  QSpinBox& lastBox() { return *last_; }
  QCheckBox& keepServerBox() { return *keepServer_; }
  QCheckBox& securityBox() { return *security_; }

  // A range that ends before it starts beeps and keeps the dialog open.
  void accept() override;

 private:
  QSpinBox* first_;
  QSpinBox* last_;
  QCheckBox* keepServer_;
  QCheckBox* security_;
};

class CopyToTemplateDialog : public QDialog {
  Q_OBJECT
 public:
  CopyToTemplateDialog(int account, QWidget* parent = nullptr);
  int account() const { return account_->value(); }
  QSpinBox& accountBox() { return *account_; }

 private:
  QSpinBox* account_;
};

}  // namespace velnora::ui
